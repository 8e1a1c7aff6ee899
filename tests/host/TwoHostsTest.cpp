// Hosts are values: two at once in one process each serve their own project, handles and log.
#include <gtest/gtest.h>

#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"
#include "support/HostTestSupport.h"

namespace strandel::test {
namespace {

std::unique_ptr<host::Host> HostWith(const std::string& scene)
{
    auto h = std::make_unique<host::Host>(PluginUnderTest());
    EXPECT_EQ(h->GlobalSetup(), PF_Err_NONE);
    h->OpenProject(host::LoadScene(DataFile("examples/" + scene + ".json")).project);
    return h;
}

host::Image Frame(host::Host& h)
{
    host::FrameResult r = host::RenderEffectFrame(*h.instances().front(), {12, host::PixelDepth::Eight, 4, false});
    EXPECT_EQ(r.err, PF_Err_NONE);
    EXPECT_TRUE(r.leaks.empty());
    return std::move(r.image);
}

TEST(TwoHosts, RenderTheirOwnScenesInterleavedAsEachDoesAlone)
{
    const host::Image helixAlone = Frame(*HostWith("helix")), waveAlone = Frame(*HostWith("wave"));
    ASSERT_FALSE(host::test::SamePixels(helixAlone, waveAlone)); // else the hosts could not be told apart
    auto helix = HostWith("helix"), wave = HostWith("wave");
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(host::test::SamePixels(Frame(*wave), waveAlone));
        EXPECT_TRUE(host::test::SamePixels(Frame(*helix), helixAlone));
    }
    ExpectCleanShutdown(*helix);
    ExpectCleanShutdown(*wave);
}

} // namespace
} // namespace strandel::test
