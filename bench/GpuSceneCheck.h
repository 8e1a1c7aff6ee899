// The GPU against the CPU on example scenes, through the emulated host and the probe copy of the
// plug-in: each sampled frame drawn once with "Renderer" set to "GPU" and once to "CPU", at 8, 16
// and 32 bits. Shared by gpu_check, which runs every frame on a real GPU, and the GPU tests, which
// sample a few through the stand-in driver.
#pragma once
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/Host.h"
#include "host/HostError.h"
#include "host/SceneParams.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "render/Image.h"

namespace strandel::gpucheck {

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
inline const Depth kDepths[] = {{PixelFormat::Argb8, host::PixelDepth::Eight, "8-bit", 255, 3},
                                {PixelFormat::Argb16, host::PixelDepth::Sixteen, "16-bit", 32768, 8},
                                {PixelFormat::ArgbFloat, host::PixelDepth::Float, "float", 1, 1e-3}};

// Channels A, R, G, B of every pixel, in stored units.
using Pixels = std::vector<double>;

inline Pixels PixelsOf(const host::Image& image, double fullScale)
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

template <class Fn>
double Seconds(Fn&& fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The probe copy of the plug-in, loaded by the host: which processor drew its last frame.
class DeviceProbe {
public:
    explicit DeviceProbe(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD))
    {
        if (handle_) read_ = reinterpret_cast<uint32_t (*)()>(dlsym(handle_, "StrandelProbeDeviceState"));
        if (!read_) throw std::runtime_error("no device state in " + path);
    }
    ~DeviceProbe() { dlclose(handle_); }
    DeviceProbe(const DeviceProbe&) = delete;
    DeviceProbe& operator=(const DeviceProbe&) = delete;

    int State() const { return static_cast<int>(read_()); }

private:
    void* handle_;
    uint32_t (*read_)() = nullptr;
};

// Which frames are drawn, and at which resolution (1 / downsample).
struct Sampling {
    std::int64_t frameStep = 1;
    int downsample = 1;
};

// Every sampled frame of the scene's first effect, through the emulated host's render protocol.
inline std::vector<Comparison> CheckScene(const std::filesystem::path& scene, const std::string& probePath,
                                          const Sampling& sampling = {})
{
    std::vector<Comparison> results;
    for (const Depth& depth : kDepths) {
        results.emplace_back();
        results.back().name = scene.stem().string();
        results.back().depth = &depth;
    }
    try {
        host::LoadedScene loaded = host::LoadScene(scene);
        host::Host host(host::HostOptions{probePath});
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
        const DeviceProbe probe(probePath);
        // Untimed, and at a resolution the checks do not use, so that the cache cannot answer
        // them: the first GPU frame of this copy of the plug-in starts the driver.
        host::ApplySceneParam(effect, "Renderer", "GPU", noLayers, warnings);
        host::RenderEffectFrame(effect, {0, host::PixelDepth::Eight, 2 * sampling.downsample});

        for (Comparison& c : results) {
            host.render().projectDepth = c.depth->hostDepth;
            for (std::int64_t frame = 0; frame < comp->FrameCount(); frame += sampling.frameStep) {
                const auto render = [&](const char* renderer, std::map<int, int>& states) {
                    host::ApplySceneParam(effect, "Renderer", renderer, noLayers, warnings);
                    host::FrameResult result;
                    const double seconds = Seconds([&] {
                        result = host::RenderEffectFrame(effect, {frame, c.depth->hostDepth, sampling.downsample});
                    });
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

} // namespace strandel::gpucheck
