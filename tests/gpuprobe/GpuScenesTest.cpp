// Every example scene through the emulated host and the loaded probe copy of the plug-in, with
// "Renderer" set to "GPU" and to "CPU": the shipped loading code finds the stand-in driver on the
// library path, draws with it, and lets go of everything when the host unloads the plug-in.
#include <gtest/gtest.h>

#include "bench/GpuSceneCheck.h"
#include "support/StandIn.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

// A few frames of each scene, at half resolution.
constexpr gpucheck::Sampling kSampling{10, 2};

class GpuScenesTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GpuScenesTest, DrawOnTheGpuAsOnTheCpu)
{
    StandIn standIn;
    for (const gpucheck::Comparison& c : gpucheck::CheckScene(DataFile("examples/" + GetParam() + ".json"),
                                                              Beside(STRANDEL_PROBE_PATH).string(), kSampling)) {
        SCOPED_TRACE(c.depth->name);
        EXPECT_TRUE(c.Passed()) << c.error << " weighted difference " << c.difference.weighted;
        EXPECT_TRUE(c.gpuStates.count(2)) << "no frame drew on the GPU";
    }
    EXPECT_EQ(standIn.LiveBuffers(), 0);
    EXPECT_EQ(standIn.HeldByRuntimes(), 0) << "the unloaded plug-in still holds its module or context";
    EXPECT_EQ(standIn.Misuse(), 0);
}

INSTANTIATE_TEST_SUITE_P(Examples, GpuScenesTest, ::testing::ValuesIn(ExampleScenes()),
                         [](const auto& param) { return param.param; });

} // namespace
} // namespace strandel::test
