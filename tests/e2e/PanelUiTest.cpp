// The effect panel kept tidy by the loaded plug-in: rows hidden, shown and relabelled through
// the host's panel state and stream flags, and the user's changes routed by parameter index.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/ParamIndex.h"
#include "host/CurveRecord.h"
#include "host/drawing/DrawbotDrawing.h"
#include "host/panel/EffectWindow.h"
#include "support/SceneFixture.h"

namespace strandel::test {
namespace {

const char* kScene = R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 1,
    "layers": [{"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {}}]}]}]})";

constexpr int kPresetRows[] = {kParamEndRadius, kParamDepth,  kParamTurns,      kParamDirection,
                               kParamLengthZ,   kParamCycles, kParamYAmplitude, kParamYPhase};
const std::vector<int> kPresetOrder = {9, 10, 11, 12, 15, 16, 17, 18, 14};

class PanelUiTest : public SceneTest {
protected:
    // The scene in a host of the given kind; `noPluginId`: general-plug-in registration fails.
    host::EffectInstance& OpenIn(A_long appId, bool noPluginId)
    {
        StartHost(appId);
        H().SetRegistrationGivesNoId(noPluginId);
        EXPECT_EQ(H().GlobalSetup(), PF_Err_NONE);
        H().OpenProject(host::ParseScene(kScene, "test.json").project);
        fx_ = H().instances().front().get();
        return *fx_;
    }

    PF_Err UpdateWith(int index, int value, PF_OutData* out = nullptr)
    {
        return fx_->PanelCommand(PF_Cmd_UPDATE_PARAMS_UI, nullptr, out,
                                 [&](std::vector<PF_ParamDef>& defs) { defs[index].u.pd.value = value; });
    }

    bool StreamHidden(int index) const { return index < int(fx_->hiddenStreams.size()) && fx_->hiddenStreams[index]; }

    // The label the "Processing Device" row draws.
    std::string DeviceLabel()
    {
        host::EffectWindow window(*fx_);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 240, 30);
        cairo_t* cr = cairo_create(surface);
        host::DrawbotDrawing drawing(cr);
        std::vector<host::DrawbotCall> calls;
        drawing.record = &calls;
        EXPECT_EQ(window.Draw(kParamProcessingDevice, {0, 0, 220, 22}, drawing.Ref()), PF_Err_NONE);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        for (const host::DrawbotCall& c : calls)
            if (c.name == "DrawString") return c.text;
        return "";
    }
};

struct PresetCase {
    int preset;
    const char* label;
    std::vector<int> shown;
};

TEST_F(PanelUiTest, EachPresetRelabelsSizeAndShowsOnlyItsSliders)
{
    const PresetCase kCases[] = {
        {1, "Size", {kParamDepth, kParamTurns}},
        {2, "Start Radius", {kParamEndRadius, kParamDepth, kParamTurns, kParamDirection}},
        {3, "X Amplitude", {kParamLengthZ, kParamCycles, kParamYAmplitude, kParamYPhase}},
        {4, "Loop Radius", {}},
        {9, "Size", {kParamDepth, kParamTurns}}, // not a preset: as Helix
    };
    OpenIn(host::kAppIdCompositor, false);
    for (const PresetCase& c : kCases) {
        SCOPED_TRACE(c.preset);
        fx_->panelUpdates.clear();
        PF_OutData out{};
        ASSERT_EQ(UpdateWith(kParamPreset, c.preset, &out), PF_Err_NONE);
        EXPECT_TRUE(out.out_flags & PF_OutFlag_FORCE_RERENDER);
        std::vector<int> order = {kParamOrientationMode};
        order.insert(order.end(), kPresetOrder.begin(), kPresetOrder.end());
        EXPECT_EQ(fx_->panelUpdates, order);
        EXPECT_EQ(fx_->panelRow(kParamPresetSize).name, c.label);
        EXPECT_FALSE(fx_->RowHidden(kParamPresetSize));
        for (int row : kPresetRows) {
            const bool shown = std::count(c.shown.begin(), c.shown.end(), row) > 0;
            EXPECT_EQ(bool(fx_->panelRow(row).uiFlags & PF_PUI_INVISIBLE), !shown) << row;
            EXPECT_EQ(StreamHidden(row), !shown) << row;
            EXPECT_EQ(fx_->panelRow(row).name, fx_->param(row).def.name) << row;
            EXPECT_EQ(bool(fx_->panelRow(row).flags & PF_ParamFlag_COLLAPSE_TWIRLY), row != kParamDirection) << row;
        }
    }
}

TEST_F(PanelUiTest, EveryPresetRowIsSetAfterAnEarlierFailure)
{
    OpenIn(host::kAppIdCompositor, false);
    fx_->failPanelUpdate = {{kParamEndRadius, PF_Err_OUT_OF_MEMORY}, {kParamCycles, PF_Err_INVALID_INDEX}};
    fx_->panelUpdates.clear();
    EXPECT_EQ(UpdateWith(kParamPreset, 3, nullptr), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(std::vector<int>(fx_->panelUpdates.begin() + 1, fx_->panelUpdates.end()), kPresetOrder);
    EXPECT_FALSE(fx_->RowHidden(kParamYPhase)) << "a row after both failures was not shown";
    EXPECT_TRUE(StreamHidden(kParamEndRadius)) << "the failed row's stream was not hidden";
}

TEST_F(PanelUiTest, PlacementHidesInsideAndSpreadByTheirStreamsAndEnablesOrientation)
{
    OpenIn(host::kAppIdCompositor, false);
    for (int placement : {2, 1}) {
        SCOPED_TRACE(placement);
        fx_->panelUpdates.clear();
        ASSERT_EQ(fx_->PanelCommand(PF_Cmd_UPDATE_PARAMS_UI, nullptr, nullptr,
                                    [&](std::vector<PF_ParamDef>& defs) {
                                        defs[kParamPlacementMode].u.pd.value = placement;
                                        defs[kParamOrientationMode].ui_flags |= PF_PUI_DISABLED;
                                    }),
                  PF_Err_NONE);
        const bool ribbon = placement == 2;
        for (int row : {kParamInside, kParamSpread}) {
            EXPECT_EQ(StreamHidden(row), !ribbon) << row;
            EXPECT_FALSE(fx_->panelRow(row).uiFlags & PF_PUI_INVISIBLE) << row;
            EXPECT_EQ(std::count(fx_->panelUpdates.begin(), fx_->panelUpdates.end(), row), 0) << row;
        }
        EXPECT_FALSE(fx_->panelRow(kParamOrientationMode).uiFlags & PF_PUI_DISABLED);
    }
}

TEST_F(PanelUiTest, WithoutAPluginIdOnlyThePanelChanges)
{
    for (const A_long appId : {host::kAppIdCompositor, host::kAppIdVideoEditor}) {
        SCOPED_TRACE(appId);
        OpenIn(appId, appId == host::kAppIdCompositor); // the editor registers no plug-in anyway
        ASSERT_EQ(UpdateWith(kParamPreset, 3), PF_Err_NONE);
        EXPECT_EQ(fx_->panelRow(kParamPresetSize).name, "X Amplitude");
        EXPECT_TRUE(fx_->panelRow(kParamDepth).uiFlags & PF_PUI_INVISIBLE);
        EXPECT_FALSE(fx_->panelRow(kParamCycles).uiFlags & PF_PUI_INVISIBLE);
        EXPECT_TRUE(std::none_of(fx_->hiddenStreams.begin(), fx_->hiddenStreams.end(), [](bool h) { return h; }));
        TearDown();
    }
}

TEST_F(PanelUiTest, UserChangesAreRoutedByIndex)
{
    constexpr A_long kBoth = PF_OutFlag_FORCE_RERENDER | PF_OutFlag_REFRESH_UI;
    const struct {
        int index;
        A_long outFlags;
        std::vector<int> panelUpdates;
    } kCases[] = {
        {kParamPreset, kBoth, kPresetOrder},
        {kParamPlacementMode, kBoth, {kParamOrientationMode}},
        {kParamOrientationMode, kBoth, {kParamOrientationMode}},
        {kParamRenderer, kBoth, {}},
        {kParamRampScaleCurve, PF_OutFlag_REFRESH_UI, {}},
        {kParamCount, 0, {}},
    };
    OpenIn(host::kAppIdCompositor, false);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.index);
        fx_->panelUpdates.clear();
        PF_OutData out{};
        EXPECT_EQ(fx_->UserChangedParam(c.index, &out), PF_Err_NONE);
        EXPECT_EQ(out.out_flags, c.outFlags);
        EXPECT_EQ(fx_->panelUpdates, c.panelUpdates);
    }
    // The curve row marked its curve edited and the host kept it.
    const int data = host::SceneParamIndex(*fx_, "Ramp/Scale Curve");
    auto curve = host::DecodeCurveRecord(fx_->ArbFlatten(data, std::get<PF_Handle>(fx_->track(data).keys[0].value)));
    ASSERT_TRUE(curve);
    EXPECT_TRUE(curve->edited);
    EXPECT_EQ(fx_->changedInPanel.count(data), 1u);
}

TEST_F(PanelUiTest, ChoosingCpuShowsTheDeviceAtOnceAndOtherChoicesWait)
{
    OpenIn(host::kAppIdCompositor, false);
    Set("Renderer", "CPU");
    ASSERT_EQ(fx_->ReportUserChange(kParamRenderer), PF_Err_NONE);
    EXPECT_EQ(DeviceLabel(), "Processing Device: CPU");
    for (const char* choice : {"Auto", "GPU"}) {
        Set("Renderer", choice);
        ASSERT_EQ(fx_->ReportUserChange(kParamRenderer), PF_Err_NONE);
        EXPECT_EQ(DeviceLabel(), "Processing Device: CPU") << choice;
    }
}

TEST_F(PanelUiTest, UserChangedParamRefusesMissingRecords)
{
    OpenIn(host::kAppIdCompositor, false);
    auto call = fx_->NewCall();
    PF_OutData out{};
    std::vector<PF_ParamDef> defs(fx_->paramCount());
    std::vector<PF_ParamDef*> params;
    for (PF_ParamDef& d : defs) params.push_back(&d);
    PF_UserChangedParamExtra extra{kParamCount};
    struct Case {
        PF_InData* in;
        PF_OutData* out;
        PF_ParamDef** params;
        PF_UserChangedParamExtra* extra;
    };
    for (Case c : {Case{nullptr, &out, params.data(), &extra}, Case{&call->in, nullptr, params.data(), &extra},
                   Case{&call->in, &out, nullptr, &extra}, Case{&call->in, &out, params.data(), nullptr}})
        EXPECT_EQ(H().Call(PF_Cmd_USER_CHANGED_PARAM, c.in, c.out, c.params, nullptr, c.extra),
                  PF_Err_BAD_CALLBACK_PARAM);
}

} // namespace
} // namespace strandel::test
