#include <gtest/gtest.h>

#include <functional>

#include "host/project/LayerSource.h"
#include "host/render/CompRenderer.h"
#include "host/scene/SceneReader.h"

namespace strandel::host {
namespace {

struct Rendered {
    LoadedScene scene;
    ImageFileCache files;
    Image image;

    Rendered(const std::string& json, PixelDepth depth = PixelDepth::Float) : scene(ParseScene(json, "comp.json"))
    {
        const Composition& comp = scene.project.comps.front();
        image = RenderCompFlat(scene.project, comp, 0, depth, [this](const Layer& layer, double t, PixelDepth d) {
            return LayerSourcePixels(scene.project, layer, t, d, files, nullptr);
        });
    }
};

std::string Comp(int width, int height, const std::string& layers)
{
    return R"({"comps": [{"name": "Main", "width": )" + std::to_string(width) + R"(, "height": )" +
           std::to_string(height) + R"(, "frameRate": 30, "duration": 1, "layers": [)" + layers + "]}]}";
}

// Every pixel's alpha against `expected(x, y)`.
void ExpectAlpha(const Image& image, const std::function<double(int, int)>& expected)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            ASSERT_NEAR(image.Get(x, y).a, expected(x, y), 1e-9) << "at (" << x << ", " << y << ")";
}

TEST(CompRenderer, TwoDLayersArePlacedByTheirTransforms)
{
    // A 4 x 2 solid anchored at its centre, at (6, 3): exactly the pixels x 4..7, y 2..3.
    const Rendered aligned(Comp(16, 8, R"({"name": "Red", "type": "solid", "color": [1, 0, 0, 1],
        "width": 4, "height": 2, "transform": {"position": [6, 3]}})"));
    ExpectAlpha(aligned.image, [](int x, int y) { return x >= 4 && x < 8 && y >= 2 && y < 4 ? 1.0 : 0.0; });
    EXPECT_EQ(aligned.image.Get(5, 2), (PixelValue{1, 1, 0, 0}));

    // Half a pixel to the right: x 11.5..13.5, so the two edge columns are half covered.
    const Rendered offset(Comp(16, 8, R"({"name": "Blue", "type": "solid", "color": [0, 0, 1, 1],
        "width": 2, "height": 2, "transform": {"position": [12.5, 5]}})"));
    ExpectAlpha(offset.image, [](int x, int y) {
        if (y < 4 || y > 5) return 0.0;
        return x == 12 ? 1.0 : x == 11 || x == 13 ? 0.5 : 0.0;
    });
    EXPECT_NEAR(offset.image.Get(11, 4).b, 1.0, 1e-12); // transparent neighbours lend no colour

    // Turned 90 degrees clockwise about its anchor: layer (u, v) lands on (7 - v, 1 + u).
    const Rendered turned(Comp(16, 8, R"({"name": "Red", "type": "solid", "color": [1, 0, 0, 1],
        "width": 4, "height": 2, "transform": {"position": [6, 3], "rotation": 90}})"));
    ExpectAlpha(turned.image, [](int x, int y) { return (x == 5 || x == 6) && y >= 1 && y < 5 ? 1.0 : 0.0; });
}

TEST(CompRenderer, LayersStackFromTheBottomWithStraightAlphaOver)
{
    // Top first: a disabled white solid, a half green over a half red; the camera and null draw nothing.
    const Rendered r(Comp(4, 2, R"(
        {"name": "Hidden", "type": "solid", "color": [1, 1, 1, 1], "enabled": false},
        {"name": "Cam", "type": "camera", "zoom": 50},
        {"name": "Green", "type": "solid", "color": [0, 1, 0, 0.5]},
        {"name": "Null", "type": "null"},
        {"name": "Red", "type": "solid", "color": [1, 0, 0, 0.5]})"));
    // alpha 0.5 + 0.5 x 0.5; red 0.5 x 0.5 / 0.75, green 0.5 / 0.75.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const PixelValue p = r.image.Get(x, y);
            EXPECT_NEAR(p.a, 0.75, 1e-9);
            EXPECT_NEAR(p.r, 1.0 / 3, 1e-6);
            EXPECT_NEAR(p.g, 2.0 / 3, 1e-6);
            EXPECT_NEAR(p.b, 0.0, 1e-12);
        }

    // At 8 bits the solids hold a = 128 / 255; compositing gives a (2 - a) = 0.75196 -> 192,
    // red (1 - a) / (2 - a) = 0.33246 -> 85, green 1 / (2 - a) = 0.66754 -> 170.
    const Rendered eight(Comp(1, 1, R"({"name": "Green", "type": "solid", "color": [0, 1, 0, 0.5]},
                                       {"name": "Red", "type": "solid", "color": [1, 0, 0, 0.5]})"),
                         PixelDepth::Eight);
    const auto* p = eight.image.PixelAt<std::uint8_t>(0, 0);
    EXPECT_EQ(p[0], 192);
    EXPECT_EQ(p[1], 85);
    EXPECT_EQ(p[2], 170);
}

TEST(CompRenderer, ThreeDLayersAreSeenThroughTheCamera)
{
    // Without a camera layer: zoom 72 x 50 / 36 = 100 from (36, 18, -100). A 20 x 20 solid at
    // z = 100 is 200 away, so it shows at half size: pixels 31..40 by 13..22. One behind the
    // camera draws nothing.
    const Rendered defaultCamera(Comp(72, 36, R"(
        {"name": "Behind", "type": "solid", "threeD": true, "color": [1, 1, 1, 1], "width": 20, "height": 20,
         "transform": {"position": [36, 18, -300]}},
        {"name": "Far", "type": "solid", "threeD": true, "color": [1, 0, 0, 1], "width": 20, "height": 20,
         "transform": {"position": [36, 18, 100]}})"));
    ExpectAlpha(defaultCamera.image, [](int x, int y) { return x >= 31 && x < 41 && y >= 13 && y < 23 ? 1.0 : 0.0; });
    EXPECT_NEAR(defaultCamera.image.Get(36, 18).r, 1.0, 1e-9);

    // A camera at (136, 18, 0) looking down -x (right = +z, down = +y) at a layer turned 90
    // degrees about y: layer (u, v) goes to world (36, 8 + v, 10 - u), 100 in front of the
    // camera at zoom 100, so onto screen (46 - u, 8 + v): mirrored. Its green left half
    // (u < 10) shows on the right, pixels 36..45.
    const Rendered sideways(Comp(72, 36, R"(
        {"name": "Cam", "type": "camera", "zoom": 100,
         "transform": {"position": [136, 18, 0], "pointOfInterest": [36, 18, 0]}},
        {"name": "Half", "type": "shape", "threeD": true, "width": 20, "height": 20, "color": [0, 1, 0, 1],
         "shape": {"kind": "rect", "size": [10, 20], "position": [5, 10]},
         "transform": {"position": [36, 18, 0], "yRotation": 90}})"));
    ExpectAlpha(sideways.image, [](int x, int y) { return x >= 36 && x < 46 && y >= 8 && y < 28 ? 1.0 : 0.0; });
    EXPECT_NEAR(sideways.image.Get(40, 10).g, 1.0, 1e-9);
}

} // namespace
} // namespace strandel::host
