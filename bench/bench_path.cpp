// BuildPath on a long, tightly curving path at each Quality.
#include <benchmark/benchmark.h>

#include <cmath>

#include "path/PathGeometry.h"

namespace {

using namespace strandel;

std::vector<PathKeyframe> LongCurvyPath()
{
    std::vector<PathKeyframe> keys;
    for (int i = 0; i < 200; ++i) {
        const double a = i * 0.7;
        const Vec3 position{960 + 800 * std::cos(a), 540 + 400 * std::sin(1.3 * a), 300 * std::sin(0.5 * a)};
        const Vec3 tangent{600 * std::sin(a), -500 * std::cos(1.7 * a), 400 * std::cos(a)};
        keys.push_back({position, -tangent, tangent});
    }
    return keys;
}

void BM_BuildPath(benchmark::State& state)
{
    const std::vector<PathKeyframe> keys = LongCurvyPath();
    RenderSettings settings;
    settings.quality = static_cast<Quality>(state.range(0));
    settings.arrayRotation = {20, 30, 10};
    std::size_t samples = 0;
    for (auto _ : state) {
        const PathTable table = BuildPath(keys, settings);
        samples = table.size();
        benchmark::DoNotOptimize(table.data());
    }
    state.counters["samples"] = static_cast<double>(samples);
    state.counters["samples/s"] =
        benchmark::Counter(static_cast<double>(samples), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_BuildPath)->ArgName("quality")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
