#include "presets/PresetRun.h"

#include <cstring>

#include "frame/GlobalState.h"
#include "frame/HostScopes.h"
#include "frame/ParamIndex.h"
#include "frame/Registration.h"
#include "path/PathReader.h"

namespace strandel {
namespace {

bool IsVideoEditor(const PF_InData* in_data) { return static_cast<uint32_t>(in_data->appl_id) == kVideoEditorAppId; }

// The bytes up to the first NUL or the handle's size; empty for a null handle.
std::string MemHandleText(SuiteCache& suites, AEGP_MemHandle handle)
{
    if (!handle) return {};
    const auto& memory = suites.Get<AEGP_MemorySuite1>();
    AEGP_MemSize size = 0;
    void* data = nullptr;
    if (memory.AEGP_GetMemHandleSize(handle, &size) != A_Err_NONE || size == 0 ||
        memory.AEGP_LockMemHandle(handle, &data) != A_Err_NONE)
        return {};
    std::string text;
    if (data) {
        const char* bytes = static_cast<const char*>(data);
        text.assign(bytes, strnlen(bytes, size));
    }
    memory.AEGP_UnlockMemHandle(handle);
    return text;
}

void ReadPresetFields(PF_ParamDef* const* params, PathPresetContext& c)
{
    auto def = [params](PF_ParamIndex i) -> const PF_ParamDef* { return params[i]; };
    auto real = [&](PF_ParamIndex i, double& out) {
        if (auto p = def(i)) out = p->u.fs_d.value;
    };
    auto whole = [&](PF_ParamIndex i) { return def(i) ? static_cast<int32_t>(def(i)->u.sd.value) : 0; };
    if (auto p = def(kParamPreset)) c.preset = static_cast<uint32_t>(p->u.pd.value);
    real(kParamPresetSize, c.size);
    real(kParamEndRadius, c.endRadius);
    real(kParamDepth, c.depth);
    c.turns = AtLeastOne(whole(kParamTurns));
    real(kParamKeyInterval, c.keyInterval);
    c.direction = DirectionFromPopup(def(kParamDirection) ? def(kParamDirection)->u.pd.value : 1);
    real(kParamLengthZ, c.waveLengthZ);
    c.waveCycles = AtLeastOne(whole(kParamCycles));
    real(kParamYAmplitude, c.waveYAmplitude);
    real(kParamYPhase, c.waveYPhase);
    c.replaceExistingKeys = def(kParamReplaceKeys) && def(kParamReplaceKeys)->u.bd.value != 0;
}

} // namespace

std::optional<std::string_view> BuildPresetContext(const PF_InData* in_data, PF_ParamDef* const* params,
                                                   SuiteCache& suites, PathPresetContext& context)
{
    if (!in_data || !params || PluginId() == 0 || IsVideoEditor(in_data)) return kScriptingUnavailable;

    constexpr std::string_view kNoComp = "対象コンポを特定できません。";
    const AEGP_CompH comp = GetEffectComp(in_data, suites);
    AEGP_ItemH item = nullptr;
    AEGP_ItemID compId = 0;
    if (!comp || suites.Get<AEGP_CompSuite4>().AEGP_GetItemFromComp(comp, &item) != A_Err_NONE || !item ||
        suites.Get<AEGP_ItemSuite6>().AEGP_GetItemID(item, &compId) != A_Err_NONE)
        return kNoComp;
    context.compId = compId;

    A_Time compTime{in_data->current_time, in_data->time_scale};
    suites.Get<AEGP_PFInterfaceSuite1>().AEGP_ConvertEffectToCompTime(in_data->effect_ref, in_data->current_time,
                                                                      in_data->time_scale, &compTime);
    context.startTime = compTime.scale ? static_cast<double>(compTime.value) / compTime.scale : 0.0;

    const AEGP_LayerH layer = GetLayerFromLayerParam(in_data, suites, kParamPathLayer, compTime);
    if (!layer) return "Path Layerが未指定です。";
    const auto& layers = suites.Get<AEGP_LayerSuite5>();
    AEGP_LayerIDVal layerId = 0;
    A_long layerIndex = 0;
    if (layers.AEGP_GetLayerID(layer, &layerId) != A_Err_NONE || layerId == 0 ||
        layers.AEGP_GetLayerIndex(layer, &layerIndex) != A_Err_NONE)
        return "対象レイヤーを特定できません。";
    context.layerId = static_cast<int32_t>(layerId);
    context.layerIndexFallback = layerIndex + 1;

    ReadPresetFields(params, context);
    return ValidatePresetFields(context);
}

PresetScriptRun ExecutePresetScript(SuiteCache& suites, const std::string& script)
{
    MemHandleScope result(suites), error(suites);
    PresetScriptRun run;
    run.executorFailed = suites.Get<AEGP_UtilitySuite6>().AEGP_ExecuteScript(
                             PluginId(), script.c_str(), false, &result.handle, &error.handle) != A_Err_NONE;
    run.result = MemHandleText(suites, result.handle);
    run.error = MemHandleText(suites, error.handle);
    return run;
}

void ReportPresetMessage(const PF_InData* in_data, PF_OutData* out_data, SuiteCache& suites,
                         std::string_view utf8Message)
{
    const std::u16string text = PresetReportText(utf8Message);
    static_assert(sizeof(char16_t) == sizeof(A_UTF16Char));
    if (text.size() > 1 && suites.Get<AEGP_UtilitySuite6>().AEGP_ReportInfoUnicode(
                               PluginId(), reinterpret_cast<const A_UTF16Char*>(text.c_str())) == A_Err_NONE)
        return;
    if (!out_data) return;
    // At most 254 bytes survive, as for the About text.
    const std::string utf8 = PresetReportPrefix() + std::string(utf8Message);
    std::strncpy(out_data->return_msg, utf8.c_str(), 255);
    out_data->return_msg[254] = '\0';
    if (!in_data || !IsVideoEditor(in_data)) out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
}

} // namespace strandel
