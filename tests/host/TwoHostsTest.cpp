// Hosts are values: two at once in one process each serve their own project, handles and log.
#include <gtest/gtest.h>

#include <memory>

#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"
#include "support/HostTestSupport.h"

namespace strandel::test {
namespace {

using host::test::SamePixels;

std::unique_ptr<host::Host> HostWith(const std::string& scene)
{
    auto h = std::make_unique<host::Host>(PluginUnderTest());
    EXPECT_EQ(h->GlobalSetup(), PF_Err_NONE);
    h->OpenProject(host::LoadScene(DataFile("examples/" + scene + ".json")).project);
    return h;
}

host::Image Frame(host::Host& h, std::int64_t frame)
{
    host::FrameResult r = host::RenderEffectFrame(*h.instances().front(), {frame, host::PixelDepth::Eight, 4, false});
    EXPECT_EQ(r.err, PF_Err_NONE);
    EXPECT_TRUE(r.leaks.empty());
    return std::move(r.image);
}

TEST(TwoHosts, RenderTheirOwnScenesInterleavedAsEachDoesAlone)
{
    const host::Image helixAlone = Frame(*HostWith("helix"), 12);
    const host::Image waveAlone = Frame(*HostWith("wave"), 12);
    ASSERT_FALSE(SamePixels(helixAlone, waveAlone)); // else the test could not tell the hosts apart

    auto helix = HostWith("helix");
    auto wave = HostWith("wave");
    EXPECT_TRUE(SamePixels(Frame(*wave, 12), waveAlone));
    EXPECT_TRUE(SamePixels(Frame(*helix, 12), helixAlone));
    EXPECT_TRUE(SamePixels(Frame(*wave, 12), waveAlone));
    ExpectCleanShutdown(*helix);
    ExpectCleanShutdown(*wave);
}

} // namespace
} // namespace strandel::test
