#include "frame/ParamSetup.h"

#include "curves/CurveParams.h"
#include "frame/ParamIndex.h"
#include "frame/ParamTable.h"
#include "frame/TagRecord.h"

namespace strandel {
namespace {

PF_Err AddCurveDataParam(PF_InData* in_data, PF_ParamDef& def)
{
    def.u.arb_d.refconPV = CurveParamRefcon();
    if (PF_Err err = NewCurveHandle(in_data, MakeDefaultCurve(false), &def.u.arb_d.dephault)) return err;
    PF_Err err = in_data->inter.add_param(in_data->effect_ref, -1, &def);
    // The host owns the default only once the parameter exists.
    if (err != PF_Err_NONE) in_data->utils->host_dispose_handle(def.u.arb_d.dephault);
    return err;
}

} // namespace

PF_Err DefineParameters(PF_InData* in_data, PF_OutData* out_data)
{
    if (!in_data || !out_data || !in_data->inter.add_param) return PF_Err_BAD_CALLBACK_PARAM;
    for (const ParamRow& row : ParamTable()) {
        PF_ParamDef def = MakeParamDef(row);
        PF_Err err = row.kind == ParamKind::CurveData ? AddCurveDataParam(in_data, def)
                                                      : in_data->inter.add_param(in_data->effect_ref, -1, &def);
        if (err != PF_Err_NONE) return err;
    }
    if (in_data->inter.register_ui) {
        PF_CustomUIInfo ui{};
        ui.events = PF_CustomEFlag_EFFECT;
        if (PF_Err err = in_data->inter.register_ui(in_data->effect_ref, &ui)) return err;
    }
    out_data->num_params = kParamCountWithInput;
    return PF_Err_NONE;
}

} // namespace strandel
