// Moving a Path Layer key is no change to the effect's parameters, so the host's cache would
// keep the old frame; the idle watcher's request makes the next render draw the new path.
#include <gtest/gtest.h>

#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"
#include "support/HostTestSupport.h"

namespace strandel::test {
namespace {

const char* kScene = R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 1,
  "layers": [
    {"name": "Fx", "type": "solid", "color": [0, 0, 0, 1], "effects": [{"name": "Strandel", "params": {
       "Path Layer": "Path", "Source Layer 1": "Dot", "Count": 5}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
       {"time": 0, "value": [8, 10, 0]}, {"time": 1, "value": [56, 10, 0]}]}}},
    {"name": "Dot", "type": "solid", "color": [1, 1, 1, 1], "width": 6, "height": 6}]}]})";

class IdleRenderCacheTest : public HostTest {};

TEST_F(IdleRenderCacheTest, AMovedPathKeyRendersAfreshAfterTheIdleScan)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    H().OpenProject(host::ParseScene(kScene, "idle.json").project);
    host::EffectInstance& fx = *H().instances().front();
    H().RunIdleHooks(); // the first scan takes note of the path
    const host::FrameResult before = host::RenderEffectFrame(fx, {0});
    ASSERT_EQ(before.err, PF_Err_NONE);

    for (auto& key : H().project().comps[0].layers[1].transform.position.keys) key.value.y = 22;
    ++H().render().projectRevision;
    EXPECT_TRUE(host::RenderEffectFrame(fx, {0}).fromCache) << "the host alone cannot see the path move";

    EXPECT_EQ(H().RunIdleHooks(), 0);
    const host::FrameResult after = host::RenderEffectFrame(fx, {0});
    EXPECT_FALSE(after.fromCache);
    EXPECT_FALSE(host::test::SamePixels(after.image, before.image));
    H().render().cache.Clear();
    EXPECT_TRUE(host::test::SamePixels(host::RenderEffectFrame(fx, {0}).image, after.image));
}

} // namespace
} // namespace strandel::test
