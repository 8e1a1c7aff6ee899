#include "presets/GeneratePath.h"

#include "frame/GlobalState.h"
#include "layout/IdleWatcher.h"
#include "presets/PresetRun.h"

namespace strandel {

PF_Err GeneratePath(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[])
{
    if (!in_data || !out_data || !params) return PF_Err_BAD_CALLBACK_PARAM;
    SuiteCache suites(in_data->pica_basicP);
    A_Boolean available = false;
    if (PluginId() == 0 || suites.Get<AEGP_UtilitySuite6>().AEGP_IsScriptingAvailable(&available) != A_Err_NONE ||
        !available) {
        ReportPresetMessage(in_data, out_data, suites, kScriptingUnavailable);
        return PF_Err_NONE;
    }
    PathPresetContext context;
    if (const auto refusal = BuildPresetContext(in_data, params, suites, context)) {
        ReportPresetMessage(in_data, out_data, suites, *refusal);
        return PF_Err_NONE;
    }
    const PresetScriptRun run = ExecutePresetScript(suites, BuildPathPresetScript(context));

    // Whatever the script did, every instance reads its path afresh.
    ClearWatchedList();
    out_data->out_flags |= PF_OutFlag_FORCE_RERENDER | PF_OutFlag_REFRESH_UI;
    suites.Get<PF_AdvItemSuite1>().PF_TouchActiveItem();
    suites.Get<PF_AdvAppSuite2>().PF_RefreshAllWindows();

    if (const auto message = PresetOutcomeMessage(run.executorFailed, run.result, run.error))
        ReportPresetMessage(in_data, out_data, suites, *message);
    return PF_Err_NONE;
}

} // namespace strandel
