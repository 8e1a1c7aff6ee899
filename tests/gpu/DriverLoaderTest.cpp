// The driver as the plug-in loads it, by name through the library search: a missing library, a
// missing entry point, a machine without a device and a failure at any driver call all leave the
// frame to the CPU, with nothing left allocated or held. Where a real driver comes first on the
// search path (make gpu-check), the GPU must draw exactly what the stand-in draws, since neither
// fuses multiply-adds.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "render/DriverRuntime.h"
#include "render/GpuRenderer.h"
#include "render/StxRendererCUDA.h"
#include "support/GpuFrames.h"
#include "support/StandIn.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

TEST(DriverLoaderTest, WithoutAUsableDriverTheCpuDrawsAndReportsTheFallback)
{
    const SmallFrame frame(PixelFormat::Argb16);
    const std::vector<double> cpu = frame.Draw(Renderer::Cpu, nullptr).image.Channels();
    StandIn standIn;
    struct Case {
        const char* what;
        const char* library;
        int devices;
    };
    const Case cases[] = {{"no driver library", "libcuda-absent.so.1", 1},
                          {"a driver without cuCtxSynchronize", "libcuda-partial.so.1", 1},
                          {"no device", kCudaDriverLibrary, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        standIn.Reset(c.devices);
        {
            DriverRuntime runtime(c.library, kGpuKernelImage);
            for (Renderer renderer : {Renderer::Auto, Renderer::Gpu}) {
                const SmallFrame::Drawn drawn = frame.Draw(renderer, &runtime);
                EXPECT_EQ(drawn.device, ProcessingDevice::CpuFallback);
                EXPECT_EQ(drawn.image.Channels(), cpu);
            }
        }
        EXPECT_EQ(standIn.HeldByRuntimes(), 0);
        EXPECT_EQ(standIn.Misuse(), 0);
    }
    // A build without a kernel image has no runtime at all.
    EXPECT_EQ(frame.Draw(Renderer::Gpu, nullptr).device, ProcessingDevice::CpuFallback);
}

// Each driver call of a runtime's life (its start, two frames and its end) is made to fail in
// turn. The frame that meets the failure is the CPU's image; a failed start leaves the GPU out for
// good, any later failure only its own frame, so no error lingers into the next one. Nothing is
// left allocated, loaded or retained, and no call is one a real driver would refuse.
TEST(DriverLoaderTest, AFailureAtAnyDriverCallGivesTheCpuImageAndLeavesNothingHeld)
{
    constexpr int kOutOfMemory = 2;
    StandIn standIn;
    for (PixelFormat format : kFormats) {
        SCOPED_TRACE(testing::Message() << "format " << format);
        const SmallFrame frame(format);
        const std::vector<double> cpu = frame.Draw(Renderer::Cpu, nullptr).image.Channels();

        std::vector<double> gpu;
        std::size_t afterFirst = 0, afterSecond = 0;
        standIn.Reset(1);
        {
            DriverRuntime runtime(kCudaDriverLibrary, kGpuKernelImage);
            const SmallFrame::Drawn drawn = frame.Draw(Renderer::Gpu, &runtime);
            ASSERT_EQ(drawn.device, ProcessingDevice::Gpu);
            gpu = drawn.image.Channels();
            ASSERT_NE(gpu, frame.background.Channels()) << "the GPU drew nothing";
            afterFirst = standIn.Calls().size();
            frame.Draw(Renderer::Gpu, &runtime);
            afterSecond = standIn.Calls().size();
        }
        const std::vector<std::string> calls = standIn.Calls();
        const std::size_t started = std::find(calls.begin(), calls.end(), "cuDeviceGetCount") - calls.begin();
        ASSERT_LT(started, afterFirst);

        for (std::size_t failing = 0; failing < calls.size(); ++failing) {
            SCOPED_TRACE(testing::Message() << "failing call " << failing << ", " << calls[failing]);
            standIn.Reset(1);
            standIn.FailCall(failing, kOutOfMemory);
            const bool failedFirst = failing < afterFirst;
            const bool failedSecond = failing < started || (failing >= afterFirst && failing < afterSecond);
            {
                DriverRuntime runtime(kCudaDriverLibrary, kGpuKernelImage);
                for (bool failed : {failedFirst, failedSecond}) {
                    const SmallFrame::Drawn drawn = frame.Draw(Renderer::Auto, &runtime);
                    EXPECT_EQ(drawn.device, failed ? ProcessingDevice::CpuFallback : ProcessingDevice::Gpu);
                    EXPECT_EQ(drawn.image.Channels(), failed ? cpu : gpu);
                    EXPECT_TRUE(drawn.image.PaddingBytes() == frame.background.PaddingBytes());
                    EXPECT_EQ(standIn.LiveBuffers(), 0);
                }
            }
            EXPECT_EQ(standIn.HeldByRuntimes(), 0);
            EXPECT_EQ(standIn.Misuse(), 0);
        }
    }
}

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
