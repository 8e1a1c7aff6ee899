// Settings and paths that leave nothing sensible to draw still give a finished frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"

namespace strandel::test {
namespace {

using nlohmann::json;

// A path that runs straight through the camera, from far in front to far behind it.
const char* kScene = R"({"comps": [{"name": "Main", "width": 160, "height": 90, "frameRate": 30, "duration": 1,
  "layers": [
    {"name": "Camera", "type": "camera", "zoom": 200, "transform": {"position": [80, 45, -200],
     "pointOfInterest": [80, 45, 0]}},
    {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {
       "Path Layer": "Path", "Source Layer 1": "Dot", "Count": 40}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
       {"time": 0, "value": [80, 45, 800]}, {"time": 1, "value": [80, 45, -900]}]}}},
    {"name": "Dot", "type": "solid", "width": 16, "height": 16, "color": [1, 1, 1, 1]}]}]})";

class DegenerateFramesTest : public HostTest {};

double MaxAlpha(const host::Image& image)
{
    double alpha = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) alpha = std::max(alpha, image.Get(x, y).a);
    return alpha;
}

// Settings accumulate; opacity 0 comes first so every later frame must stay fully transparent.
TEST_F(DegenerateFramesTest, FinishWithoutErrorWhateverTheSettings)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    H().OpenProject(host::ParseScene(kScene, "through_camera.json").project);
    host::EffectInstance& fx = *H().instances().front();
    auto render = [&](bool legacy) {
        H().render().cache.Clear();
        host::FrameResult r = host::RenderEffectFrame(fx, {15, host::PixelDepth::Eight, 1, legacy});
        EXPECT_EQ(r.err, PF_Err_NONE);
        EXPECT_TRUE(r.leaks.empty());
        return r;
    };
    ASSERT_GT(MaxAlpha(render(false).image), 0.5) << "the scene draws nothing before the settings";
    const std::vector<std::pair<const char*, json>> settings = {
        {"Render/Opacity", 0},
        {"Orientation Mode", "Face Camera"},
        {"Orientation Mode", "Follow Path"},
        {"Placement Mode", "Path Ribbon"},
        {"Object Transform/Scale", 0},
        {"Array Transform/Scale", 0},
        {"Count", 1},
        {"Random/Scale", 10000},
        {"Time Random", 3600},
        {"Debug Path", "Path Only"},
    };
    for (const auto& [name, value] : settings) {
        SCOPED_TRACE(std::string(name) + " = " + value.dump());
        Set(name, value);
        for (bool legacy : {false, true}) EXPECT_EQ(MaxAlpha(render(legacy).image), 0.0);
    }
}

} // namespace
} // namespace strandel::test
