// `make stress`: the heaviest example, time offsets on, rendered for hundreds of frames on many
// render threads; every frame must equal the serial render of it, peak memory must not grow
// with the frame count, renders aborted at random moments must give everything back, and the
// host must count nothing left over at the end. Prints its figures; exits 1 on any failure.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/Host.h"
#include "host/SceneParams.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/TestPaths.h"

namespace {

using namespace strandel::host;
using Clock = std::chrono::steady_clock;

constexpr int kFrames = 500, kThreads = 8, kAborted = 100;

std::atomic<int> failures{0};

void Fail(const std::string& what)
{
    std::printf("FAIL: %s\n", what.c_str());
    ++failures;
}

// A 64-bit FNV-1a hash of the pixels: a stand-in for keeping 500 frames in memory.
std::uint64_t DigestOf(const Image& image)
{
    std::uint64_t d = 1469598103934665603ull;
    const std::size_t rowBytes = static_cast<std::size_t>(image.Width()) * BytesPerPixel(image.Depth());
    for (int y = 0; y < image.Height(); ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(image.Row(y));
        for (std::size_t i = 0; i < rowBytes; ++i) d = (d ^ row[i]) * 1099511628211ull;
    }
    return d;
}

// Peak resident memory since the last reset, in MiB (Linux keeps it per process).
double PeakMiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

FrameResult RenderChecked(EffectInstance& fx, std::int64_t frame, const std::atomic<bool>* cancel = nullptr)
{
    FrameResult r = RenderEffectFrame(fx, {frame, PixelDepth::Eight, 1, false}, cancel);
    if (r.err != PF_Err_NONE) Fail("frame " + std::to_string(frame) + " returned error " + std::to_string(r.err));
    for (const std::string& leak : r.leaks) Fail("frame " + std::to_string(frame) + " left " + leak);
    return r;
}

} // namespace

int main()
{
    std::printf("stress: %d frames of examples/helix.json at full size, time offsets on, %d render threads, %u cores\n",
                kFrames, kThreads, std::thread::hardware_concurrency());

    LoadedScene scene = LoadScene(strandel::test::DataFile("examples/helix.json"));
    Composition& main = scene.project.comps.front();
    main.duration = std::max(main.duration, (kFrames + 1) / main.frameRate); // the keys hold past their end
    Host host(HostOptions{strandel::test::PluginPath()});
    if (host.GlobalSetup() != PF_Err_NONE) return 1;
    host.OpenProject(std::move(scene.project));
    EffectInstance& fx = *host.instances().front();
    std::vector<std::string> warnings;
    ApplySceneParam(
        fx, "Time Random", 0.5, [](const std::string&) { return std::nullopt; }, warnings);

    // Serial: the reference digests.
    auto start = Clock::now();
    std::vector<std::uint64_t> serial(kFrames);
    for (int f = 0; f < kFrames; ++f) serial[f] = DigestOf(RenderChecked(fx, f).image);
    const double serialSeconds = Since(start);
    host.render().cache.Clear();

    // Parallel, with the peak memory of each third of the frames.
    ResetPeak();
    std::atomic<int> next{0}, done{0};
    std::vector<double> peaks;
    std::atomic<int> mismatches{0};
    start = Clock::now();
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < kThreads; ++t)
            workers.emplace_back([&] {
                for (int f; (f = next++) < kFrames;) {
                    const FrameResult r = RenderChecked(fx, f);
                    if (r.fromCache || DigestOf(r.image) != serial[f]) ++mismatches;
                    ++done;
                }
            });
        for (int third = 1; third <= 3; ++third) {
            while (done < kFrames * third / 3) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            peaks.push_back(PeakMiB());
            ResetPeak();
        }
    }
    const double parallelSeconds = Since(start);
    if (mismatches) Fail(std::to_string(mismatches.load()) + " frames differ from the serial render");
    std::printf("serial: %.1f s (%.1f ms a frame); %d threads: %.1f s (%.1f ms a frame), every frame %s\n",
                serialSeconds, 1000 * serialSeconds / kFrames, kThreads, parallelSeconds,
                1000 * parallelSeconds / kFrames, mismatches ? "NOT identical" : "byte-identical to the serial one");
    std::printf("peak memory by thirds of the frames: %.0f, %.0f, %.0f MiB\n", peaks[0], peaks[1], peaks[2]);
    constexpr double kGrowthAllowanceMiB = 32;
    if (peaks[2] > peaks[1] + kGrowthAllowanceMiB) Fail("peak memory grew with the frame count");

    // Aborts at random moments: within the first few milliseconds of a frame or late in it.
    host.render().cache.Clear();
    std::mt19937 random(15);
    const double frameMs = 1000 * serialSeconds / kFrames;
    int partial = 0;
    for (int i = 0; i < kAborted; ++i) {
        std::atomic<bool> cancel{false};
        const auto delay =
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, static_cast<int>(1000 * frameMs))(random));
        std::jthread canceller([&] {
            std::this_thread::sleep_for(delay);
            cancel = true;
        });
        const int f = static_cast<int>(random() % kFrames);
        const FrameResult r = RenderChecked(fx, f, &cancel);
        partial += DigestOf(r.image) != serial[f];
    }
    std::printf("aborted renders: %d, of which %d ended early with part of the frame\n", kAborted, partial);

    const RenderServices& r = host.render();
    const std::size_t worlds = r.worlds.LiveCount(), receipts = r.receipts.LiveCount(),
                      options = r.renderOptions.LiveCount();
    const int checkouts = fx.OutstandingCheckouts();
    host.Shutdown();
    const std::size_t handles = host.handles().LiveCount();
    std::printf("left at the end: %zu handles, %d checkouts, %zu worlds, %zu receipts, %zu render options\n", handles,
                checkouts, worlds, receipts, options);
    if (handles || checkouts || worlds || receipts || options) Fail("the host was left holding plug-in resources");
    std::printf("%s\n", failures ? "stress: FAILED" : "stress: passed");
    return failures ? 1 : 0;
}
