#include "frame/Dispatch.h"

#include "curves/CurveEditor.h"
#include "curves/CurveParams.h"
#include "frame/CommandGuard.h"
#include "frame/GlobalSetup.h"
#include "frame/ParamSetup.h"
#include "frame/ParamUI.h"
#include "frame/Registration.h"
#include "frame/RenderDriver.h"
#include "frame/SuiteCache.h"
#include "frame/TagRecord.h"
#include "layout/IdleWatcher.h"

namespace strandel {
namespace {

bool IsProcessingDeviceRowEvent(const PF_EventExtra* event)
{
    return event && event->effect_win.index == kProcessingDeviceParam && event->effect_win.area == PF_EA_CONTROL;
}

PF_Err HandleProcessingDeviceRow(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event)
{
    if (event->e_type != PF_Event_DRAW) return PF_Err_NONE;
    try {
        return DrawProcessingDeviceRow(in_data, params, event);
    } catch (...) {
        return PF_Err_NONE; // a label that fails to draw must not disturb the panel
    }
}

PF_Err RunCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                  void* extra)
{
    switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP: return GlobalSetup(in_data, out_data);
    case PF_Cmd_GLOBAL_SETDOWN:
        GlobalSetdown();
        ClearWatchedList();
        return PF_Err_NONE;
    case PF_Cmd_PARAMS_SETUP: return DefineParameters(in_data, out_data);
    case PF_Cmd_RENDER: return Render(in_data, params, output);
    case PF_Cmd_USER_CHANGED_PARAM:
        return UserChangedParam(in_data, out_data, params, static_cast<PF_UserChangedParamExtra*>(extra));
    case PF_Cmd_UPDATE_PARAMS_UI: return UpdateParamsUI(in_data, out_data, params);
    case PF_Cmd_EVENT: {
        auto event = static_cast<PF_EventExtra*>(extra);
        if (IsProcessingDeviceRowEvent(event)) return HandleProcessingDeviceRow(in_data, params, event);
        return CurveEditorEvent(in_data, params, event);
    }
    case PF_Cmd_COMPLETELY_GENERAL: return HandleRerenderRequest(in_data, params, output, extra);
    case PF_Cmd_ARBITRARY_CALLBACK: return CurveArbCallback(in_data, static_cast<PF_ArbParamsExtra*>(extra));
    case PF_Cmd_SMART_PRE_RENDER: return SmartPreRender(in_data, static_cast<PF_PreRenderExtra*>(extra));
    case PF_Cmd_SMART_RENDER: return SmartRender(in_data, static_cast<PF_SmartRenderExtra*>(extra));
    default: return PF_Err_NONE;
    }
}

} // namespace

PF_Err HandleRerenderRequest(PF_InData* in_data, PF_ParamDef* params[], PF_LayerDef* output, void* extra)
{
    if (extra != RerenderToken()) return PF_Err_NONE;
    if (!in_data || !in_data->pica_basicP) return PF_Err_BAD_CALLBACK_PARAM;
    PF_EffectWorld* world = output;
    if (!world && params && params[0]) world = &params[0]->u.ld;
    SuiteCache suites(in_data->pica_basicP);
    const auto& item = suites.Get<PF_AdvItemSuite1>();
    return world ? item.PF_ForceRerender(in_data, world) : item.PF_TouchActiveItem();
}

PF_Err DispatchCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                       void* extra) noexcept
{
    if (cmd == PF_Cmd_ABOUT) return WriteAbout(out_data);
    return GuardCommand([&] { return RunCommand(cmd, in_data, out_data, params, output, extra); });
}

} // namespace strandel
