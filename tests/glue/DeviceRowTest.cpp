// The "Processing Device" row drawn through the host's DRAWBOT suites, for each device state.
#include <gtest/gtest.h>

#include "curves/CurveEditor.h"
#include "frame/GlobalState.h"
#include "frame/ParamIndex.h"
#include "host/drawing/DrawbotDrawing.h"
#include "host/panel/EffectWindow.h"
#include "support/SceneFixture.h"

namespace strandel::test {
namespace {

const char* kScene = R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 1,
    "layers": [{"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {}}]}]}]})";

constexpr PF_Rect kRow{10, 20, 230, 42};

class DeviceRowTest : public SceneTest {
protected:
    void SetUp() override { Open(kScene); }
    void TearDown() override
    {
        SetProcessingDeviceState(0);
        SceneTest::TearDown();
    }

    struct Drawn {
        PF_Err err;
        std::vector<host::DrawbotCall> calls;
    };
    Drawn Draw(bool text = true, float fontSize = 12, int failCall = 0, PF_EventInFlags inFlags = PF_EI_NONE)
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 240, 50);
        cairo_t* cr = cairo_create(surface);
        Drawn drawn{};
        {
            host::DrawbotDrawing drawing(cr);
            drawing.record = &drawn.calls;
            drawing.supportsText = text;
            drawing.defaultFontSize = fontSize;
            drawing.failCall = failCall;
            // The event as the host would send it, handed to the plug-in code linked in here.
            host::EffectWindow window(*fx_);
            window.context().drawing = drawing.Ref();
            PF_EventExtra event = window.NewEvent(PF_Event_DRAW, kParamProcessingDevice, kRow);
            event.evt_in_flags = inFlags;
            PF_InData in = *In();
            drawn.err = DrawProcessingDeviceRow(&in, nullptr, &event);
            EXPECT_EQ(drawing.liveObjects, 0);
        }
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        return drawn;
    }

    static const host::DrawbotCall* Find(const std::vector<host::DrawbotCall>& calls, const char* name, int nth = 0)
    {
        for (const host::DrawbotCall& c : calls)
            if (c.name == name && nth-- == 0) return &c;
        return nullptr;
    }
};

// The host's default font size is kept to 10..12 (a failed size query, the 6th call, gives 11)
// and the baseline moves with it.
TEST_F(DeviceRowTest, EachStateHasItsSquareColourLabelAndAFontOfTenToTwelve)
{
    // clang-format off
    const struct { uint32_t state; std::vector<double> colour; const char* label; float hostSize; int failCall;
                   double fontSize, baseline; } cases[] = {
        {0, {0.48f, 0.50f, 0.53f, 1}, "Processing Device: Unknown", 20, 0, 12, 36},
        {1, {0.30f, 0.56f, 0.88f, 1}, "Processing Device: CPU", 4, 0, 10, 35},
        {2, {0.18f, 0.72f, 0.34f, 1}, "Processing Device: GPU", 11, 0, 11, 35.5},
        {3, {0.95f, 0.61f, 0.20f, 1}, "Processing Device: CPU (fallback)", 12, 6, 11, 35.5},
        {9, {0.48f, 0.50f, 0.53f, 1}, "Processing Device: Unknown", 12, 0, 12, 36},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        SetProcessingDeviceState(c.state);
        const Drawn drawn = Draw(true, c.hostSize, c.failCall);
        ASSERT_EQ(drawn.err, PF_Err_NONE);
        const host::DrawbotCall* background = Find(drawn.calls, "PaintRect", 0);
        const host::DrawbotCall* square = Find(drawn.calls, "PaintRect", 1);
        const host::DrawbotCall* font = Find(drawn.calls, "NewDefaultFont");
        const host::DrawbotCall* text = Find(drawn.calls, "DrawString");
        ASSERT_TRUE(background && square && font && text);
        EXPECT_EQ(background->args, (std::vector<double>{0.12f, 0.13f, 0.14f, 1, 10, 20, 220, 22}));
        std::vector<double> expectedSquare = c.colour;
        expectedSquare.insert(expectedSquare.end(), {17, 27, 8, 8});
        EXPECT_EQ(square->args, expectedSquare);
        EXPECT_EQ(font->args[0], c.fontSize);
        EXPECT_EQ(text->text, c.label);
        // Left-aligned at x + 21 on the baseline, cut with an ellipsis to the row less 25 pixels.
        EXPECT_EQ(text->args, (std::vector<double>{31, c.baseline, kDRAWBOT_TextAlignment_Left,
                                                   kDRAWBOT_TextTruncation_EndEllipsis, 195}));
        EXPECT_EQ(drawn.calls.back().name, "Flush");
    }
    // A failed call ends the row with 512, releasing what it made.
    const Drawn failed = Draw(true, 12, 3);
    EXPECT_EQ(failed.err, PF_Err_INTERNAL_STRUCT_DAMAGED);
    for (std::size_t i = 3; i < failed.calls.size(); ++i) EXPECT_EQ(failed.calls[i].name, "ReleaseObject");

    // Without text the row keeps its background and square; told not to draw, it draws nothing.
    std::vector<std::string> names;
    for (const host::DrawbotCall& c : Draw(false).calls) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"GetSurface", "GetSupplier", "PaintRect", "PaintRect", "SupportsText",
                                               "Flush"}));
    EXPECT_TRUE(Draw(true, 12, 0, PF_EI_DONT_DRAW).calls.empty());
}

} // namespace
} // namespace strandel::test
