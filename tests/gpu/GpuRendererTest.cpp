// The GPU renderer's host side through the driver runtime and the stand-in driver: batching,
// launches, the round trip of the output through float pixels, and what never reaches the device.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
    const SmallFrame::Drawn cpu = frame.Draw(Renderer::Cpu, &runtime);
    EXPECT_EQ(cpu.device, ProcessingDevice::Cpu);
    EXPECT_EQ(cpu.image.Channels(), frame.Draw(Renderer::Cpu, nullptr).image.Channels());
    for (Renderer renderer : {Renderer::Auto, Renderer::Gpu, Renderer::Cpu}) {
        OwnedImage output = CopyOf(frame.background);
        EXPECT_EQ(DrawFrameTriangles({}, output.View(), true, renderer, {}, &runtime), ProcessingDevice::Cpu);
        EXPECT_EQ(output.Channels(), frame.background.Channels());
    }

    OwnedImage image = Uniform(4, 4, PixelFormat::Argb8, {1, 1, 1, 1});
    const SourceQuad quad{image.View(), {}, 0, 0, 3, 3};
    const TriangleList skipped = {Entry(&quad, {1, 1, 1, 0, 0}, {9, 2, 1, 1, 0}, {3, 8, 1, 1, 1}, 0),
                                  Entry(nullptr, {1, 1, 1, 0, 0}, {9, 2, 1, 1, 0}, {3, 8, 1, 1, 1})};
    OwnedImage output(12, 10, PixelFormat::Argb8);
    EXPECT_TRUE(RenderTrianglesGpu(runtime, skipped, output.View(), true));
    ImageView noData = output.View();
    noData.data = nullptr;
    EXPECT_TRUE(RenderTrianglesGpu(runtime, {skipped[0]}, noData, true));

    // Malformed input to the pass itself is refused before any driver call.
    const GpuTexture texture{image.View().data, 4, 4, static_cast<int32_t>(image.View().rowBytes), FormatCode::Argb8};
    const GpuTriangle triangle{};
    const GpuImage target{output.View().data, 12, 10, static_cast<int32_t>(output.View().rowBytes), FormatCode::Argb8};
    GpuImage flat = target;
    flat.height = 0;
    EXPECT_EQ(RunGpuPass(runtime, nullptr, 1, &triangle, 1, target, false), kGpuInvalidValue);
    EXPECT_EQ(RunGpuPass(runtime, &texture, 1, &triangle, 0, target, false), kGpuInvalidValue);
    EXPECT_EQ(RunGpuPass(runtime, &texture, 1, &triangle, 1, flat, false), kGpuInvalidValue);
    EXPECT_TRUE(standIn.Calls().empty());
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
        const auto texture = [&](int i) { return launches[i].args.texture; };
        EXPECT_EQ(texture(0), texture(2));
        EXPECT_EQ(texture(0), texture(5));
        EXPECT_EQ(texture(1), texture(4));
        EXPECT_NE(texture(0), texture(1));
        EXPECT_NE(texture(0), texture(3));
        EXPECT_NE(texture(1), texture(3));
        EXPECT_EQ(launches[1].args.textureWidth, 3);
        EXPECT_EQ(launches[1].args.textureHeight, 7);
        EXPECT_EQ(launches[0].args.depth != nullptr, depthOn);
    }
}

TEST_F(GpuRendererTest, LaunchesCoverOnlyTheClippedBoxOfDrawableTriangles)
{
    OwnedImage image = Uniform(4, 4, PixelFormat::Argb8, {1, 1, 1, 1});
    const SourceQuad quad{image.View(), {}, 0, 0, 3, 3};
    OwnedImage empty(0, 0, PixelFormat::Argb8);
    const SourceQuad noPixels{empty.View(), {}, 0, 0, 3, 3};
    const SourceQuad noImage{ImageView{}, {}, 0, 0, 3, 3};
    const ScreenVertex b{30, 9, 1, 3, 0}, c{12, 30, 1, 3, 3};

    TriangleList list;
    list.push_back(Entry(&quad, {10.2, 5.7, 1, 0, 0}, {40.9, 6.1, 2, 3, 0}, {20, 37.5, 1, 3, 3}));
    list.push_back(Entry(&quad, {-30.5, -10, 1, 0, 0}, {20.2, 15.5, 1, 3, 0}, {5, 60, 1, 3, 3}));
    ScreenTriangle both = Entry(&quad, {50, 40, 1, 0, 0}, {70, 44, 1, 3, 0}, {62, 47.5, 1, 3, 3});
    both.D = {51, 47, 1, 0, 3};
    list.push_back(both);
    // Nothing of these may launch.
    list.push_back(Entry(&quad, {70, 5, 1, 0, 0}, {90, 10, 1, 3, 0}, {80, 30, 1, 3, 3})); // right of the output
    list.push_back(Entry(&quad, {5, -40, 1, 0, 0}, {30, -1, 1, 3, 0}, {12, -9, 1, 3, 3})); // above it
    list.push_back(Entry(&quad, {5, 5, 1, 0, 0}, {10, 10, 1, 3, 0}, {20, 20, 1, 3, 3})); // no area
    list.push_back(Entry(&quad, {kNaN, 5, 1, 0, 0}, b, c)); // not finite
    list.push_back(Entry(&quad, {5, 5, 1, 0, INFINITY}, b, c));
    list.push_back(Entry(&quad, {5, 5, 0, 0, 0}, b, c)); // at the camera
    list.push_back(Entry(&quad, {5, 5, 1, 0, 0}, b, c, 0)); // no opacity
    list.push_back(Entry(&noPixels, {5, 5, 1, 0, 0}, b, c));
    list.push_back(Entry(&noImage, {5, 5, 1, 0, 0}, b, c));
    list.push_back(Entry(nullptr, {5, 5, 1, 0, 0}, b, c));

    OwnedImage output(64, 48, PixelFormat::Argb8);
    ASSERT_TRUE(RenderTrianglesGpu(runtime, list, output.View(), false));
    const std::vector<StandInLaunch> launches = standIn.Launches();
    struct Expected {
        int xMin, yMin, xMax, yMax;
        uint32_t gridX, gridY;
    };
    // floor of the smallest, ceil of the largest coordinate, clamped to 0 .. 63 and 0 .. 47;
    // blocks of 16 x 16 just covering the box.
    const Expected expected[] = {
        {10, 5, 41, 38, 2, 3}, {0, 0, 21, 47, 2, 3}, {50, 40, 63, 47, 1, 1}, {50, 40, 62, 47, 1, 1}};
    ASSERT_EQ(launches.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& [gridX, gridY, args] = launches[i];
        const Expected& e = expected[i];
        EXPECT_EQ((std::array{args.xMin, args.yMin, args.xMax, args.yMax}),
                  (std::array{e.xMin, e.yMin, e.xMax, e.yMax}))
            << "launch " << i;
        EXPECT_EQ(gridX, e.gridX) << "launch " << i;
        EXPECT_EQ(gridY, e.gridY) << "launch " << i;
    }
    // The second half of the quad entry is (A, C, D).
    EXPECT_EQ(launches[3].args.v2.x, 51.0f);
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

TEST_F(GpuRendererTest, ColoursClampAtEveryBlendUnlessTheOutputIsFloat)
{
    // Over opaque black: a float source with red 3 at opacity 0.5 gives red 1.5, stored as 1 at 8
    // and 16 bits; opaque black at opacity 0.5 over that halves it. Green 0.5 goes 0.25, 0.125.
    OwnedImage bright = Uniform(2, 2, PixelFormat::ArgbFloat, {1, 3, 0.5, 0});
    OwnedImage black = Uniform(2, 2, PixelFormat::ArgbFloat, {1, 0, 0, 0});
    const SourceQuad brightQuad{bright.View(), {}, 0, 0, 1, 1};
    const SourceQuad blackQuad{black.View(), {}, 0, 0, 1, 1};
    const ScreenVertex a{-1, -1, 1, 0, 0}, b{20, -1, 1, 1, 0}, c{-1, 20, 1, 0, 1};
    const TriangleList list = {Entry(&brightQuad, a, b, c, 0.5), Entry(&blackQuad, a, b, c, 0.5)};
    struct Case {
        PixelFormat format;
        std::array<double, 4> expected; // stored units
    };
    const Case cases[] = {{PixelFormat::Argb8, {255, 128, 32, 0}},
                          {PixelFormat::Argb16, {32768, 16384, 4096, 0}},
                          {PixelFormat::ArgbFloat, {1, 0.75, 0.125, 0}}};
    for (const Case& k : cases) {
        OwnedImage output = Uniform(3, 3, k.format, {1, 0, 0, 0});
        ASSERT_TRUE(RenderTrianglesGpu(runtime, list, output.View(), false));
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(output.Get(1, 1)[i], k.expected[i], 1e-6) << k.format << " channel " << i;
    }
}

} // namespace
} // namespace strandel::test
