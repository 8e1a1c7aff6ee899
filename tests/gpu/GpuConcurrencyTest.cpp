// One runtime shared by frames rendered at once on several threads, as the host's render threads
// share the plug-in's.
#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "render/StxRendererCUDA.h"
#include "support/GpuFrames.h"
#include "support/StandIn.h"

namespace strandel::test {
namespace {

TEST(GpuConcurrencyTest, FramesOnTwoThreadsDrawWhatTheyDrawOneAfterTheOther)
{
    StandIn standIn;
    DriverRuntime runtime(kCudaDriverLibrary, kGpuKernelImage);
    const SmallFrame frames[] = {SmallFrame(PixelFormat::Argb8, 1), SmallFrame(PixelFormat::ArgbFloat, 2)};
    std::vector<double> serial[2];
    for (int i = 0; i < 2; ++i) {
        const SmallFrame::Drawn drawn = frames[i].Draw(Renderer::Gpu, &runtime);
        ASSERT_EQ(drawn.device, ProcessingDevice::Gpu);
        serial[i] = drawn.image.Channels();
    }
    for (int round = 0; round < 50; ++round) {
        ProcessingDevice devices[2];
        std::vector<double> images[2];
        std::latch start(2);
        const auto draw = [&](int i) {
            start.arrive_and_wait();
            const SmallFrame::Drawn drawn = frames[i].Draw(Renderer::Gpu, &runtime);
            devices[i] = drawn.device;
            images[i] = drawn.image.Channels();
        };
        std::thread first(draw, 0), second(draw, 1);
        first.join();
        second.join();
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(devices[i], ProcessingDevice::Gpu) << "round " << round << ", frame " << i;
            EXPECT_EQ(images[i], serial[i]) << "round " << round << ", frame " << i;
        }
    }
    EXPECT_EQ(standIn.LiveBuffers(), 0);
    EXPECT_EQ(standIn.Misuse(), 0);
}

// The last error belongs to the thread whose call failed: another thread's frame neither sees it
// nor clears it.
TEST(GpuConcurrencyTest, ALaunchErrorStaysOnItsThread)
{
    constexpr GpuStatus kLaunchFailed = 719;
    StandIn standIn;
    DriverRuntime runtime(kCudaDriverLibrary, kGpuKernelImage);
    const SmallFrame frame(PixelFormat::Argb8);
    const std::vector<double> gpu = frame.Draw(Renderer::Gpu, &runtime).image.Channels();

    // The launch itself comes after making the context current.
    standIn.FailCall(standIn.Calls().size() + 1, kLaunchFailed);
    runtime.LaunchRasterizeTriangle({1, 1}, {});
    ASSERT_EQ(standIn.Calls().at(standIn.Calls().size() - 2), "cuLaunchKernel");
    ASSERT_EQ(runtime.PeekAtLastError(), kLaunchFailed);

    std::thread other([&] {
        EXPECT_EQ(runtime.PeekAtLastError(), kGpuSuccess);
        const SmallFrame::Drawn drawn = frame.Draw(Renderer::Gpu, &runtime);
        EXPECT_EQ(drawn.device, ProcessingDevice::Gpu);
        EXPECT_EQ(drawn.image.Channels(), gpu);
    });
    other.join();
    EXPECT_EQ(runtime.PeekAtLastError(), kLaunchFailed);
    const SmallFrame::Drawn next = frame.Draw(Renderer::Gpu, &runtime);
    EXPECT_EQ(next.device, ProcessingDevice::Gpu);
    EXPECT_EQ(next.image.Channels(), gpu);
}

} // namespace
} // namespace strandel::test
