// The device check: the GPU against the CPU at 8, 16 and 32 bits, on the benchmark frame and on
// every frame of every example scene, each drawn once with "Renderer" set to "GPU" and once to
// "CPU", through the shipped code path: the CUDA driver loaded at run time with the embedded
// kernel image. Prints the device state each frame reported, the largest differences between the
// two images and the frame times; the last line is the summary. Exits 1 unless everything agreed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFrame.h"
#include "GpuSceneCheck.h"
#include "host/platform/Platform.h"
#include "render/DriverRuntime.h"
#include "render/FrameDrawing.h"
#include "render/GpuRenderer.h"

namespace strandel {
namespace {

namespace fs = std::filesystem;

using namespace gpucheck;

std::string StatesText(const std::map<int, int>& states)
{
    std::string s;
    for (const auto& [state, frames] : states)
        s += (s.empty() ? "" : " ") + std::to_string(state) + " x" + std::to_string(frames);
    return s.empty() ? "-" : s;
}

void Print(const Comparison& c)
{
    const int frames = Comparison::Count(c.gpuStates);
    const double perFrame = frames > 0 ? 1e3 / frames : 0;
    std::printf("%-16s %-6s %3d frames  device GPU runs %-8s CPU runs %-8s  max diff %-9.3g weighted %-9.3g"
                " pixels >1 level %-8ld  per frame GPU %7.1f ms  CPU %7.1f ms  %s%s\n",
                c.name.c_str(), c.depth->name, frames, StatesText(c.gpuStates).c_str(), StatesText(c.cpuStates).c_str(),
                c.difference.straight, c.difference.weighted, c.difference.pixelsOverOneLevel, c.gpuSeconds * perFrame,
                c.cpuSeconds * perFrame, c.Passed() ? "ok" : "FAIL", c.error.empty() ? "" : (": " + c.error).c_str());
    std::fflush(stdout);
}

// The benchmark frame straight through the drawing step of the frame render.
Comparison CheckBenchmarkFrame(const Depth& depth)
{
    const test::OwnedImage sprite = bench::MakeSoftDisc(depth.format);
    const SourceQuad quad{sprite.View(), {}, 0, 0, bench::kSpriteSize - 1, bench::kSpriteSize - 1};
    const bench::Frame frame = bench::BuildFrame(quad);
    Comparison c;
    c.name = "benchmark frame";
    c.depth = &depth;
    test::OwnedImage gpu(bench::kWidth, bench::kHeight, depth.format), cpu(bench::kWidth, bench::kHeight, depth.format);
    const auto draw = [&](test::OwnedImage& output, Renderer renderer) {
        return static_cast<int>(
            DrawFrameTriangles(frame.triangles, output.View(), true, renderer, {}, PluginGpuRuntime()));
    };
    int state = 0;
    c.gpuSeconds = Seconds([&] { state = draw(gpu, Renderer::Gpu); });
    ++c.gpuStates[state];
    c.cpuSeconds = Seconds([&] { state = draw(cpu, Renderer::Cpu); });
    ++c.cpuStates[state];
    c.difference.Add(gpu.Channels(), cpu.Channels(), depth.fullScale);
    return c;
}

std::vector<fs::path> ScenesIn(const fs::path& folder)
{
    std::vector<fs::path> scenes;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".json") scenes.push_back(entry.path());
    std::sort(scenes.begin(), scenes.end());
    return scenes;
}

int Run(const fs::path& sceneFolder)
{
    // Also loads and starts the driver untimed.
    std::printf("CUDA device %s (driver %s)\n", IsGpuAvailable() ? "present" : "absent", kCudaDriverLibrary);
    std::vector<Comparison> all;
    for (const Depth& depth : kDepths) {
        all.push_back(CheckBenchmarkFrame(depth));
        Print(all.back());
    }
    for (const fs::path& scene : ScenesIn(sceneFolder))
        for (const Comparison& c :
             CheckScene(scene, (host::platform::ExecutableDir() / STRANDEL_PROBE_PATH).string())) {
            all.push_back(c);
            Print(c);
        }

    long passed = 0;
    int frames = 0, onGpu = 0, fellBack = 0;
    double gpuTotal = 0, cpuTotal = 0, largest[std::size(kDepths)] = {};
    for (const Comparison& c : all) {
        passed += c.Passed();
        frames += Comparison::Count(c.gpuStates);
        if (c.gpuStates.count(2)) onGpu += c.gpuStates.at(2);
        if (c.gpuStates.count(3)) fellBack += c.gpuStates.at(3);
        gpuTotal += c.gpuSeconds;
        cpuTotal += c.cpuSeconds;
        double& l = largest[c.depth - kDepths];
        l = std::max(l, c.difference.weighted);
    }
    const bool ok = passed == static_cast<long>(all.size());
    std::printf("gpu-check: %s: %ld of %zu checks agree; %d of %d GPU runs drew on the GPU, %d fell back; "
                "largest weighted difference 8-bit %.3g, 16-bit %.3g levels, float %.3g; GPU %.2f s, CPU %.2f s in "
                "all\n",
                ok ? "PASS" : "FAIL", passed, all.size(), onGpu, frames, fellBack, largest[0], largest[1], largest[2],
                gpuTotal, cpuTotal);
    return ok ? 0 : 1;
}

} // namespace
} // namespace strandel

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gpu_check SCENE_FOLDER\n");
        return 2;
    }
    return strandel::Run(argv[1]);
}
