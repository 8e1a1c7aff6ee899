// The GPU renderer's host side through the driver runtime and the stand-in driver: batching,
// launches, the round trip of the output through float pixels, and what never reaches the device.
#include <gtest/gtest.h>

#include <cmath>
#include <latch>
#include <limits>
#include <set>
#include <thread>

#include "render/GpuPass.h"
#include "render/GpuRenderer.h"
#include "render/StxRendererCUDA.h"
#include "support/GpuFrames.h"
#include "support/StandIn.h"

namespace strandel::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A fresh runtime over the stand-in, whose log starts empty.
class GpuRendererTest : public ::testing::Test {
protected:
    StandIn standIn;
    DriverRuntime runtime{kCudaDriverLibrary, kGpuKernelImage};
};

TEST_F(GpuRendererTest, NothingToDrawNeverReachesTheDevice)
{
    const SmallFrame frame(PixelFormat::Argb8);
    EXPECT_EQ(frame.Draw(Renderer::Cpu, &runtime).device, ProcessingDevice::Cpu);
    for (Renderer renderer : {Renderer::Auto, Renderer::Gpu, Renderer::Cpu}) {
        OwnedImage output = CopyOf(frame.background);
        EXPECT_EQ(DrawFrameTriangles({}, output.View(), true, renderer, {}, &runtime), ProcessingDevice::Cpu);
        EXPECT_EQ(output.Channels(), frame.background.Channels());
    }

    OwnedImage image = Uniform(4, 4, PixelFormat::Argb8, {1, 1, 1, 1}), empty(0, 0, PixelFormat::Argb8);
    const SourceQuad quad{image.View(), {}, 0, 0, 3, 3}, noPixels{empty.View(), {}, 0, 0, 3, 3},
        noImage{ImageView{}, {}, 0, 0, 3, 3};
    const ScreenVertex a{5, 5, 1, 0, 0}, b{9, 2, 1, 3, 0}, c{3, 8, 1, 3, 3};
    const TriangleList skipped = {Entry(&quad, a, b, c, 0), Entry(nullptr, a, b, c)};
    OwnedImage output(12, 10, PixelFormat::Argb8);
    EXPECT_TRUE(RenderTrianglesGpu(runtime, skipped, output.View(), true));
    ImageView noData = output.View();
    noData.data = nullptr;
    EXPECT_TRUE(RenderTrianglesGpu(runtime, {skipped[0]}, noData, true));

    // Malformed input to the pass itself is refused before any driver call.
    const GpuTexture texture{image.View().data, 4, 4, 16};
    const GpuTriangle triangle{};
    const GpuImage target{output.View().data, 12, 10, 48}, flat{output.View().data, 12, 0, 48};
    EXPECT_EQ(RunGpuPass(runtime, nullptr, 1, &triangle, 1, target, false), kGpuInvalidValue);
    EXPECT_EQ(RunGpuPass(runtime, &texture, 1, &triangle, 0, target, false), kGpuInvalidValue);
    EXPECT_EQ(RunGpuPass(runtime, &texture, 1, &triangle, 1, flat, false), kGpuInvalidValue);
    EXPECT_TRUE(standIn.Calls().empty());

    // Nor is anything launched for entries off the output, without area, not finite, at the camera
    // or without pixels.
    // clang-format off
    const TriangleList undrawable = {
        Entry(&quad, {70, 5, 1, 0, 0}, {90, 10, 1, 3, 0}, {80, 30, 1, 3, 3}),
        Entry(&quad, {5, -40, 1, 0, 0}, {30, -1, 1, 3, 0}, {12, -9, 1, 3, 3}),
        Entry(&quad, a, {10, 10, 1, 3, 0}, {20, 20, 1, 3, 3}),
        Entry(&quad, {kNaN, 5, 1, 0, 0}, b, c), Entry(&quad, {5, 5, 1, 0, INFINITY}, b, c),
        Entry(&quad, {5, 5, 0, 0, 0}, b, c), Entry(&noPixels, a, b, c), Entry(&noImage, a, b, c)};
    // clang-format on
    EXPECT_TRUE(RenderTrianglesGpu(runtime, undrawable, output.View(), true));
    EXPECT_TRUE(standIn.Launches().empty());
}

TEST_F(GpuRendererTest, EachDistinctImageAndFormatIsUploadedOnce)
{
    OwnedImage p = Uniform(5, 5, PixelFormat::Argb8, {1, 1, 0, 0});
    OwnedImage q = Uniform(3, 7, PixelFormat::Argb8, {1, 0, 1, 0});
    const SourceQuad pQuad{p.View(), {}, 0, 0, 4, 4};
    const SourceQuad pAgain{p.View(), {}, 1, 1, 3, 3}; // another quad, same image
    ImageView as16 = p.View(); // as many 16-bit pixels as the 8-bit rows hold
    as16.format = PixelFormat::Argb16;
    as16.width = 2;
    const SourceQuad pAs16{as16, {}, 0, 0, 1, 4}; // same bytes, other format
    const SourceQuad qQuad{q.View(), {}, 0, 0, 2, 6};
    const SourceQuad* uses[] = {&pQuad, &qQuad, &pAgain, &pAs16, &qQuad, &pQuad};
    TriangleList list;
    for (const SourceQuad* quad : uses) list.push_back(Entry(quad, {1, 1, 1, 0, 0}, {9, 2, 1, 1, 0}, {3, 8, 1, 1, 1}));

    for (bool depthOn : {false, true}) {
        standIn.Reset(1);
        OwnedImage output(12, 10, PixelFormat::Argb8);
        ASSERT_TRUE(RenderTrianglesGpu(runtime, list, output.View(), depthOn));
        // Three textures, the output, and the depth buffer when depth testing is on.
        EXPECT_EQ(standIn.CallsTo("cuMemcpyHtoD_v2"), 4 + depthOn);
        const std::vector<StandInLaunch> launches = standIn.Launches();
        ASSERT_EQ(launches.size(), 6u);
        std::vector<const void*> textures;
        for (const StandInLaunch& launch : launches) textures.push_back(launch.args.texture);
        const std::vector<const void*> shared = {textures[0], textures[1], textures[0],
                                                 textures[3], textures[1], textures[0]};
        EXPECT_EQ(textures, shared);
        EXPECT_EQ(std::set<const void*>(textures.begin(), textures.end()).size(), 3u);
        EXPECT_EQ(launches[1].args.textureWidth, 3);
        EXPECT_EQ(launches[1].args.textureHeight, 7);
        EXPECT_EQ(launches[0].args.depth != nullptr, depthOn);
    }
}

TEST_F(GpuRendererTest, OutputSurvivesTheRoundTripThroughFloatPixels)
{
    // A pass that draws nothing still uploads the output and writes the download back.
    OwnedImage image = Uniform(2, 2, PixelFormat::Argb8, {1, 1, 1, 1});
    const SourceQuad quad{image.View(), {}, 0, 0, 1, 1};
    const TriangleList sliver = {Entry(&quad, {1, 1, 1, 0, 0}, {5, 5, 1, 1, 0}, {9, 9, 1, 1, 1})};
    for (PixelFormat format : kFormats) {
        std::mt19937_64 random(static_cast<uint64_t>(format));
        OwnedImage output(7, 5, format, 12);
        FillRandom(output, random);
        MarkPadding(output);
        const std::vector<std::byte> padding = output.PaddingBytes();
        OwnedImage expected = CopyOf(output);
        if (format == PixelFormat::ArgbFloat) {
            // Alpha is clamped to [0, 1] on the way back; colours are kept, even outside it.
            const std::array<double, 4> stored[] = {{1.5, 2.5, -0.5, 0.25}, {-0.25, 0.5, 3, -1}, {kNaN, 0.5, 0.5, 0.5}};
            const std::array<double, 4> back[] = {{1, 2.5, -0.5, 0.25}, {0, 0.5, 3, -1}, {0, 0.5, 0.5, 0.5}};
            for (int i = 0; i < 3; ++i) {
                output.Set(i, 1, stored[i]);
                expected.Set(i, 1, back[i]);
            }
        }
        standIn.Reset(1);
        ASSERT_TRUE(RenderTrianglesGpu(runtime, sliver, output.View(), false));
        EXPECT_TRUE(standIn.Launches().empty());
        EXPECT_EQ(standIn.CallsTo("cuMemcpyHtoD_v2"), 2);
        EXPECT_EQ(output.Channels(), expected.Channels()) << "format " << format;
        EXPECT_TRUE(output.PaddingBytes() == padding);
    }
}

// One runtime shared by frames rendered at once on several threads, as the host's render threads
// share the plug-in's.
using GpuConcurrencyTest = GpuRendererTest;

TEST_F(GpuConcurrencyTest, FramesOnTwoThreadsDrawWhatTheyDrawOneAfterTheOther)
{
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
TEST_F(GpuConcurrencyTest, ALaunchErrorStaysOnItsThread)
{
    constexpr GpuStatus kLaunchFailed = 719;
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
