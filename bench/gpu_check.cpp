// The device check: the GPU against the CPU at 8, 16 and 32 bits, on the benchmark frame and on
// every frame of every example scene, each drawn once with "Renderer" set to "GPU" and once to
// "CPU". Prints the device state each frame reported, the largest differences between the two
// images and the frame times; the last line is the summary. Exits 1 unless everything agreed.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchFrame.h"
#include "host/Host.h"
#include "host/HostError.h"
#include "host/SceneParams.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "render/FrameDrawing.h"
#include "render/GpuRenderer.h"

namespace strandel {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;


struct Depth {
    PixelFormat format;
    host::PixelDepth hostDepth;
    const char* name;
    double fullScale;
    // Largest alpha-weighted difference still counted as agreement, in stored units: the CPU
    // rounds after every blend and the GPU once, so stacks of blends differ by a few levels; at
    // float, a quarter of an 8-bit level.
    double tolerance;
};
const Depth kDepths[] = {{PixelFormat::Argb8, host::PixelDepth::Eight, "8-bit", 255, 3},
                         {PixelFormat::Argb16, host::PixelDepth::Sixteen, "16-bit", 32768, 8},
                         {PixelFormat::ArgbFloat, host::PixelDepth::Float, "float", 1, 1e-3}};

// Channels A, R, G, B of every pixel, in stored units.
using Pixels = std::vector<double>;

Pixels PixelsOf(const host::Image& image, double fullScale)
{
    Pixels out;
    out.reserve(static_cast<std::size_t>(image.Width()) * image.Height() * 4);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const host::PixelValue p = image.Get(x, y);
            for (double c : {p.a, p.r, p.g, p.b}) out.push_back(c * fullScale);
        }
    return out;
}

struct Difference {
    double straight = 0; // largest difference of any channel
    double weighted = 0; // colours weighted by alpha: what shows once composited
    long pixelsOverOneLevel = 0;

    void Add(const Pixels& gpu, const Pixels& cpu, double fullScale)
    {
        const double level = fullScale == 1 ? 1.0 / 255 : 1;
        if (gpu.size() != cpu.size()) straight = weighted = INFINITY;
        for (std::size_t i = 0; i + 3 < gpu.size() && i + 3 < cpu.size(); i += 4) {
            const double weight = std::max(gpu[i], cpu[i]) / fullScale;
            double worst = 0, worstWeighted = std::fabs(gpu[i] - cpu[i]);
            for (int c = 0; c < 4; ++c) worst = std::max(worst, std::fabs(gpu[i + c] - cpu[i + c]));
            for (int c = 1; c < 4; ++c)
                worstWeighted = std::max(worstWeighted, std::fabs(gpu[i + c] - cpu[i + c]) * weight);
            straight = std::max(straight, worst);
            weighted = std::max(weighted, worstWeighted);
            pixelsOverOneLevel += worst > level;
        }
    }
};

// The frames of one subject at one depth, each drawn by the GPU and by the CPU.
struct Comparison {
    std::string name;
    const Depth* depth = nullptr;
    // ProcessingDeviceState value -> frames that reported it; -1 for a frame the host took from its cache.
    std::map<int, int> gpuStates, cpuStates;
    double gpuSeconds = 0, cpuSeconds = 0;
    Difference difference;
    std::string error;

    static int Count(const std::map<int, int>& states)
    {
        int n = 0;
        for (const auto& [state, frames] : states) n += frames;
        return n;
    }
    // No GPU run fell back to the CPU (a frame with nothing to draw reports the CPU), every CPU
    // run drew on the CPU, and the images agree.
    bool Passed() const
    {
        const auto only = [](const std::map<int, int>& states, std::initializer_list<int> allowed) {
            return std::all_of(states.begin(), states.end(), [&](const auto& entry) {
                return std::find(allowed.begin(), allowed.end(), entry.first) != allowed.end();
            });
        };
        return error.empty() && !gpuStates.empty() && only(gpuStates, {1, 2}) && only(cpuStates, {1}) &&
               difference.weighted <= depth->tolerance;
    }
};

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
                c.name.c_str(), c.depth->name, frames, StatesText(c.gpuStates).c_str(),
                StatesText(c.cpuStates).c_str(), c.difference.straight, c.difference.weighted,
                c.difference.pixelsOverOneLevel, c.gpuSeconds * perFrame, c.cpuSeconds * perFrame,
                c.Passed() ? "ok" : "FAIL", c.error.empty() ? "" : (": " + c.error).c_str());
    std::fflush(stdout);
}

template <class Fn> double Seconds(Fn&& fn)
{
    const auto start = Clock::now();
    fn();
    return std::chrono::duration<double>(Clock::now() - start).count();
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
        return static_cast<int>(DrawFrameTriangles(frame.triangles, output.View(), true, renderer, {},
                                                   PluginGpuRuntime()));
    };
    int state = 0;
    c.gpuSeconds = Seconds([&] { state = draw(gpu, Renderer::Gpu); });
    ++c.gpuStates[state];
    c.cpuSeconds = Seconds([&] { state = draw(cpu, Renderer::Cpu); });
    ++c.cpuStates[state];
    c.difference.Add(gpu.Channels(), cpu.Channels(), depth.fullScale);
    return c;
}

// The probe copy of the plug-in, loaded by the host: which processor drew its last frame.
class DeviceProbe {
public:
    explicit DeviceProbe(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_NOLOAD))
    {
        if (handle_) read_ = reinterpret_cast<uint32_t (*)()>(dlsym(handle_, "StrandelProbeDeviceState"));
        if (!read_) throw std::runtime_error(std::string("no device state in ") + path);
    }
    ~DeviceProbe() { dlclose(handle_); }
    DeviceProbe(const DeviceProbe&) = delete;
    DeviceProbe& operator=(const DeviceProbe&) = delete;

    int State() const { return static_cast<int>(read_()); }

private:
    void* handle_;
    uint32_t (*read_)() = nullptr;
};

// Every frame of the scene's first effect, through the emulated host's render protocol.
std::vector<Comparison> CheckScene(const fs::path& scene)
{
    std::vector<Comparison> results;
    for (const Depth& depth : kDepths) {
        results.emplace_back();
        results.back().name = scene.stem().string();
        results.back().depth = &depth;
    }
    try {
        host::LoadedScene loaded = host::LoadScene(scene);
        host::Host host(host::HostOptions{STRANDEL_PROBE_PATH});
        if (PF_Err err = host.GlobalSetup()) throw host::HostError("global setup failed: " + host::ErrorName(err));
        std::vector<std::string> warnings;
        host.OpenProject(std::move(loaded.project), &warnings);
        const auto found = std::find_if(host.instances().begin(), host.instances().end(),
                                        [](const auto& fx) { return fx->layer != nullptr; });
        if (found == host.instances().end()) throw host::HostError("no layer carries the effect");
        host::EffectInstance& effect = **found;
        const host::Composition* comp = host.project().CompOfLayer(*effect.layer);
        host.activeComp = comp;
        const host::LayerIdByName noLayers = [](const std::string&) { return std::optional<A_long>(); };
        const DeviceProbe probe(STRANDEL_PROBE_PATH);
        // Untimed, and at a resolution the checks do not use, so that the cache cannot answer
        // them: the first GPU frame of this copy of the plug-in starts the CUDA runtime.
        host::ApplySceneParam(effect, "Renderer", "GPU", noLayers, warnings);
        host::RenderEffectFrame(effect, {0, host::PixelDepth::Eight, 2});

        for (Comparison& c : results) {
            host.render().projectDepth = c.depth->hostDepth;
            for (std::int64_t frame = 0; frame < comp->FrameCount(); ++frame) {
                const auto render = [&](const char* renderer, std::map<int, int>& states) {
                    host::ApplySceneParam(effect, "Renderer", renderer, noLayers, warnings);
                    host::FrameResult result;
                    const double seconds =
                        Seconds([&] { result = host::RenderEffectFrame(effect, {frame, c.depth->hostDepth}); });
                    if (result.err != PF_Err_NONE)
                        throw host::HostError("frame " + std::to_string(frame) + ": " + host::ErrorName(result.err));
                    ++states[result.fromCache ? -1 : probe.State()];
                    return std::pair{PixelsOf(result.image, c.depth->fullScale), seconds};
                };
                const auto [gpu, gpuSeconds] = render("GPU", c.gpuStates);
                const auto [cpu, cpuSeconds] = render("CPU", c.cpuStates);
                c.gpuSeconds += gpuSeconds;
                c.cpuSeconds += cpuSeconds;
                c.difference.Add(gpu, cpu, c.depth->fullScale);
            }
        }
    } catch (const std::exception& e) {
        for (Comparison& c : results)
            if (c.error.empty()) c.error = e.what();
    }
    return results;
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
    std::printf("CUDA device %s\n", IsGpuAvailable() ? "present" : "absent"); // also starts the runtime untimed
    std::vector<Comparison> all;
    for (const Depth& depth : kDepths) {
        all.push_back(CheckBenchmarkFrame(depth));
        Print(all.back());
    }
    for (const fs::path& scene : ScenesIn(sceneFolder))
        for (const Comparison& c : CheckScene(scene)) {
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
