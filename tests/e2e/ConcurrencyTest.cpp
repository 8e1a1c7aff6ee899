// Frames rendered on several threads at once, as the compositor's multi-frame rendering does,
// while its idle loop runs the idle watcher on the UI thread. `make tsan` runs this suite.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/HostTestSupport.h"
#include "host/SceneParams.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

constexpr int kFrames = 12;
constexpr int kRenderThreads = 4;

class RenderConcurrencyTest : public HostTest {};

TEST_F(RenderConcurrencyTest, FramesOnSeveralThreadsBesideTheIdleLoopAreTheFramesDrawnAlone)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    H().OpenProject(host::LoadScene(DataFile("examples/helix.json")).project);
    host::EffectInstance& fx = *H().instances().front();
    const host::Composition& comp = H().project().comps.front();
    H().activeComp = &comp;
    // Shifted copies: every frame checks out source frames of its own besides the current ones.
    std::vector<std::string> warnings;
    host::ApplySceneParam(fx, "Time Random", 0.5, [](const std::string&) { return std::nullopt; }, warnings);

    const host::FrameRequest quarter{0, host::PixelDepth::Sixteen, 4, false};
    std::vector<host::Image> alone;
    for (int f = 0; f < kFrames; ++f) {
        host::FrameRequest r = quarter;
        r.frame = f;
        host::FrameResult result = host::RenderEffectFrame(fx, r);
        ASSERT_EQ(result.err, PF_Err_NONE);
        alone.push_back(std::move(result.image));
    }
    H().render().cache.Clear();

    std::vector<host::FrameResult> together(kFrames);
    std::atomic<int> next{0};
    std::atomic<int> rendering{kRenderThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kRenderThreads; ++t)
        threads.emplace_back([&] {
            for (int f; (f = next++) < kFrames;) {
                host::FrameRequest r = quarter;
                r.frame = f;
                together[f] = host::RenderEffectFrame(fx, r);
            }
            --rendering;
        });
    int scans = 0;
    while (rendering > 0) {
        H().RunIdleHooks();
        ++scans;
    }
    for (std::thread& t : threads) t.join();

    EXPECT_GT(scans, 0);
    for (int f = 0; f < kFrames; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(together[f].err, PF_Err_NONE);
        EXPECT_FALSE(together[f].fromCache);
        EXPECT_TRUE(together[f].leaks.empty());
        EXPECT_TRUE(host::test::SamePixels(together[f].image, alone[f]));
    }
    EXPECT_EQ(H().render().worlds.LiveCount(), 0u);
    EXPECT_EQ(H().render().receipts.LiveCount(), 0u);
    EXPECT_EQ(fx.OutstandingCheckouts(), 0);
    EXPECT_EQ(H().log().forcedRerenders, 0) << "the path did not change, so no instance is sent to rerender";
}

} // namespace
} // namespace strandel::test
