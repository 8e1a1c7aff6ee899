// The GPU renderer's host side through the emulated CUDA runtime: batching, launches, the pass's
// buffers and failures, pixel conversion, and the frame's choice of processor.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

#include "render/FrameDrawing.h"
#include "render/GpuPass.h"
#include "render/GpuRenderer.h"
#include "support/EmulatedGpuRuntime.h"
#include "support/RandomScene.h"

namespace strandel {
namespace {

using test::EmulatedGpuRuntime;
using test::OwnedImage;
using Call = EmulatedGpuRuntime::Call;

constexpr Renderer kAuto = Renderer::Auto, kGpu = Renderer::Gpu, kCpu = Renderer::Cpu;
const PixelFormat kFormats[] = {PixelFormat::Argb8, PixelFormat::Argb16, PixelFormat::ArgbFloat};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

OwnedImage Uniform(int32_t width, int32_t height, PixelFormat format, const std::array<double, 4>& unit)
{
    OwnedImage image(width, height, format, 8);
    const double full = test::FullScale(format);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            image.Set(x, y, {unit[0] * full, unit[1] * full, unit[2] * full, unit[3] * full});
    return image;
}

// Pixels and row padding alike.
OwnedImage CopyOf(const OwnedImage& image)
{
    const ImageView& view = image.View();
    const auto padding = static_cast<int32_t>(view.rowBytes - view.width * BytesPerPixel(view.format));
    OwnedImage copy(image.Width(), image.Height(), image.Format(), padding);
    std::memcpy(copy.View().data, view.data, static_cast<std::size_t>(view.rowBytes) * view.height);
    return copy;
}

// Row padding that no renderer may write.
void MarkPadding(OwnedImage& image)
{
    const ImageView& view = image.View();
    for (int32_t y = 0; y < view.height; ++y)
        for (std::ptrdiff_t i = view.width * BytesPerPixel(view.format); i < view.rowBytes; ++i) view.Row(y)[i] = std::byte{0xA5};
}

ScreenTriangle Entry(const SourceQuad* quad, ScreenVertex a, ScreenVertex b, ScreenVertex c, double opacity = 1)
{
    return {quad, a, b, c, a, opacity, (a.z + b.z + c.z) / 3};
}

// A small frame over two random textures: three triangles and a quad, overlapping and translucent.
struct SmallFrame {
    OwnedImage red, mixed, background;
    SourceQuad quads[2];
    TriangleList list;

    explicit SmallFrame(PixelFormat format)
        : red(Uniform(6, 5, PixelFormat::Argb8, {0.8, 1, 0.2, 0.1})), mixed(9, 7, PixelFormat::Argb16, 4),
          background(30, 22, format, 8),
          quads{{red.View(), {}, 0, 0, 5, 4},
                {mixed.View(), {}, 0, 0, 8, 6}}
    {
        std::mt19937_64 random(7);
        test::FillRandom(mixed, random);
        test::FillRandom(background, random);
        MarkPadding(background);
        list.push_back(Entry(&quads[0], {2, 3, 5, 0, 0}, {25, 1, 4, 5, 0}, {12, 20, 6, 5, 4}, 0.7));
        list.push_back(Entry(&quads[1], {-4, 8, 2, 0, 0}, {28, 10, 3, 8, 0}, {6, 25, 2, 8, 6}));
        ScreenTriangle quad = Entry(&quads[1], {5, 2, 4, 0, 0}, {20, 4, 4, 8, 0}, {18, 19, 5, 8, 6}, 0.5);
        quad.D = {4, 17, 5, 0, 6};
        list.push_back(quad);
        list.push_back(Entry(&quads[0], {14, 0, 1, 0, 0}, {29, 21, 1, 5, 4}, {0, 21, 1, 0, 4}, 0.4));
    }
};

ProcessingDevice Draw(const SmallFrame& frame, OwnedImage& output, Renderer renderer, GpuRuntime* gpu)
{
    return DrawFrameTriangles(frame.list, output.View(), true, renderer, {}, gpu);
}

TEST(GpuRendererTest, FailureAtAnyRuntimeCallGivesTheCpuImageAndFreesEverything)
{
    for (PixelFormat format : kFormats) {
        SCOPED_TRACE(testing::Message() << "format " << format);
        const SmallFrame frame(format);
        OwnedImage cpuImage = CopyOf(frame.background);
        EXPECT_EQ(Draw(frame, cpuImage, kCpu, nullptr), ProcessingDevice::Cpu);

        EmulatedGpuRuntime clean;
        OwnedImage gpuImage = CopyOf(frame.background);
        ASSERT_EQ(Draw(frame, gpuImage, kGpu, &clean), ProcessingDevice::Gpu);
        ASSERT_FALSE(gpuImage.Channels() == frame.background.Channels()) << "the GPU drew nothing";
        const std::vector<Call> calls = clean.calls();
        for (Call kind : {Call::GetDeviceCount, Call::Malloc, Call::Memcpy, Call::Launch, Call::PeekAtLastError,
                          Call::DeviceSynchronize, Call::Free})
            EXPECT_NE(std::find(calls.begin(), calls.end(), kind), calls.end()) << "call kind " << int(kind);

        for (std::size_t failing = 0; failing < calls.size(); ++failing) {
            SCOPED_TRACE(testing::Message() << "failing call " << failing << " of kind " << int(calls[failing]));
            EmulatedGpuRuntime runtime;
            runtime.FailCall(failing, 2);
            OwnedImage output = CopyOf(frame.background);
            EXPECT_EQ(Draw(frame, output, kAuto, &runtime), ProcessingDevice::CpuFallback);
            EXPECT_EQ(output.Channels(), cpuImage.Channels());
            EXPECT_TRUE(output.PaddingBytes() == frame.background.PaddingBytes());
            EXPECT_TRUE(runtime.FreedEachBufferOnce());
            // The failed call's error must not linger into this thread's next pass.
            OwnedImage next = CopyOf(frame.background);
            EXPECT_EQ(Draw(frame, next, kGpu, &runtime), ProcessingDevice::Gpu);
            EXPECT_EQ(next.Channels(), gpuImage.Channels());
            EXPECT_TRUE(runtime.FreedEachBufferOnce());
        }
    }
}

TEST(GpuRendererTest, EmptyListsAndTheCpuRendererNeverTouchTheDevice)
{
    const SmallFrame frame(PixelFormat::Argb8);
    OwnedImage expected = CopyOf(frame.background);
    EXPECT_EQ(Draw(frame, expected, kCpu, nullptr), ProcessingDevice::Cpu);
    EmulatedGpuRuntime runtime;
    OwnedImage cpu = CopyOf(frame.background);
    EXPECT_EQ(Draw(frame, cpu, kCpu, &runtime), ProcessingDevice::Cpu);
    EXPECT_EQ(cpu.Channels(), expected.Channels());
    for (Renderer renderer : {kAuto, kGpu, kCpu}) {
        OwnedImage output = CopyOf(frame.background);
        EXPECT_EQ(DrawFrameTriangles({}, output.View(), true, renderer, {}, &runtime),
                  ProcessingDevice::Cpu);
        EXPECT_EQ(output.Channels(), frame.background.Channels());
    }
    EXPECT_TRUE(runtime.calls().empty());
}

TEST(GpuRendererTest, WithoutADeviceTheCpuDrawsAndReportsTheFallback)
{
    const SmallFrame frame(PixelFormat::Argb16);
    OwnedImage expected = CopyOf(frame.background);
    Draw(frame, expected, kCpu, nullptr);
    EmulatedGpuRuntime noDevice(0);
    for (Renderer renderer : {kAuto, kGpu})
        for (GpuRuntime* gpu : {static_cast<GpuRuntime*>(nullptr), static_cast<GpuRuntime*>(&noDevice)}) {
            OwnedImage output = CopyOf(frame.background);
            EXPECT_EQ(Draw(frame, output, renderer, gpu), ProcessingDevice::CpuFallback);
            EXPECT_EQ(output.Channels(), expected.Channels());
        }
    EXPECT_TRUE(std::all_of(noDevice.calls().begin(), noDevice.calls().end(),
                            [](Call c) { return c == Call::GetDeviceCount; }));
    EXPECT_TRUE(noDevice.launches().empty());
}

TEST(GpuRendererTest, EachDistinctImageAndFormatIsUploadedOnce)
{
    OwnedImage p = Uniform(5, 5, PixelFormat::Argb8, {1, 1, 0, 0});
    OwnedImage q = Uniform(3, 7, PixelFormat::Argb8, {1, 0, 1, 0});
    const SourceQuad pQuad{p.View(), {}, 0, 0, 4, 4};
    const SourceQuad pAgain{p.View(), {}, 1, 1, 3, 3}; // another quad, same image
    ImageView as16 = p.View();
    as16.format = PixelFormat::Argb16;
    const SourceQuad pAs16{as16, {}, 0, 0, 1, 4}; // same bytes, other format
    const SourceQuad qQuad{q.View(), {}, 0, 0, 2, 6};
    const SourceQuad* uses[] = {&pQuad, &qQuad, &pAgain, &pAs16, &qQuad, &pQuad};
    TriangleList list;
    for (const SourceQuad* quad : uses) list.push_back(Entry(quad, {1, 1, 1, 0, 0}, {9, 2, 1, 1, 0}, {3, 8, 1, 1, 1}));

    for (bool depthOn : {false, true}) {
        EmulatedGpuRuntime runtime;
        OwnedImage output(12, 10, PixelFormat::Argb8);
        ASSERT_TRUE(RenderTrianglesGpu(runtime, list, output.View(), depthOn));
        // Three textures, the output, and the depth buffer when depth testing is on.
        EXPECT_EQ(runtime.hostToDeviceCopies(), 4 + depthOn);
        const auto& launches = runtime.launches();
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

TEST(GpuRendererTest, LaunchesCoverOnlyTheClippedBoxOfDrawableTriangles)
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
    list.push_back(Entry(&quad, {70, 5, 1, 0, 0}, {90, 10, 1, 3, 0}, {80, 30, 1, 3, 3}));   // right of the output
    list.push_back(Entry(&quad, {5, -40, 1, 0, 0}, {30, -1, 1, 3, 0}, {12, -9, 1, 3, 3}));  // above it
    list.push_back(Entry(&quad, {5, 5, 1, 0, 0}, {10, 10, 1, 3, 0}, {20, 20, 1, 3, 3}));    // no area
    list.push_back(Entry(&quad, {kNaN, 5, 1, 0, 0}, b, c));                                 // not finite
    list.push_back(Entry(&quad, {5, 5, 1, 0, INFINITY}, b, c));
    list.push_back(Entry(&quad, {5, 5, 0, 0, 0}, b, c));                                    // at the camera
    list.push_back(Entry(&quad, {5, 5, 1, 0, 0}, b, c, 0));                                 // no opacity
    list.push_back(Entry(&noPixels, {5, 5, 1, 0, 0}, b, c));
    list.push_back(Entry(&noImage, {5, 5, 1, 0, 0}, b, c));
    list.push_back(Entry(nullptr, {5, 5, 1, 0, 0}, b, c));

    EmulatedGpuRuntime runtime;
    OwnedImage output(64, 48, PixelFormat::Argb8);
    ASSERT_TRUE(RenderTrianglesGpu(runtime, list, output.View(), false));
    struct Expected {
        int xMin, yMin, xMax, yMax;
        uint32_t gridX, gridY;
    };
    // floor of the smallest, ceil of the largest coordinate, clamped to 0 .. 63 and 0 .. 47;
    // blocks of 16 x 16 just covering the box.
    const Expected expected[] = {
        {10, 5, 41, 38, 2, 3}, {0, 0, 21, 47, 2, 3}, {50, 40, 63, 47, 1, 1}, {50, 40, 62, 47, 1, 1}};
    ASSERT_EQ(runtime.launches().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& [grid, args] = runtime.launches()[i];
        const Expected& e = expected[i];
        EXPECT_EQ((std::array{args.xMin, args.yMin, args.xMax, args.yMax}),
                  (std::array{e.xMin, e.yMin, e.xMax, e.yMax}))
            << "launch " << i;
        EXPECT_EQ(grid.x, e.gridX) << "launch " << i;
        EXPECT_EQ(grid.y, e.gridY) << "launch " << i;
    }
    // The second half of the quad entry is (A, C, D).
    EXPECT_EQ(runtime.launches()[3].args.v2.x, 51.0f);
}

TEST(GpuRendererTest, EntriesWithNothingToDrawNeverReachTheDevice)
{
    OwnedImage image = Uniform(4, 4, PixelFormat::Argb8, {1, 1, 1, 1});
    const SourceQuad quad{image.View(), {}, 0, 0, 3, 3};
    const TriangleList skipped = {Entry(&quad, {1, 1, 1, 0, 0}, {9, 2, 1, 1, 0}, {3, 8, 1, 1, 1}, 0),
                                  Entry(nullptr, {1, 1, 1, 0, 0}, {9, 2, 1, 1, 0}, {3, 8, 1, 1, 1})};
    EmulatedGpuRuntime runtime;
    OwnedImage output(12, 10, PixelFormat::Argb8);
    EXPECT_TRUE(RenderTrianglesGpu(runtime, skipped, output.View(), true));
    ImageView noData = output.View();
    noData.data = nullptr;
    EXPECT_TRUE(RenderTrianglesGpu(runtime, {skipped[0]}, noData, true));
    EXPECT_TRUE(runtime.calls().empty());

    // Malformed input to the pass itself is refused before any runtime call.
    const GpuTexture texture{image.View().data, 4, 4, static_cast<int32_t>(image.View().rowBytes), FormatCode::Argb8};
    const GpuTriangle triangle{};
    const GpuImage target{output.View().data, 12, 10, static_cast<int32_t>(output.View().rowBytes), FormatCode::Argb8};
    GpuImage flat = target;
    flat.height = 0;
    EXPECT_EQ(RunGpuPass(runtime, nullptr, 1, &triangle, 1, target, false), kGpuInvalidValue);
    EXPECT_EQ(RunGpuPass(runtime, &texture, 1, &triangle, 0, target, false), kGpuInvalidValue);
    EXPECT_EQ(RunGpuPass(runtime, &texture, 1, &triangle, 1, flat, false), kGpuInvalidValue);
    EXPECT_TRUE(runtime.calls().empty());
    EmulatedGpuRuntime noDevice(0);
    EXPECT_EQ(RunGpuPass(noDevice, &texture, 1, &triangle, 1, target, false), kGpuNoDevice);
}

TEST(GpuRendererTest, OutputSurvivesTheRoundTripThroughFloatPixels)
{
    // A pass that draws nothing still uploads the output and writes the download back.
    OwnedImage image = Uniform(2, 2, PixelFormat::Argb8, {1, 1, 1, 1});
    const SourceQuad quad{image.View(), {}, 0, 0, 1, 1};
    const TriangleList sliver = {Entry(&quad, {1, 1, 1, 0, 0}, {5, 5, 1, 1, 0}, {9, 9, 1, 1, 1})};
    for (PixelFormat format : kFormats) {
        std::mt19937_64 random(static_cast<uint64_t>(format));
        OwnedImage output(7, 5, format, 12);
        test::FillRandom(output, random);
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
        EmulatedGpuRuntime runtime;
        ASSERT_TRUE(RenderTrianglesGpu(runtime, sliver, output.View(), false));
        EXPECT_TRUE(runtime.launches().empty());
        EXPECT_EQ(runtime.hostToDeviceCopies(), 2);
        EXPECT_EQ(output.Channels(), expected.Channels()) << "format " << format;
        EXPECT_TRUE(output.PaddingBytes() == padding);
    }
}

TEST(GpuRendererTest, ColoursClampAtEveryBlendUnlessTheOutputIsFloat)
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
        EmulatedGpuRuntime runtime;
        ASSERT_TRUE(RenderTrianglesGpu(runtime, list, output.View(), false));
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(output.Get(1, 1)[i], k.expected[i], 1e-6) << k.format << " channel " << i;
    }
}

// The plug-in's own runtime: the CUDA runtime in a CUDA build, none otherwise. Without a device
// (or a driver) it must answer at once and refuse the pass; with one, the GPU must compute exactly
// what the emulated kernel computes, since fused multiply-adds are off on both sides.
TEST(GpuRendererTest, ThePluginRuntimeDrawsLikeTheEmulationOrRefusesCleanly)
{
    for (PixelFormat format : kFormats) {
        const SmallFrame frame(format);
        const auto start = std::chrono::steady_clock::now();
        const bool available = IsGpuAvailable();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_EQ(available, PluginGpuRuntime() && IsGpuAvailable(*PluginGpuRuntime()));

        OwnedImage real = CopyOf(frame.background), emulated = CopyOf(frame.background);
        const bool drawn = RenderTrianglesGpu(frame.list, real.View(), true);
        if (!available) {
            EXPECT_FALSE(drawn);
            EXPECT_EQ(real.Channels(), frame.background.Channels());
            continue;
        }
        EmulatedGpuRuntime runtime;
        ASSERT_TRUE(drawn);
        ASSERT_TRUE(RenderTrianglesGpu(runtime, frame.list, emulated.View(), true));
        EXPECT_EQ(real.Channels(), emulated.Channels()) << "format " << format;
    }
}

} // namespace
} // namespace strandel
