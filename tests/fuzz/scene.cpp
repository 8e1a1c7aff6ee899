// Any bytes as a scene file: the JSON reader, the project model it builds, the effect's
// parameters applied through the loaded plug-in, and, for small comps, one frame of each effect.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "host/Host.h"
#include "host/HostError.h"
#include "host/io/FileError.h"
#include "host/project/LayerQueries.h"
#include "host/project/Transforms.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneError.h"
#include "host/scene/SceneReader.h"
#include "support/TestPaths.h"

namespace {

using namespace strandel::host;

// Frames are drawn only for comps this small, so that one input stays within milliseconds.
constexpr long kMaxRenderedPixels = 96 * 96;

Host& TheHost()
{
    static std::unique_ptr<Host> host = [] {
        auto h = std::make_unique<Host>(HostOptions{strandel::test::PluginPath()});
        if (h->GlobalSetup() != PF_Err_NONE) std::abort();
        return h;
    }();
    return *host;
}

void Visit(const Project& project)
{
    for (const Composition& comp : project.comps) {
        const double times[] = {0, comp.duration / 2, comp.duration, -1, 1e9};
        for (double t : times) {
            CompCamera(project, comp, t);
            for (const Layer& layer : comp.layers) {
                LayerToWorld(project, layer, t);
                WorldToLayer(project, layer, t);
            }
        }
        for (const Layer& layer : comp.layers) {
            LayerFlags(layer);
            LayerObjectType(layer);
            LayerSourceSize(project, layer);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    TheHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Host& host = TheHost();
    LoadedScene scene;
    try {
        scene = ParseScene(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const SceneError&) {
        return 0;
    } catch (const FileError&) {
        return 0;
    }
    Visit(scene.project);
    try {
        host.OpenProject(std::move(scene.project));
    } catch (const HostError&) {
        return 0;
    }
    for (const auto& instance : host.instances()) {
        const Composition* comp = host.project().CompOfLayer(*instance->layer);
        if (!comp || long(comp->width) * comp->height > kMaxRenderedPixels) continue;
        try {
            const FrameResult frame =
                RenderEffectFrame(*instance, {comp->FrameCount() / 2, PixelDepth::Eight, 1, false});
            if (!frame.leaks.empty()) std::abort();
        } catch (const HostError&) {
        }
    }
    host.OpenProject({});
    return 0;
}
