// strandel render: the effect of one layer, frame by frame, into PNG or OpenEXR files.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

#include "cli/Commands.h"
#include "cli/RenderPlan.h"
#include "host/HostError.h"
#include "host/image/ExrFile.h"
#include "host/image/PngFile.h"
#include "host/platform/Platform.h"
#include "host/render/EffectRenderer.h"
#include "host/render/LayerPixels.h"
#include "host/scene/SceneReader.h"

namespace strandel::cli {
namespace {

using Clock = std::chrono::steady_clock;

// Loads the scene into a host and checks every argument against it.
RenderPlan Prepare(const CommonOptions& common, const RenderArgs& args, std::unique_ptr<host::Host>& host,
                   std::vector<std::string>& warnings)
{
    RenderPlan plan;
    plan.depth = DepthFromBits(args.depth);
    plan.downsample = DownsampleFromResolution(args.resolution);
    if (args.threads < 1) throw host::HostError("--threads must be at least 1");
    host::LoadedScene scene = host::LoadScene(args.scenePath);
    warnings.insert(warnings.end(), scene.warnings.begin(), scene.warnings.end());
    host = std::make_unique<host::Host>(host::HostOptions{common.pluginPath});
    if (PF_Err err = host->GlobalSetup()) throw host::HostError("global setup failed with " + host::ErrorName(err));
    host->OpenProject(std::move(scene.project), &warnings);

    plan.effect = &FindEffect(*host, args.comp, args.layer);
    plan.comp = host->project().CompOfLayer(*plan.effect->layer);
    const PF_LRect bounds = host::LayerCheckoutBounds(host->project(), plan.effect->layer, 1);
    if (bounds.right <= 0 || bounds.bottom <= 0)
        throw host::HostError("layer \"" + plan.effect->layer->name + "\" has no pixels for the effect to draw into");
    ApplySets(*plan.effect, *plan.comp, args.sets, warnings);
    plan.frames = FramesToRender(args, *plan.comp);
    plan.outputs = OutputPaths(args, plan.depth, plan.frames); // last: it makes the output folders
    plan.exr = IsExr(plan.outputs.front());
    host->render().projectDepth = plan.depth;
    host->activeComp = plan.comp;
    return plan;
}

// One line on a terminal, redrawn in place.
void DrawProgress(std::size_t done, std::size_t total)
{
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(kWidth * done / total);
    std::fprintf(stderr, "\r[%s%s] %zu/%zu frames", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), done, total);
    std::fflush(stderr);
}

struct RenderRun {
    RenderRun(const RenderPlan& p, bool useLegacy) : plan(p), legacy(useLegacy) {}

    const RenderPlan& plan;
    bool legacy;
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::vector<char> written; // per frame; each thread sets only its own frames
    std::mutex mutex; // guards what follows
    std::string failure;
    std::vector<std::string> leaks;

    void Fail(const std::string& message)
    {
        std::lock_guard lock(mutex);
        if (failure.empty()) failure = message;
        stop = true;
    }

    void RenderFrame(std::size_t i)
    {
        const std::int64_t frame = plan.frames[i];
        const std::string name = "frame " + std::to_string(frame);
        try {
            host::FrameResult result =
                host::RenderEffectFrame(*plan.effect, {frame, plan.depth, plan.downsample, legacy});
            if (!result.leaks.empty()) {
                std::lock_guard lock(mutex);
                for (const std::string& leak : result.leaks) leaks.push_back(name + ": " + leak);
            }
            if (result.err != PF_Err_NONE) return Fail(name + " failed: " + host::ErrorName(result.err));
            if (!result.problems.empty()) return Fail(name + " failed: " + result.problems.front());
            if (plan.exr) host::WriteExr(plan.outputs[i], result.image);
            else host::WritePng(plan.outputs[i], result.image);
            written[i] = 1;
        } catch (const std::bad_alloc&) {
            Fail(name + " failed: " + host::ErrorName(PF_Err_OUT_OF_MEMORY));
        } catch (const std::exception& e) {
            Fail(name + " failed: " + e.what());
        }
    }

    void Work()
    {
        for (std::size_t i; !stop && (i = next++) < plan.frames.size(); ++done) RenderFrame(i);
    }
};

// N frames at once, each thread taking the next frame not yet started.
void RenderAll(RenderRun& run, int threads)
{
    const std::size_t total = run.plan.frames.size();
    run.written.assign(total, 0);
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < std::min<std::size_t>(threads, total); ++t)
        workers.emplace_back([&run] { run.Work(); });
    if (total > 1 && host::platform::StderrIsTerminal()) {
        while (run.done < total && !run.stop) {
            DrawProgress(run.done, total);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        DrawProgress(run.done, total);
        std::fputc('\n', stderr);
    }
    for (std::thread& w : workers) w.join();
}

// What the plug-in kept beyond the frames, and the messages it left for the user.
std::vector<std::string> AfterRenderNotes(host::Host& host, const RenderRun& run)
{
    std::vector<std::string> notes = run.leaks;
    for (const std::string& m : host.log().messages) notes.push_back("message: " + m);
    const host::RenderServices& r = host.render();
    if (auto n = r.receipts.LiveCount()) notes.push_back(std::to_string(n) + " frame receipt(s) were never checked in");
    if (auto n = r.renderOptions.LiveCount())
        notes.push_back(std::to_string(n) + " render option(s) were never disposed");
    return notes;
}

std::string Summary(const RenderRun& run, double seconds)
{
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < run.written.size(); ++i)
        if (run.written[i]) paths.push_back(run.plan.outputs[i].string());
    std::ostringstream s;
    s.precision(2);
    s << std::fixed << "Rendered " << paths.size() << (paths.size() == 1 ? " frame" : " frames") << " in " << seconds
      << " s";
    if (paths.size() == 1) s << ": " << paths.front();
    if (paths.size() > 1) s << ": " << paths.front() << " .. " << paths.back();
    return s.str();
}

} // namespace

int RunRender(const CommonOptions& common, const RenderArgs& args)
{
    std::vector<std::string> warnings;
    std::unique_ptr<host::Host> host;
    RenderPlan plan;
    try {
        plan = Prepare(common, args, host, warnings);
    } catch (const std::exception& e) {
        std::cerr << "strandel: " << e.what() << "\n";
        return 2;
    }
    for (const std::string& w : warnings) std::cerr << "strandel: warning: " << w << "\n";

    RenderRun run(plan, args.legacy);
    const auto start = Clock::now();
    RenderAll(run, args.threads);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    for (const std::string& note : AfterRenderNotes(*host, run)) std::cerr << "strandel: warning: " << note << "\n";
    if (!run.failure.empty()) std::cerr << "strandel: " << run.failure << "\n";
    std::cout << Summary(run, seconds) << "\n";
    return run.failure.empty() ? 0 : 1;
}

} // namespace strandel::cli
