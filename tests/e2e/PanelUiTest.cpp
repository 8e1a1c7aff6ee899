// The effect panel and the curve editor rows through the host's commands on the loaded plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "frame/ParamIndex.h"
#include "host/CurveRecord.h"
#include "host/drawing/DrawbotDrawing.h"
#include "host/panel/EffectWindow.h"
#include "support/SceneFixture.h"

namespace strandel::test {
namespace {

using nlohmann::json;
using Points = std::vector<host::CurvePointValues>;

const char* kScene = R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 1,
    "layers": [{"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {}}]}]}]})";

constexpr int kPresetRows[] = {kParamEndRadius, kParamDepth,  kParamTurns,      kParamDirection,
                               kParamLengthZ,   kParamCycles, kParamYAmplitude, kParamYPhase};
const std::vector<int> kPresetOrder = {9, 10, 11, 12, 15, 16, 17, 18, 14};

// The curve row's frame in the window; its graph spans x 40..240 and y 174 (curve 0) .. 110 (curve 1).
constexpr PF_Rect kFrame{30, 100, 250, 184};
constexpr double kGraphLeft = 40, kGraphBottom = 174, kGraphWidth = 200, kGraphHeight = 64;
constexpr const char* kScaleCurve = "Ramp/Scale Curve";

PF_Point At(double x, double y)
{
    return {A_long(std::lround(kGraphLeft + kGraphWidth * x)), A_long(std::lround(kGraphBottom - kGraphHeight * y))};
}

const Points kThree = {{0, 0, 0, 0, 0.1, 0.1}, {0.5, 0.8, -0.1, 0, 0.1, 0}, {1, 0.2, -0.1, 0, 0, 0}};

class PanelUiTest : public SceneTest {
protected:
    void SetUp() override { Reopen(host::kAppIdCompositor, false); }
    void TearDown() override
    {
        window_.reset();
        SceneTest::TearDown();
    }
    // The scene in a host of the given kind; `noPluginId`: general-plug-in registration fails.
    void Reopen(A_long appId, bool noPluginId)
    {
        window_.reset();
        call_.reset();
        fx_ = &OpenScene(kScene, appId, noPluginId);
        call_ = fx_->NewCall();
        window_ = std::make_unique<host::EffectWindow>(*fx_);
    }

    PF_Err UpdateWith(int index, int value, PF_OutData* out = nullptr)
    {
        return fx_->PanelCommand(PF_Cmd_UPDATE_PARAMS_UI, nullptr, out,
                                 [&](std::vector<PF_ParamDef>& defs) { defs[index].u.pd.value = value; });
    }
    bool StreamHidden(int index) const { return index < int(fx_->hiddenStreams.size()) && fx_->hiddenStreams[index]; }

    void SetCurve(const Points& points) { Set(kScaleCurve, json(points)); }
    host::DecodedCurve Curve(const char* row = kScaleCurve)
    {
        const int data = host::SceneParamIndex(*fx_, row);
        auto decoded =
            host::DecodeCurveRecord(fx_->ArbFlatten(data, std::get<PF_Handle>(fx_->track(data).keys[0].value)));
        EXPECT_TRUE(decoded);
        return decoded.value_or(host::DecodedCurve{});
    }
    host::EffectWindow::ClickResult Click(PF_Point at, PF_Modifiers modifiers = PF_Mod_NONE)
    {
        return window_->Click(kParamRampScaleCurve, kFrame, at, modifiers);
    }
    std::vector<A_intptr_t> DragWords()
    {
        const A_intptr_t* words = window_->context().Record().plugin_state;
        return {words, words + 4};
    }

    // Every DRAWBOT call of the row, drawn onto a scratch surface; `failCall` fails.
    std::vector<host::DrawbotCall> Draw(int row = kParamRampScaleCurve, PF_Rect frame = kFrame, int failCall = 0,
                                        PF_Err* err = nullptr)
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 300, 200);
        cairo_t* cr = cairo_create(surface);
        std::vector<host::DrawbotCall> calls;
        {
            host::DrawbotDrawing drawing(cr);
            drawing.record = &calls;
            drawing.failCall = failCall;
            const PF_Err result = window_->Draw(row, frame, drawing.Ref());
            if (err) *err = result;
            EXPECT_EQ(drawing.liveObjects, 0) << "drawing objects were not released";
        }
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        return calls;
    }
    std::string DeviceLabel()
    {
        for (const host::DrawbotCall& c : Draw(kParamProcessingDevice, {0, 0, 220, 22}))
            if (c.name == "DrawString") return c.text;
        return "";
    }

    std::unique_ptr<host::EffectWindow> window_;
};

void ExpectPoints(const Points& actual, const Points& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(actual[i][k], expected[i][k], 1e-9) << "point " << i << " value " << k;
}

TEST_F(PanelUiTest, EachPresetRelabelsSizeAndShowsOnlyItsSliders)
{
    // clang-format off
    const struct { int preset; const char* label; std::vector<int> shown; } kCases[] = {
        {1, "Size", {kParamDepth, kParamTurns}},
        {2, "Start Radius", {kParamEndRadius, kParamDepth, kParamTurns, kParamDirection}},
        {3, "X Amplitude", {kParamLengthZ, kParamCycles, kParamYAmplitude, kParamYPhase}},
        {4, "Loop Radius", {}},
        {9, "Size", {kParamDepth, kParamTurns}}, // not a preset: as Helix
    };
    // clang-format on
    for (const auto& c : kCases) {
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

    // Every row is set after an earlier failure, and the first error is reported.
    fx_->failPanelUpdate = {{kParamEndRadius, PF_Err_OUT_OF_MEMORY}, {kParamCycles, PF_Err_INVALID_INDEX}};
    fx_->panelUpdates.clear();
    EXPECT_EQ(UpdateWith(kParamPreset, 3, nullptr), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(std::vector<int>(fx_->panelUpdates.begin() + 1, fx_->panelUpdates.end()), kPresetOrder);
    EXPECT_FALSE(fx_->RowHidden(kParamYPhase)) << "a row after both failures was not shown";
    EXPECT_TRUE(StreamHidden(kParamEndRadius)) << "the failed row's stream was not hidden";

    // Without a plug-in ID, and in the editor, which registers none, only the panel changes.
    for (const A_long appId : {host::kAppIdCompositor, host::kAppIdVideoEditor}) {
        SCOPED_TRACE(appId);
        Reopen(appId, appId == host::kAppIdCompositor);
        ASSERT_EQ(UpdateWith(kParamPreset, 3), PF_Err_NONE);
        EXPECT_EQ(fx_->panelRow(kParamPresetSize).name, "X Amplitude");
        EXPECT_TRUE(fx_->panelRow(kParamDepth).uiFlags & PF_PUI_INVISIBLE);
        EXPECT_FALSE(fx_->panelRow(kParamCycles).uiFlags & PF_PUI_INVISIBLE);
        EXPECT_TRUE(std::none_of(fx_->hiddenStreams.begin(), fx_->hiddenStreams.end(), [](bool h) { return h; }));
    }
}

TEST_F(PanelUiTest, PlacementHidesInsideAndSpreadByTheirStreamsAndEnablesOrientation)
{
    for (int placement : {2, 1}) {
        SCOPED_TRACE(placement);
        fx_->panelUpdates.clear();
        ASSERT_EQ(fx_->PanelCommand(PF_Cmd_UPDATE_PARAMS_UI, nullptr, nullptr,
                                    [&](std::vector<PF_ParamDef>& defs) {
                                        defs[kParamPlacementMode].u.pd.value = placement;
                                        defs[kParamOrientationMode].ui_flags |= PF_PUI_DISABLED;
                                    }),
                  PF_Err_NONE);
        for (int row : {kParamInside, kParamSpread}) {
            EXPECT_EQ(StreamHidden(row), placement != 2) << row;
            EXPECT_FALSE(fx_->panelRow(row).uiFlags & PF_PUI_INVISIBLE) << row;
            EXPECT_EQ(std::count(fx_->panelUpdates.begin(), fx_->panelUpdates.end(), row), 0) << row;
        }
        EXPECT_FALSE(fx_->panelRow(kParamOrientationMode).uiFlags & PF_PUI_DISABLED);
    }
}

TEST_F(PanelUiTest, UserChangesAreRoutedByIndex)
{
    constexpr A_long kBoth = PF_OutFlag_FORCE_RERENDER | PF_OutFlag_REFRESH_UI;
    // clang-format off
    const struct { int index; A_long outFlags; std::vector<int> panelUpdates; } kCases[] = {
        {kParamPreset, kBoth, kPresetOrder},   {kParamPlacementMode, kBoth, {kParamOrientationMode}},
        {kParamOrientationMode, kBoth, {kParamOrientationMode}}, {kParamRenderer, kBoth, {}},
        {kParamRampScaleCurve, PF_OutFlag_REFRESH_UI, {}},       {kParamCount, 0, {}},
    };
    // clang-format on
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.index);
        fx_->panelUpdates.clear();
        PF_OutData out{};
        EXPECT_EQ(fx_->UserChangedParam(c.index, &out), PF_Err_NONE);
        EXPECT_EQ(out.out_flags, c.outFlags);
        EXPECT_EQ(fx_->panelUpdates, c.panelUpdates);
    }
    // The curve row marked its curve edited and the host kept it.
    EXPECT_TRUE(Curve().edited);
    EXPECT_EQ(fx_->changedInPanel.count(host::SceneParamIndex(*fx_, kScaleCurve)), 1u);

    // Choosing the CPU shows at once on the device row; other choices wait for a frame.
    for (const char* choice : {"CPU", "Auto", "GPU"}) {
        Set("Renderer", choice);
        ASSERT_EQ(fx_->ReportUserChange(kParamRenderer), PF_Err_NONE);
        EXPECT_EQ(DeviceLabel(), "Processing Device: CPU") << choice;
    }
}

TEST_F(PanelUiTest, AltClickDeletesOnlyInnerPointsOfLongerCurves)
{
    const Points kTwo = {{0, 0, 0, 0, 0.3, 0.3}, {1, 1, -0.3, -0.3, 0, 0}};
    // Deleting the middle point joins its neighbours with straight handles.
    const Points kJoined = {{0, 0, 0, 0, 1.0 / 3, 0.2 / 3}, {1, 0.2, -1.0 / 3, -0.2 / 3, 0, 0}};
    // clang-format off
    const struct { const char* what; Points curve; PF_Point click; Points expected; } kCases[] = {
        {"inner point", kThree, At(0.5, 0.8), kJoined},
        {"first point", kThree, At(0, 0), kThree},
        {"last point", kThree, At(1, 0.2), kThree},
        {"point of a two-point curve", kTwo, At(1, 1), kTwo},
        {"handle, not a point", kThree, At(0.6, 0.8), kThree},
    };
    // clang-format on
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        SetCurve(c.curve);
        const auto result = Click(c.click, PF_Mod_OPT_ALT_KEY);
        EXPECT_EQ(result.err, PF_Err_NONE);
        EXPECT_TRUE(result.outFlags & PF_EO_HANDLED_EVENT);
        EXPECT_FALSE(result.sendDrag);
        ExpectPoints(Curve().points, c.expected);
    }
}

// The dots a row filled, as "r g b a radius"; the rest of the drawing is held by the panel's
// stored image (CliTest).
std::vector<std::string> Dots(const std::vector<host::DrawbotCall>& calls)
{
    std::vector<std::string> dots;
    char brush[64] = "";
    double radius = 0;
    for (const host::DrawbotCall& c : calls) {
        if (c.name == "NewBrush")
            std::snprintf(brush, sizeof brush, "%.2f %.2f %.2f %.2f", c.args[0], c.args[1], c.args[2], c.args[3]);
        if (c.name == "AddArc") radius = c.args[2];
        if (c.name == "FillPath") dots.push_back(std::string(brush) + " " + std::to_string(int(radius)));
    }
    return dots;
}

TEST_F(PanelUiTest, APointWinsOverANearerHandleAndIsDrawnOrangeUntilAClickElsewhere)
{
    // The middle point's out-handle ends 6 pixels to its right; the click is 4 pixels right.
    Points curve = kThree;
    curve[1][4] = 6.0 / kGraphWidth;
    SetCurve(curve);
    const PF_Point point = At(0.5, 0.8);
    ASSERT_TRUE(Click({point.h + 4, point.v}).sendDrag);
    // "W8DR" with its first character in the most significant byte; row; a point; its index.
    const A_intptr_t kTag = ('W' << 24) | ('8' << 16) | ('D' << 8) | 'R';
    EXPECT_EQ(DragWords(), (std::vector<A_intptr_t>{kTag, kParamRampScaleCurve, 1, 1}));
    ExpectPoints(Curve().points, curve);
    std::vector<std::string> dots = Dots(Draw());
    EXPECT_EQ(std::count(dots.begin(), dots.end(), "1.00 0.74 0.25 1.00 5"), 1);
    EXPECT_EQ(std::count(dots.begin(), dots.end(), "0.94 0.96 0.98 1.00 4"), 2);

    // A click away from the curve is left to the host and forgets the dragged point.
    const auto away = Click(At(0.9, 0.9));
    EXPECT_EQ(away.outFlags, PF_EO_NONE);
    EXPECT_FALSE(away.sendDrag);
    EXPECT_EQ(DragWords(), (std::vector<A_intptr_t>{0, 0, 0, -1}));
    ExpectPoints(Curve().points, curve);
    dots = Dots(Draw());
    EXPECT_EQ(std::count(dots.begin(), dots.end(), "0.94 0.96 0.98 1.00 4"), 3);
}

TEST_F(PanelUiTest, DraggedPointsKeepTheirPlaceInTheCurve)
{
    // clang-format off
    const struct { const char* what; PF_Point from, to; int point; double x, y; } kCases[] = {
        {"the first point stays at x 0", At(0, 0), At(0.3, 0.5), 0, 0, 0.5},
        {"the last point stays at x 1", At(1, 0.2), At(0.7, 1), 2, 1, 1},
        {"an inner point stops short of its right neighbour", At(0.5, 0.8), At(1, 0.25), 1, 1 - 0.0001, 0.25},
        {"an inner point stops short of its left neighbour", At(0.5, 0.8), At(0, 0.5), 1, 0.0001, 0.5},
    };
    // clang-format on
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        SetCurve(kThree);
        ASSERT_TRUE(Click(c.from).sendDrag);
        ASSERT_EQ(window_->Drag(kParamRampScaleCurve, kFrame, c.to, true), PF_Err_NONE);
        const Points points = Curve().points;
        ASSERT_EQ(points.size(), 3u);
        EXPECT_NEAR(points[c.point][0], c.x, 1e-12);
        EXPECT_NEAR(points[c.point][1], c.y, 0.5 / kGraphHeight);
    }
}

TEST_F(PanelUiTest, AClickOnTheCurveAddsAPointOnItThatTheDragMovesUpToSixteenPoints)
{
    SetCurve({{0, 0, 0, 0, 0.25, 0.25}, {1, 1, -0.25, -0.25, 0, 0}});
    const auto result = Click({At(0.6, 0.6).h, At(0.6, 0.6).v + 3});
    EXPECT_EQ(result.outFlags, PF_EO_HANDLED_EVENT | PF_EO_UPDATE_NOW);
    ASSERT_TRUE(result.sendDrag);
    Points points = Curve().points;
    ASSERT_EQ(points.size(), 3u);
    EXPECT_NEAR(points[1][0], 0.6, 1e-12);
    EXPECT_NEAR(points[1][1], 0.6, 1e-6); // on the line y = x, whatever the click's height
    ASSERT_EQ(window_->context().invalidated.size(), 1u);
    EXPECT_EQ(window_->context().invalidated[0].right, kFrame.right);
    ASSERT_EQ(window_->Drag(kParamRampScaleCurve, kFrame, At(0.6, 0.9), true), PF_Err_NONE);
    EXPECT_NEAR(Curve().points[1][1], 0.9, 0.5 / kGraphHeight);

    // Fifteen points crowded at the start and one at the end, all on y = 0: no room for more.
    Points line;
    for (int i = 0; i < 15; ++i) line.push_back({i / 100.0, 0, 0, 0, 0, 0});
    line.push_back({1, 0, 0, 0, 0, 0});
    SetCurve(line);
    const auto full = Click(At(0.6, 0));
    EXPECT_EQ(full.err, PF_Err_NONE);
    EXPECT_FALSE(full.sendDrag);
    EXPECT_EQ(Curve().points.size(), 16u);
}

TEST_F(PanelUiTest, TheFirstEditCommitsTheEasePresetAndSetsThePopupBackToLinear)
{
    Set("Ramp/Curve", "Ease In");
    // Ease In runs under the line y = x: (0.5, 0.5) lies above it and misses.
    EXPECT_EQ(Click(At(0.5, 0.5)).outFlags, PF_EO_NONE);
    ASSERT_TRUE(Click(At(0.75, 0.62)).sendDrag);

    EXPECT_EQ(std::get<double>(fx_->track(kParamRampShape).keys[0].value), 1.0);
    const host::DecodedCurve rotation = Curve("Ramp/Rotation X Curve");
    EXPECT_TRUE(rotation.edited);
    ExpectPoints(rotation.points, {{0, 0, 0, 0, 0.42, 0}, {1, 1, 0, 0, 0, 0}});
    EXPECT_EQ(Curve().points.size(), 3u);
    for (const char* untouched : {"Ramp/Time Offset Curve", "Path Gradient/Scale Curve"})
        EXPECT_FALSE(Curve(untouched).edited) << untouched;
}

TEST_F(PanelUiTest, ADrawbotFailureEndsTheDrawingWith512AndChangesNothing)
{
    SetCurve(kThree);
    const std::size_t total = Draw().size();
    for (std::size_t fail : {std::size_t(1), std::size_t(4), total / 2, total}) {
        SCOPED_TRACE(fail);
        fx_->changedInPanel.clear();
        PF_Err err = PF_Err_NONE;
        const std::vector<host::DrawbotCall> calls = Draw(kParamRampScaleCurve, kFrame, int(fail), &err);
        EXPECT_EQ(err, PF_Err_INTERNAL_STRUCT_DAMAGED);
        // Only releases follow the failed call.
        for (std::size_t i = fail; i < calls.size(); ++i) EXPECT_EQ(calls[i].name, "ReleaseObject");
        EXPECT_TRUE(fx_->changedInPanel.empty());
        ExpectPoints(Curve().points, kThree);
    }
}

TEST_F(PanelUiTest, EventsForOtherRowsAndAreasAreIgnoredAndMissingRecordsRefused)
{
    SetCurve(kThree);
    auto send = [&](auto change) {
        PF_EventExtra event = window_->NewEvent(PF_Event_DO_CLICK, kParamRampScaleCurve, kFrame);
        event.u.do_click.screen_point = At(0.5, 0.8);
        change(event);
        EXPECT_EQ(window_->Send(event), PF_Err_NONE);
        EXPECT_EQ(event.evt_out_flags, PF_EO_NONE);
    };
    send([](PF_EventExtra& e) { e.effect_win.index = kParamCount; });
    send([](PF_EventExtra& e) { e.effect_win.index = kParamProcessingDevice; });
    send([](PF_EventExtra& e) { e.effect_win.area = PF_EA_PARAM_TITLE; });
    send([](PF_EventExtra& e) { e.e_type = PF_Event_KEYDOWN; });
    ExpectPoints(Curve().points, kThree);

    // The cursor becomes crosshairs over a curve row only.
    for (int row : {int(kParamRampScaleCurve), int(kParamGradientTimeOffsetCurve), int(kParamCount)}) {
        PF_EventExtra event = window_->NewEvent(PF_Event_ADJUST_CURSOR, row, kFrame);
        EXPECT_EQ(window_->Send(event), PF_Err_NONE);
        const bool curveRow = row != kParamCount;
        EXPECT_EQ(event.u.adjust_cursor.set_cursor, curveRow ? PF_Cursor_CROSSHAIRS : PF_Cursor_NONE) << row;
        EXPECT_EQ(event.evt_out_flags, curveRow ? PF_EO_HANDLED_EVENT : PF_EO_NONE) << row;
    }

    PF_EventExtra event = window_->NewEvent(PF_Event_DO_CLICK, kParamRampScaleCurve, kFrame);
    PF_OutData out{};
    EXPECT_EQ(fx_->Command(PF_Cmd_EVENT, &out, nullptr, nullptr, &event), PF_Err_NONE) << "no parameters";
    EXPECT_EQ(fx_->Command(PF_Cmd_EVENT, &out, nullptr, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    std::vector<PF_ParamDef> defs(fx_->paramCount());
    std::vector<PF_ParamDef*> params;
    for (PF_ParamDef& d : defs) params.push_back(&d);
    PF_UserChangedParamExtra extra{kParamCount};
    PF_InData* in = &call_->in;
    // clang-format off
    const struct { PF_InData* in; PF_OutData* out; PF_ParamDef** params; PF_UserChangedParamExtra* extra; } kMissing[] = {
        {nullptr, &out, params.data(), &extra}, {in, nullptr, params.data(), &extra},
        {in, &out, nullptr, &extra},            {in, &out, params.data(), nullptr},
    };
    // clang-format on
    for (const auto& c : kMissing)
        EXPECT_EQ(H().Call(PF_Cmd_USER_CHANGED_PARAM, c.in, c.out, c.params, nullptr, c.extra),
                  PF_Err_BAD_CALLBACK_PARAM);
}

} // namespace
} // namespace strandel::test
