// Commands whose handlers are still being built answer success and change nothing.
// Each line goes away when its real handler lands.
#include "curves/CurveEditor.h"
#include "frame/ParamUI.h"
#include "frame/ParamIndex.h"
#include "presets/GeneratePath.h"

namespace strandel {

PF_Err CurveEditorEvent(PF_InData*, PF_ParamDef*[], PF_EventExtra*) { return PF_Err_NONE; }
PF_Err DrawProcessingDeviceRow(PF_InData*, PF_ParamDef*[], PF_EventExtra*) { return PF_Err_NONE; }
PF_Err UpdateParamsUI(PF_InData*, PF_OutData*, PF_ParamDef*[]) { return PF_Err_NONE; }
// Only the "Generate Path" button is routed so far.
PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_UserChangedParamExtra* extra)
{
    if (!in_data || !out_data || !params || !extra) return PF_Err_BAD_CALLBACK_PARAM;
    return extra->param_index == kParamGeneratePath ? GeneratePath(in_data, out_data, params) : PF_Err_NONE;
}

} // namespace strandel
