// The curve editor rows through the host's real event commands: clicks, drags and Alt-clicks on
// the loaded plug-in, what the host keeps of them, and what a row draws through DRAWBOT.
#include <gtest/gtest.h>

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

// The row's frame in the window; its graph spans x 40..240 and y 174 (curve 0) .. 110 (curve 1).
constexpr PF_Rect kFrame{30, 100, 250, 184};
constexpr double kGraphLeft = 40, kGraphBottom = 174, kGraphWidth = 200, kGraphHeight = 64;

PF_Point At(double x, double y)
{
    return {A_long(std::lround(kGraphLeft + kGraphWidth * x)), A_long(std::lround(kGraphBottom - kGraphHeight * y))};
}

const Points kThree = {{0, 0, 0, 0, 0.1, 0.1}, {0.5, 0.8, -0.1, 0, 0.1, 0}, {1, 0.2, -0.1, 0, 0, 0}};

class CurveEditorTest : public SceneTest {
protected:
    void SetUp() override
    {
        Open(kScene);
        window_ = std::make_unique<host::EffectWindow>(*fx_);
    }
    void TearDown() override
    {
        window_.reset();
        SceneTest::TearDown();
    }

    void SetCurve(const char* row, const Points& points) { Set(row, json(points)); }

    host::DecodedCurve Curve(const char* row)
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

    const A_intptr_t* DragWords() { return window_->context().Record().plugin_state; }

    // The row drawn onto a scratch surface, every DRAWBOT call recorded.
    std::vector<host::DrawbotCall> Draw(int failCall = 0, PF_Err* err = nullptr)
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 300, 200);
        cairo_t* cr = cairo_create(surface);
        std::vector<host::DrawbotCall> calls;
        {
            host::DrawbotDrawing drawing(cr);
            drawing.record = &calls;
            drawing.failCall = failCall;
            const PF_Err result = window_->Draw(kParamRampScaleCurve, kFrame, drawing.Ref());
            if (err) *err = result;
            EXPECT_EQ(drawing.liveObjects, 0) << "drawing objects were not released";
        }
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        return calls;
    }

    std::unique_ptr<host::EffectWindow> window_;
};

void ExpectPoints(const Points& actual, const Points& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(actual[i][k], expected[i][k], 1e-9) << "point " << i << " value " << k;
}

TEST_F(CurveEditorTest, AltClickDeletesOnlyInnerPointsOfLongerCurves)
{
    const Points kTwo = {{0, 0, 0, 0, 0.3, 0.3}, {1, 1, -0.3, -0.3, 0, 0}};
    // Deleting the middle point joins its neighbours with straight handles.
    const Points kJoined = {{0, 0, 0, 0, 1.0 / 3, 0.2 / 3}, {1, 0.2, -1.0 / 3, -0.2 / 3, 0, 0}};
    struct Case {
        const char* what;
        Points curve;
        PF_Point click;
        Points expected;
    };
    const Case kCases[] = {
        {"inner point", kThree, At(0.5, 0.8), kJoined},
        {"first point", kThree, At(0, 0), kThree},
        {"last point", kThree, At(1, 0.2), kThree},
        {"point of a two-point curve", kTwo, At(1, 1), kTwo},
        {"handle, not a point", kThree, At(0.6, 0.8), kThree},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        SetCurve("Ramp/Scale Curve", c.curve);
        const auto result = Click(c.click, PF_Mod_OPT_ALT_KEY);
        EXPECT_EQ(result.err, PF_Err_NONE);
        EXPECT_TRUE(result.outFlags & PF_EO_HANDLED_EVENT);
        EXPECT_FALSE(result.sendDrag);
        ExpectPoints(Curve("Ramp/Scale Curve").points, c.expected);
    }
}

TEST_F(CurveEditorTest, APointWinsOverANearerHandle)
{
    // The middle point's out-handle ends 6 pixels to its right; the click is 4 pixels right.
    Points curve = kThree;
    curve[1][4] = 6.0 / kGraphWidth;
    SetCurve("Ramp/Scale Curve", curve);
    const PF_Point point = At(0.5, 0.8);
    const auto result = Click({point.h + 4, point.v});
    EXPECT_TRUE(result.sendDrag);
    // "W8DR" with its first character in the most significant byte; row; a point; its index.
    const A_intptr_t expected[] = {('W' << 24) | ('8' << 16) | ('D' << 8) | 'R', kParamRampScaleCurve, 1, 1};
    EXPECT_EQ(std::vector<A_intptr_t>(DragWords(), DragWords() + 4), std::vector<A_intptr_t>(expected, expected + 4));
    ExpectPoints(Curve("Ramp/Scale Curve").points, curve);
}

TEST_F(CurveEditorTest, DraggedPointsKeepTheirPlaceInTheCurve)
{
    struct Case {
        const char* what;
        PF_Point from, to;
        int point;
        double x, y;
    };
    const Case kCases[] = {
        {"the first point stays at x 0", At(0, 0), At(0.3, 0.5), 0, 0, 0.5},
        {"the last point stays at x 1", At(1, 0.2), At(0.7, 1), 2, 1, 1},
        {"an inner point stops short of its right neighbour", At(0.5, 0.8), At(1, 0.25), 1, 1 - 0.0001, 0.25},
        {"an inner point stops short of its left neighbour", At(0.5, 0.8), At(0, 0.5), 1, 0.0001, 0.5},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        SetCurve("Ramp/Scale Curve", kThree);
        ASSERT_TRUE(Click(c.from).sendDrag);
        ASSERT_EQ(window_->Drag(kParamRampScaleCurve, kFrame, c.to, true), PF_Err_NONE);
        const Points points = Curve("Ramp/Scale Curve").points;
        ASSERT_EQ(points.size(), 3u);
        EXPECT_NEAR(points[c.point][0], c.x, 1e-12);
        EXPECT_NEAR(points[c.point][1], c.y, 0.5 / kGraphHeight);
    }
}

TEST_F(CurveEditorTest, AClickOnTheCurveAddsAPointOnItThatTheDragThenMoves)
{
    SetCurve("Ramp/Scale Curve", {{0, 0, 0, 0, 0.25, 0.25}, {1, 1, -0.25, -0.25, 0, 0}});
    const auto result = Click({At(0.6, 0.6).h, At(0.6, 0.6).v + 3});
    EXPECT_EQ(result.outFlags, PF_EO_HANDLED_EVENT | PF_EO_UPDATE_NOW);
    ASSERT_TRUE(result.sendDrag);
    Points points = Curve("Ramp/Scale Curve").points;
    ASSERT_EQ(points.size(), 3u);
    EXPECT_NEAR(points[1][0], 0.6, 1e-12);
    EXPECT_NEAR(points[1][1], 0.6, 1e-6); // on the line y = x, whatever the click's height
    ASSERT_EQ(window_->context().invalidated.size(), 1u);
    EXPECT_EQ(window_->context().invalidated[0].right, kFrame.right);

    ASSERT_EQ(window_->Drag(kParamRampScaleCurve, kFrame, At(0.6, 0.9), true), PF_Err_NONE);
    points = Curve("Ramp/Scale Curve").points;
    EXPECT_NEAR(points[1][1], 0.9, 0.5 / kGraphHeight);
}

TEST_F(CurveEditorTest, ASixteenPointCurveTakesNoNewPoint)
{
    // Fifteen points crowded at the start and one at the end, all on y = 0.
    Points line;
    for (int i = 0; i < 15; ++i) line.push_back({i / 100.0, 0, 0, 0, 0, 0});
    line.push_back({1, 0, 0, 0, 0, 0});
    SetCurve("Ramp/Scale Curve", line);
    const auto result = Click(At(0.6, 0));
    EXPECT_EQ(result.err, PF_Err_NONE);
    EXPECT_FALSE(result.sendDrag);
    EXPECT_EQ(Curve("Ramp/Scale Curve").points.size(), 16u);
}

TEST_F(CurveEditorTest, TheFirstEditCommitsTheEasePresetAndSetsThePopupBackToLinear)
{
    Set("Ramp/Curve", "Ease In");
    // Ease In runs under the line y = x: (0.5, 0.5) lies above it and misses.
    EXPECT_EQ(Click(At(0.5, 0.5)).outFlags, PF_EO_NONE);
    ASSERT_TRUE(Click(At(0.75, 0.62)).sendDrag);

    EXPECT_EQ(std::get<double>(fx_->track(kParamRampShape).keys[0].value), 1.0);
    const host::DecodedCurve rotation = Curve("Ramp/Rotation X Curve");
    EXPECT_TRUE(rotation.edited);
    ExpectPoints(rotation.points, {{0, 0, 0, 0, 0.42, 0}, {1, 1, 0, 0, 0, 0}});
    EXPECT_EQ(Curve("Ramp/Scale Curve").points.size(), 3u);
    for (const char* untouched : {"Ramp/Time Offset Curve", "Path Gradient/Scale Curve"})
        EXPECT_FALSE(Curve(untouched).edited) << untouched;
}

// The dots a row filled, as "r g b a radius"; the rest of the drawing is held by the panel's
// stored image (PanelCliTest).
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

TEST_F(CurveEditorTest, TheDraggedPointIsDrawnLargerAndOrangeUntilTheNextClickElsewhere)
{
    SetCurve("Ramp/Scale Curve", kThree);
    ASSERT_TRUE(Click(At(0.5, 0.8)).sendDrag);
    std::vector<std::string> dots = Dots(Draw());
    EXPECT_EQ(std::count(dots.begin(), dots.end(), "1.00 0.74 0.25 1.00 5"), 1);
    EXPECT_EQ(std::count(dots.begin(), dots.end(), "0.94 0.96 0.98 1.00 4"), 2);
    // A click away from the curve is left to the host and forgets the dragged point.
    const auto away = Click(At(0.9, 0.9));
    EXPECT_EQ(away.outFlags, PF_EO_NONE);
    EXPECT_FALSE(away.sendDrag);
    EXPECT_EQ(std::vector<A_intptr_t>(DragWords(), DragWords() + 4), (std::vector<A_intptr_t>{0, 0, 0, -1}));
    ExpectPoints(Curve("Ramp/Scale Curve").points, kThree);
    dots = Dots(Draw());
    EXPECT_EQ(std::count(dots.begin(), dots.end(), "0.94 0.96 0.98 1.00 4"), 3);
}

TEST_F(CurveEditorTest, ADrawbotFailureEndsTheDrawingWith512AndChangesNothing)
{
    SetCurve("Ramp/Scale Curve", kThree);
    const std::size_t total = Draw().size();
    for (std::size_t fail : {std::size_t(1), std::size_t(4), total / 2, total}) {
        SCOPED_TRACE(fail);
        fx_->changedInPanel.clear();
        PF_Err err = PF_Err_NONE;
        const std::vector<host::DrawbotCall> calls = Draw(int(fail), &err);
        EXPECT_EQ(err, PF_Err_INTERNAL_STRUCT_DAMAGED);
        // Only releases follow the failed call.
        for (std::size_t i = fail; i < calls.size(); ++i) EXPECT_EQ(calls[i].name, "ReleaseObject");
        EXPECT_TRUE(fx_->changedInPanel.empty());
        ExpectPoints(Curve("Ramp/Scale Curve").points, kThree);
    }
}

TEST_F(CurveEditorTest, EventsForOtherRowsAreasOrMissingRecordsAreIgnored)
{
    SetCurve("Ramp/Scale Curve", kThree);
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
    ExpectPoints(Curve("Ramp/Scale Curve").points, kThree);

    PF_EventExtra event = window_->NewEvent(PF_Event_DO_CLICK, kParamRampScaleCurve, kFrame);
    PF_OutData out{};
    EXPECT_EQ(fx_->Command(PF_Cmd_EVENT, &out, nullptr, nullptr, &event), PF_Err_NONE) << "no parameters";
    EXPECT_EQ(fx_->Command(PF_Cmd_EVENT, &out, nullptr, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(CurveEditorTest, TheCursorBecomesCrosshairsOverACurveRowOnly)
{
    for (int row : {int(kParamRampScaleCurve), int(kParamGradientTimeOffsetCurve), int(kParamCount)}) {
        PF_EventExtra event = window_->NewEvent(PF_Event_ADJUST_CURSOR, row, kFrame);
        EXPECT_EQ(window_->Send(event), PF_Err_NONE);
        const bool curveRow = row != kParamCount;
        EXPECT_EQ(event.u.adjust_cursor.set_cursor, curveRow ? PF_Cursor_CROSSHAIRS : PF_Cursor_NONE) << row;
        EXPECT_EQ(event.evt_out_flags, curveRow ? PF_EO_HANDLED_EVENT : PF_EO_NONE) << row;
    }
}

} // namespace
} // namespace strandel::test
