// The device check: the GPU against the CPU on the benchmark frame at 8, 16 and 32 bits, with the
// device each frame reports, the largest differences between the two images and both frame times.
// Ends with one summary line; exits 1 when a frame did not draw where it should or differs too much.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchFrame.h"
#include "render/FrameDrawing.h"
#include "render/GpuRenderer.h"

namespace strandel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kRendererGpu = 2, kRendererCpu = 3;

struct Depth {
    PF_PixelFormat format;
    const char* name;
    double fullScale;
    // Largest alpha-weighted difference still counted as agreement, in stored units: the CPU
    // rounds after every blend and the GPU once, so stacks of blends differ by a few levels.
    double tolerance;
};
const Depth kDepths[] = {{PF_PixelFormat_ARGB32, "8-bit", 255, 3},
                         {PF_PixelFormat_ARGB64, "16-bit", 32768, 8},
                         {PF_PixelFormat_ARGB128, "float", 1, 1e-4}};

// Channels A, R, G, B of every pixel, in stored units.
using Pixels = std::vector<double>;

struct Difference {
    double straight = 0; // largest difference of any channel
    double weighted = 0; // colours weighted by alpha: what shows once composited
    long pixelsOverOneLevel = 0;
};

Difference Compare(const Pixels& gpu, const Pixels& cpu, double fullScale)
{
    Difference d;
    const double level = fullScale == 1 ? 1.0 / 255 : 1;
    for (std::size_t i = 0; i + 3 < gpu.size() && i + 3 < cpu.size(); i += 4) {
        const double weight = std::max(gpu[i], cpu[i]) / fullScale;
        double worst = 0, worstWeighted = std::fabs(gpu[i] - cpu[i]);
        for (int c = 0; c < 4; ++c) worst = std::max(worst, std::fabs(gpu[i + c] - cpu[i + c]));
        for (int c = 1; c < 4; ++c) worstWeighted = std::max(worstWeighted, std::fabs(gpu[i + c] - cpu[i + c]) * weight);
        d.straight = std::max(d.straight, worst);
        d.weighted = std::max(d.weighted, worstWeighted);
        d.pixelsOverOneLevel += worst > level;
    }
    return d;
}

// One image drawn by the GPU and by the CPU.
struct FramePair {
    std::string name;
    const Depth* depth = nullptr;
    int gpuDevice = 0, cpuDevice = 0; // ProcessingDeviceState values the two runs reported
    double gpuSeconds = 0, cpuSeconds = 0;
    Difference difference;

    bool Passed() const
    {
        return gpuDevice == 2 && cpuDevice == 1 && difference.weighted <= depth->tolerance;
    }
};

void Print(const FramePair& p)
{
    std::printf("%-28s %-6s  device GPU run %d, CPU run %d  max diff %-9.3g weighted %-9.3g pixels >1 level %-7ld"
                "  GPU %8.1f ms  CPU %8.1f ms  %s\n",
                p.name.c_str(), p.depth->name, p.gpuDevice, p.cpuDevice, p.difference.straight,
                p.difference.weighted, p.difference.pixelsOverOneLevel, p.gpuSeconds * 1e3, p.cpuSeconds * 1e3,
                p.Passed() ? "ok" : "FAIL");
    std::fflush(stdout);
}

template <class Fn> double Seconds(Fn&& fn)
{
    const auto start = Clock::now();
    fn();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The benchmark frame straight through the renderers, as the frame render calls them.
FramePair CheckBenchmarkFrame(const Depth& depth)
{
    const test::OwnedImage sprite = bench::MakeSoftDisc(depth.format);
    const SourceQuad quad{sprite.WorldPtr(), depth.format, {}, 0, 0, bench::kSpriteSize - 1, bench::kSpriteSize - 1};
    const bench::Frame frame = bench::BuildFrame(quad);
    FramePair pair;
    pair.name = "benchmark frame";
    pair.depth = &depth;
    test::OwnedImage gpu(bench::kWidth, bench::kHeight, depth.format), cpu(bench::kWidth, bench::kHeight, depth.format);
    pair.gpuSeconds = Seconds([&] {
        pair.gpuDevice = static_cast<int>(DrawFrameTriangles(frame.triangles, gpu.World(), depth.format, true,
                                                             kRendererGpu, {}, PluginGpuRuntime()));
    });
    pair.cpuSeconds = Seconds([&] {
        pair.cpuDevice = static_cast<int>(DrawFrameTriangles(frame.triangles, cpu.World(), depth.format, true,
                                                             kRendererCpu, {}, PluginGpuRuntime()));
    });
    pair.difference = Compare(gpu.Channels(), cpu.Channels(), depth.fullScale);
    return pair;
}

int Run()
{
    std::vector<FramePair> pairs;
    const bool available = IsGpuAvailable(); // also brings the CUDA runtime up outside the timings
    std::printf("CUDA device %s\n", available ? "present" : "absent");
    for (const Depth& depth : kDepths) {
        pairs.push_back(CheckBenchmarkFrame(depth));
        Print(pairs.back());
    }

    const long passed = std::count_if(pairs.begin(), pairs.end(), [](const FramePair& p) { return p.Passed(); });
    double gpuTotal = 0, cpuTotal = 0, largest[3] = {};
    for (const FramePair& p : pairs) {
        gpuTotal += p.gpuSeconds;
        cpuTotal += p.cpuSeconds;
        double& l = largest[p.depth - kDepths];
        l = std::max(l, p.difference.straight);
    }
    std::printf("gpu-check: %s: %ld of %zu frame pairs agree (GPU run drew on the GPU, CPU run on the CPU, images "
                "alike); largest difference 8-bit %g, 16-bit %g levels, float %.3g; GPU %.2f s, CPU %.2f s\n",
                passed == static_cast<long>(pairs.size()) ? "PASS" : "FAIL", passed, pairs.size(), largest[0],
                largest[1], largest[2], gpuTotal, cpuTotal);
    return passed == static_cast<long>(pairs.size()) ? 0 : 1;
}

} // namespace
} // namespace strandel

int main() { return strandel::Run(); }
