#include <gtest/gtest.h>

#include <cstdint>

#include "host/image/PngFile.h"
#include "host/project/LayerSource.h"
#include "support/HostTestSupport.h"

namespace strandel::host {
namespace {

using test::ScratchDir;

struct Sources {
    ScratchDir dir;
    LoadedScene scene;
    ImageFileCache files;

    Sources()
    {
        for (int i = 0; i < 3; ++i) {
            Image frame(1, 1, PixelDepth::Eight);
            frame.Set(0, 0, {1, i * 100 / 255.0, 0, 0});
            WritePng(dir / ("f" + std::to_string(i) + ".png"), frame);
        }
        scene = test::LoadSceneJson(dir, Json::parse(R"({"comps": [
          {"name": "Main", "width": 16, "height": 8, "frameRate": 29.97, "duration": 20, "layers": [
            {"name": "Solid", "type": "solid", "color": [0.2, 0.4, 0.6, 0.5], "width": 3, "height": 2},
            {"name": "Full", "type": "solid", "color": [0, 0, 0]},
            {"name": "Rect", "type": "shape", "width": 4, "height": 4, "color": [0, 1, 0, 1],
             "shape": {"kind": "rect", "size": [3, 2], "position": [2, 2]}},
            {"name": "Ellipse", "type": "shape", "color": [1, 1, 1, 0.5], "shape": {"kind": "ellipse", "size": [8, 4], "position": [4, 4]}},
            {"name": "Seq", "type": "image", "file": "f[#].png"},
            {"name": "Cam", "type": "camera"},
            {"name": "Null", "type": "null", "width": 5, "height": 7},
            {"name": "Inner", "type": "precomp", "comp": "Sub"}]},
          {"name": "Sub", "width": 10, "height": 6, "frameRate": 30, "duration": 1, "layers": []}]})"));
    }

    std::optional<Image> Pixels(const std::string& name, double t, PixelDepth depth,
                                const PrecompRenderHook& hook = nullptr)
    {
        return LayerSourcePixels(scene.project, *scene.project.comps[0].LayerByName(name), t, depth, files, hook);
    }
};

TEST(LayerSource, SolidsAndShapesAtTheirSizes)
{
    Sources s;
    const auto solid = s.Pixels("Solid", 0, PixelDepth::Eight);
    ASSERT_TRUE(solid);
    EXPECT_EQ(solid->Width(), 3);
    EXPECT_EQ(solid->Height(), 2);
    const auto* p = solid->PixelAt<std::uint8_t>(2, 1);
    EXPECT_EQ(p[0], 128); // 127.5
    EXPECT_EQ(p[1], 51);
    EXPECT_EQ(p[2], 102);
    EXPECT_EQ(p[3], 153);
    EXPECT_EQ(s.Pixels("Full", 0, PixelDepth::Sixteen)->Width(), 16); // the comp's size

    // Rectangle 3 x 2 centred on (2, 2): x 0.5..3.5, y 1..3; edge pixels half covered.
    const auto rect = s.Pixels("Rect", 0, PixelDepth::Float);
    ASSERT_TRUE(rect);
    EXPECT_EQ(rect->Width(), 4);
    EXPECT_EQ(rect->Get(0, 1), (PixelValue{0.5, 0, 1, 0}));
    EXPECT_EQ(rect->Get(1, 2).a, 1.0);
    EXPECT_EQ(rect->Get(3, 2).a, 0.5);
    EXPECT_EQ(rect->Get(1, 0).a, 0.0);
    EXPECT_EQ(rect->Get(1, 3).a, 0.0);

    // Ellipse 8 x 4 around (4, 4) in the comp-sized bounds: inside carries the colour's alpha.
    const auto ellipse = s.Pixels("Ellipse", 0, PixelDepth::Float);
    ASSERT_TRUE(ellipse);
    EXPECT_EQ(ellipse->Width(), 16);
    EXPECT_EQ(ellipse->Get(3, 3).a, 0.5);
    EXPECT_EQ(ellipse->Get(0, 0).a, 0.0);
    EXPECT_EQ(ellipse->Get(9, 4).a, 0.0);
    const double edge = ellipse->Get(0, 4).a; // the ellipse's leftmost point cuts this pixel
    EXPECT_GT(edge, 0.0);
    EXPECT_LT(edge, 0.5);

    EXPECT_EQ(s.Pixels("Null", 0, PixelDepth::Eight)->Width(), 5);
    EXPECT_FALSE(s.Pixels("Cam", 0, PixelDepth::Eight));
}

TEST(LayerSource, SequencesFollowCompFramesAndHoldAtBothEnds)
{
    Sources s;
    const TimeBase ntsc = s.scene.project.comps[0].timeBase;
    const struct {
        double seconds;
        int frame;
    } cases[] = {{-1, 0},
                 {0, 0},
                 {TimeToSeconds(FrameTime(ntsc, 1)), 1},
                 {TimeToSeconds(FrameTime(ntsc, 2)) - 1e-4, 1},
                 {TimeToSeconds(FrameTime(ntsc, 2)), 2},
                 {15, 2}};
    for (const auto& c : cases) {
        const auto image = s.Pixels("Seq", c.seconds, PixelDepth::Eight);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->PixelAt<std::uint8_t>(0, 0)[1], c.frame * 100) << "at " << c.seconds << " s";
    }
    // The checkout comes at the depth asked for.
    const auto deep = s.Pixels("Seq", 1, PixelDepth::Float);
    EXPECT_EQ(deep->Depth(), PixelDepth::Float);
    EXPECT_FLOAT_EQ(deep->PixelAt<float>(0, 0)[1], 200 / 255.0f);
}

TEST(LayerSource, PrecompsAreDrawnByTheRenderHook)
{
    Sources s;
    EXPECT_FALSE(s.Pixels("Inner", 0, PixelDepth::Eight));
    std::string rendered;
    double renderedAt = -1;
    const auto image =
        s.Pixels("Inner", 0.75, PixelDepth::Sixteen, [&](const Composition& comp, double t, PixelDepth d) {
            rendered = comp.name;
            renderedAt = t;
            return Image(comp.width, comp.height, d);
        });
    ASSERT_TRUE(image);
    EXPECT_EQ(rendered, "Sub");
    EXPECT_EQ(renderedAt, 0.75);
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Depth(), PixelDepth::Sixteen);
}

} // namespace
} // namespace strandel::host
