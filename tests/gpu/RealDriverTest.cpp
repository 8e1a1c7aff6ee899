// The plug-in's own runtime with whatever driver the library search finds, against the stand-in,
// which runs the kernel body on the CPU. Meaningful where a real driver comes first on the search
// path (make gpu-check runs it so on a GPU machine): without a device it must refuse and leave the
// CPU to draw; with one, the GPU must draw exactly what the stand-in draws, since neither fuses
// multiply-adds.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "render/DriverRuntime.h"
#include "render/GpuRenderer.h"
#include "render/StxRendererCUDA.h"
#include "support/GpuFrames.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

TEST(RealDriverTest, DrawsExactlyWhatTheStandInDrawsOrRefusesCleanly)
{
    void* found = dlopen(kCudaDriverLibrary, RTLD_NOW);
    void* standInLibrary = dlopen(Beside(STRANDEL_STANDIN_PATH).c_str(), RTLD_NOW);
    const bool onlyTheStandIn = found == standInLibrary;
    if (found) dlclose(found);
    dlclose(standInLibrary);
    if (onlyTheStandIn) GTEST_SKIP() << "the library search finds the stand-in: run without LD_LIBRARY_PATH";

    GpuRuntime* runtime = PluginGpuRuntime();
    ASSERT_NE(runtime, nullptr);
    const bool available = IsGpuAvailable(*runtime);
    DriverRuntime standIn(Beside(STRANDEL_STANDIN_PATH).string(), kGpuKernelImage);
    for (PixelFormat format : kFormats) {
        SCOPED_TRACE(testing::Message() << "format " << format);
        const SmallFrame frame(format);
        const SmallFrame::Drawn drawn = frame.Draw(Renderer::Gpu, runtime);
        if (!available) {
            EXPECT_EQ(drawn.device, ProcessingDevice::CpuFallback);
            EXPECT_EQ(drawn.image.Channels(), frame.Draw(Renderer::Cpu, nullptr).image.Channels());
            continue;
        }
        EXPECT_EQ(drawn.device, ProcessingDevice::Gpu);
        const SmallFrame::Drawn expected = frame.Draw(Renderer::Gpu, &standIn);
        ASSERT_EQ(expected.device, ProcessingDevice::Gpu);
        EXPECT_EQ(drawn.image.Channels(), expected.image.Channels());
    }
}

} // namespace
} // namespace strandel::test
