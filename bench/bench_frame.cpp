// The whole-frame benchmark: 500 soft-disc copies along a 3D path, facing the camera with random
// rotations and scale, 1920 x 1080 at 8 bits. The whole frame runs through the plug-in linked
// into the benchmark, hosted as the binary would be; the stage benchmarks run its stages against
// the same emulated host, so the split shows where a frame's time goes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "frame/RenderSettingsBuild.h"
#include "frame/SuiteCache.h"
#include "host/Host.h"
#include "host/image/PngFile.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "layout/InstanceLayout.h"
#include "path/CameraReader.h"
#include "path/PathGeometry.h"
#include "path/PathReader.h"
#include "render/DepthSort.h"
#include "render/Rasterizer.h"
#include "render/WorldView.h"
#include "support/PluginUnderTest.h"

namespace strandel {
namespace {

namespace fs = std::filesystem;

constexpr int kSprite = 256;

// The scene file and its sprite, written once into a temporary folder.
fs::path WriteScene()
{
    const fs::path dir = fs::temp_directory_path() / "strandel_bench_frame";
    fs::create_directories(dir);
    host::Image sprite(kSprite, kSprite, host::PixelDepth::Eight);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            const double dx = (x + 0.5) / kSprite * 2 - 1, dy = (y + 0.5) / kSprite * 2 - 1;
            const double r2 = std::min(dx * dx + dy * dy, 1.0);
            sprite.Set(x, y, {(1 - r2) * (1 - r2), 1.0, 0.8, 0.5});
        }
    host::WritePng(dir / "disc.png", sprite);
    std::ofstream(dir / "frame.json") << R"({"comps": [{"name": "Main", "width": 1920, "height": 1080,
      "frameRate": 30, "duration": 1, "layers": [
        {"name": "Camera", "type": "camera", "zoom": 1800,
         "transform": {"position": [960, 400, -1800], "pointOfInterest": [960, 540, 0]}},
        {"name": "Array", "type": "solid", "color": [0, 0, 0, 1], "effects": [{"name": "Strandel", "params": {
          "Path Layer": "Path", "Source Layer 1": "Disc", "Count": 500, "Orientation Mode": "Face Camera",
          "Random/Rotation Z": 180, "Random/Scale": 50}}]},
        {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
          {"time": 0, "value": [200, 700, 400], "outTangent": [500, -600, -300]},
          {"time": 0.5, "value": [960, 300, -200], "inTangent": [-400, 0, 100], "outTangent": [400, 0, -100]},
          {"time": 1, "value": [1720, 700, 400], "inTangent": [-500, -600, -300]}]}}},
        {"name": "Disc", "type": "image", "file": "disc.png", "transform": {"scale": [90, 90, 100]}}]}]})";
    return dir / "frame.json";
}

struct Bench {
    std::unique_ptr<host::Host> host;
    host::EffectInstance* effect = nullptr;
    std::unique_ptr<host::EffectCall> call;
    host::Image spriteImage;
    PF_EffectWorld sprite{};
    SourceList sources;
    RenderSettings settings;

    Bench()
    {
        const fs::path scene = WriteScene();
        host = std::make_unique<host::Host>(test::PluginUnderTest());
        host->GlobalSetup();
        host->OpenProject(host::LoadScene(scene).project);
        effect = host->instances().front().get();
        call = effect->NewCall();
        std::vector<PF_ParamDef> defs(effect->paramCount());
        std::vector<PF_ParamDef*> params;
        for (int i = 0; i < effect->paramCount(); ++i) params.push_back(&(defs[i] = effect->DefAt(i, 0)));
        settings = BuildSettingsFromParams(&call->in, params.data());
        // The source as BuildSourceList describes it: a quad the disc's size, anchored at its centre.
        spriteImage = host::ReadPng(scene.parent_path() / "disc.png");
        sprite = spriteImage.AsEffectWorld();
        const double half = kSprite * 0.9 / 2;
        SourceQuad quad;
        quad.image = ViewOf(sprite, PF_PixelFormat_ARGB32);
        quad.corners[0] = {-half, -half, 0};
        quad.corners[1] = {half, -half, 0};
        quad.corners[2] = {half, half, 0};
        quad.corners[3] = {-half, half, 0};
        quad.uMax = quad.vMax = kSprite - 1;
        sources.push_back({0, {quad}});
    }

    PF_LayerDef OutputShape() const
    {
        PF_LayerDef output{};
        output.width = 1920;
        output.height = 1080;
        return output;
    }

    // Path, camera and array position, as the frame render builds them.
    std::pair<PathTable, CameraInfo> PathAndCamera()
    {
        SuiteCache suites(call->in.pica_basicP);
        const A_Time now{0, 30};
        std::vector<PathKeyframe> keys;
        ReadPathKeyframes(&call->in, suites, now, keys);
        PathTable path = BuildPath(keys, settings);
        CameraInfo camera = ReadCompCamera(&call->in, suites, now, OutputShape());
        ApplyArrayPosition(path, camera, settings);
        return {std::move(path), camera};
    }

    TriangleList Triangles(const PathTable& path, const CameraInfo& camera)
    {
        TriangleList list;
        for (const SpriteInstance& instance : BuildInstances(path, sources, settings, camera))
            for (const SourceQuad& quad : instance.frame->quads) PlaceSprite(instance, quad, settings, camera, list);
        SortTrianglesByDepth(list);
        return list;
    }
};

Bench& Shared()
{
    static Bench bench;
    return bench;
}

void BM_WholeFrameThroughThePlugin(benchmark::State& state)
{
    Bench& b = Shared();
    for (auto _ : state) {
        b.host->render().cache.Clear();
        host::FrameResult r = host::RenderEffectFrame(*b.effect, {0, host::PixelDepth::Eight, 1, false});
        benchmark::DoNotOptimize(r.image);
    }
}

void BM_StagePathAndCamera(benchmark::State& state)
{
    Bench& b = Shared();
    for (auto _ : state) benchmark::DoNotOptimize(b.PathAndCamera());
}

void BM_StageLayoutAndProjection(benchmark::State& state)
{
    Bench& b = Shared();
    auto [path, camera] = b.PathAndCamera();
    std::size_t triangles = 0;
    for (auto _ : state) triangles = b.Triangles(path, camera).size();
    state.counters["triangles"] = double(triangles);
}

void BM_StageDrawing(benchmark::State& state)
{
    Bench& b = Shared();
    auto [path, camera] = b.PathAndCamera();
    const TriangleList list = b.Triangles(path, camera);
    host::Image output(1920, 1080, host::PixelDepth::Eight);
    PF_EffectWorld world = output.AsEffectWorld();
    for (auto _ : state) {
        output.Fill({});
        DepthBuffer depth(1920, 1080);
        DrawTriangleListCpu(list, ViewOf(world, PF_PixelFormat_ARGB32), &depth, AbortCheck{});
    }
}

BENCHMARK(BM_WholeFrameThroughThePlugin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StagePathAndCamera)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StageLayoutAndProjection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StageDrawing)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strandel

BENCHMARK_MAIN();
