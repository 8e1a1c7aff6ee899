// CPU rasterizer throughput on a fixed frame of soft-disc sprites, 1920 x 1080, back to front.
#include <benchmark/benchmark.h>

#include <cstring>

#include "BenchFrame.h"
#include "render/Rasterizer.h"
#include "support/ReferenceRasterizer.h"

namespace strandel {
namespace {

using bench::BuildFrame;
using bench::Frame;
using bench::kHeight;
using bench::kSpriteSize;
using bench::kWidth;
using bench::MakeSoftDisc;

// drawFrame(triangles, output, format, depth buffer or null)
template <class DrawFn>
void RunFrames(benchmark::State& state, PixelFormat format, bool depthTest, DrawFn drawFrame)
{
    const test::OwnedImage sprite = MakeSoftDisc(format);
    const SourceQuad quad{sprite.View(), {}, 0, 0, kSpriteSize - 1, kSpriteSize - 1};
    const Frame frame = BuildFrame(quad);
    test::OwnedImage output(kWidth, kHeight, format);
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(output.View().data, 0, static_cast<std::size_t>(output.View().rowBytes) * kHeight);
        DepthBuffer depth = depthTest ? DepthBuffer(kWidth, kHeight) : DepthBuffer();
        state.ResumeTiming();
        drawFrame(frame.triangles, output.View(), depthTest ? &depth : nullptr);
        benchmark::ClobberMemory();
    }
    state.counters["covered_px"] = frame.coveredPixels;
    state.counters["covered_px_per_s"] =
        benchmark::Counter(frame.coveredPixels, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DrawFrame(benchmark::State& state, PixelFormat format, bool depthTest, RasterPath path)
{
    if (!IsRasterPathAvailable(path)) return state.SkipWithError("this processor cannot run that build");
    RunFrames(state, format, depthTest, [path](const TriangleList& list, const ImageView& output, DepthBuffer* depth) {
        DrawTriangleListCpu(list, output, depth, {}, path);
    });
}

// The plain double-precision loop the unit tests compare with, for scale.
void BM_ReferenceFrame(benchmark::State& state, PixelFormat format, bool depthTest)
{
    RunFrames(state, format, depthTest, [](const TriangleList& list, const ImageView& output, DepthBuffer* depth) {
        test::reference::DrawTriangleList(list, output, depth ? &depth->values : nullptr);
    });
}

BENCHMARK_CAPTURE(BM_ReferenceFrame, argb8, PixelFormat::Argb8, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, argb8, PixelFormat::Argb8, false, FastestRasterPath())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, argb8_depth, PixelFormat::Argb8, true, FastestRasterPath())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, argb16, PixelFormat::Argb16, false, FastestRasterPath())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, argb16_depth, PixelFormat::Argb16, true, FastestRasterPath())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, argb_float, PixelFormat::ArgbFloat, false, FastestRasterPath())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, argb_float_depth, PixelFormat::ArgbFloat, true, FastestRasterPath())
    ->Unit(benchmark::kMillisecond);
// The SSE2 build, which processors without AVX2 run.
BENCHMARK_CAPTURE(BM_DrawFrame, argb8_baseline, PixelFormat::Argb8, false, RasterPath::Baseline)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strandel

BENCHMARK_MAIN();
