#include "frame/ParamUI.h"

#include <array>
#include <cstring>
#include <optional>

#include "curves/CurveParams.h"
#include "frame/GlobalState.h"
#include "frame/HostScopes.h"
#include "frame/ParamIndex.h"
#include "frame/ParamTable.h"
#include "frame/Registration.h"
#include "frame/RenderSettings.h"
#include "presets/GeneratePath.h"

namespace strandel {
namespace {

constexpr A_long kRefreshAndRerender = PF_OutFlag_FORCE_RERENDER | PF_OutFlag_REFRESH_UI;
constexpr std::size_t kMaxLabelLength = sizeof(PF_ParamDef::name) - 1;

// Which preset sliders each path preset uses, and what the first of them is called.
struct PresetPanel {
    const char* firstLabel;
    bool endRadius; // "End Radius"
    bool depthTurns; // "Depth", "Turns"
    bool direction; // "Direction"
    bool wave; // "Length Z", "Cycles", "Y Amplitude", "Y Phase"
};
constexpr PresetPanel kHelixPanel{"Size", false, true, false, false};
constexpr std::array<PresetPanel, 4> kPresetPanels = {{
    kHelixPanel,
    {"Start Radius", true, true, true, false},
    {"X Amplitude", false, false, false, true},
    {"Loop Radius", false, false, false, false},
}};

const PresetPanel& PanelForPreset(const PF_ParamDef* preset)
{
    const int value = preset ? preset->u.pd.value : 1; // a missing value counts as Helix
    return value >= 1 && value <= int(kPresetPanels.size()) ? kPresetPanels[value - 1] : kHelixPanel;
}

struct RowUpdate {
    PF_ParamIndex index;
    const char* label;
    bool hide;
    bool collapse;
};

// The rows in the order the host is told about them.
std::array<RowUpdate, 9> PresetRows(const PresetPanel& panel)
{
    auto row = [](PF_ParamIndex index, bool shown, const char* label = nullptr) {
        return RowUpdate{index, label ? label : FindParamRow(index)->name, !shown, index != kParamDirection};
    };
    return {{
        row(kParamPresetSize, true, panel.firstLabel),
        row(kParamEndRadius, panel.endRadius),
        row(kParamDepth, panel.depthTurns),
        row(kParamTurns, panel.depthTurns),
        row(kParamLengthZ, panel.wave),
        row(kParamCycles, panel.wave),
        row(kParamYAmplitude, panel.wave),
        row(kParamYPhase, panel.wave),
        row(kParamDirection, panel.direction),
    }};
}

// Hides, shows and relabels rows of one command's panel; suites are opened on first use.
class PanelRows {
public:
    PanelRows(PF_InData* in_data, PF_ParamDef* params[]) : in_(in_data), params_(params) {}

    PF_Err UpdatePlacement()
    {
        if (!in_ || !params_ || !params_[kParamPlacementMode]) return PF_Err_BAD_CALLBACK_PARAM;
        PF_Err orientationErr = PF_Err_BAD_CALLBACK_PARAM;
        if (const PF_ParamDef* orientation = params_[kParamOrientationMode]) {
            PF_ParamDef enabled = *orientation;
            enabled.ui_flags &= ~PF_PUI_DISABLED;
            orientationErr = UpdateParamUI(kParamOrientationMode, enabled);
        }
        const bool ribbon = params_[kParamPlacementMode]->u.pd.value == int(PlacementMode::PathRibbon);
        const PF_Err insideErr = SetStreamHidden(kParamInside, !ribbon);
        const PF_Err spreadErr = SetStreamHidden(kParamSpread, !ribbon);
        return FirstError({orientationErr, insideErr, spreadErr});
    }

    PF_Err UpdatePreset()
    {
        PF_Err first = PF_Err_NONE;
        for (const RowUpdate& row : PresetRows(PanelForPreset(params_ ? params_[kParamPreset] : nullptr))) {
            const PF_Err err = SetRow(row);
            if (!first) first = err;
        }
        return first;
    }

private:
    static PF_Err FirstError(std::initializer_list<PF_Err> errors)
    {
        for (PF_Err err : errors)
            if (err) return err;
        return PF_Err_NONE;
    }

    SuiteCache& Suites()
    {
        if (!suites_) suites_.emplace(in_->pica_basicP);
        return *suites_;
    }

    PF_Err UpdateParamUI(PF_ParamIndex index, const PF_ParamDef& def)
    {
        return Suites().Get<PF_ParamUtilsSuite3>().PF_UpdateParamUI(in_->effect_ref, index, &def);
    }

    PF_Err SetRow(const RowUpdate& row)
    {
        if (!in_ || !in_->effect_ref || !params_ || !params_[row.index]) return PF_Err_BAD_CALLBACK_PARAM;
        PF_ParamDef def = *params_[row.index];
        std::memset(def.name, 0, sizeof def.name);
        std::strncpy(def.name, row.label, kMaxLabelLength);
        if (row.collapse) def.flags |= PF_ParamFlag_COLLAPSE_TWIRLY;
        if (row.hide) def.ui_flags |= PF_PUI_INVISIBLE;
        else def.ui_flags &= ~PF_PUI_INVISIBLE;
        const PF_Err uiErr = UpdateParamUI(row.index, def);
        const PF_Err streamErr = SetStreamHidden(row.index, row.hide);
        return uiErr ? uiErr : streamErr;
    }

    // The timeline's stream flag; without a plug-in ID (or in the video editor) only the panel acts.
    PF_Err SetStreamHidden(PF_ParamIndex index, bool hide)
    {
        if (!in_ || !in_->effect_ref || PluginId() == 0) return PF_Err_NONE;
        if (static_cast<uint32_t>(in_->appl_id) == kVideoEditorAppId) return PF_Err_NONE;
        SuiteCache& suites = Suites();
        EffectScope effect(suites);
        if (A_Err err = suites.Get<AEGP_PFInterfaceSuite1>().AEGP_GetNewEffectForEffect(PluginId(), in_->effect_ref,
                                                                                        &effect.handle))
            return err;
        StreamScope stream(suites);
        const auto& streams = suites.Get<AEGP_StreamSuite6>();
        if (A_Err err = streams.AEGP_GetNewEffectStreamByIndex(PluginId(), effect.handle, index, &stream.handle))
            return err;
        return suites.Get<AEGP_DynamicStreamSuite4>().AEGP_SetDynamicStreamFlag(stream.handle,
                                                                                AEGP_DynStreamFlag_HIDDEN, false, hide);
    }

    PF_InData* in_;
    PF_ParamDef** params_;
    std::optional<SuiteCache> suites_;
};

} // namespace

PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[])
{
    if (!out_data) return PF_Err_BAD_CALLBACK_PARAM;
    PanelRows rows(in_data, params);
    const PF_Err placementErr = rows.UpdatePlacement();
    const PF_Err presetErr = rows.UpdatePreset();
    out_data->out_flags |= PF_OutFlag_FORCE_RERENDER;
    return placementErr ? placementErr : presetErr;
}

PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_UserChangedParamExtra* extra)
{
    if (!in_data || !out_data || !params || !extra) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_ParamIndex index = extra->param_index;
    if (IsCurveEditorParam(index)) return MarkCurveEdited(in_data, out_data, params, index);
    switch (index) {
    case kParamGeneratePath: return GeneratePath(in_data, out_data, params);
    case kParamPreset: out_data->out_flags |= kRefreshAndRerender; return PanelRows(in_data, params).UpdatePreset();
    case kParamRenderer:
        // The label follows a CPU choice at once; Auto and GPU wait for the next frame to say.
        if (params[kParamRenderer] && params[kParamRenderer]->u.pd.value == int(Renderer::Cpu))
            SetProcessingDeviceState(static_cast<uint32_t>(ProcessingDevice::Cpu));
        out_data->out_flags |= kRefreshAndRerender;
        return PF_Err_NONE;
    case kParamPlacementMode:
    case kParamOrientationMode:
        out_data->out_flags |= kRefreshAndRerender;
        return PanelRows(in_data, params).UpdatePlacement();
    default: return PF_Err_NONE;
    }
}

} // namespace strandel
