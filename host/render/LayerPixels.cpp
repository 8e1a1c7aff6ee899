#include "host/render/LayerPixels.h"

#include "host/Host.h"
#include "host/image/BoxReduce.h"
#include "host/project/LayerQueries.h"
#include "host/project/LayerSource.h"
#include "host/render/CompRenderer.h"
#include "host/render/EffectRenderer.h"
#include "host/render/RenderFailure.h"

namespace strandel::host {
namespace {

int Reduced(int size, int factor) { return (size + factor - 1) / factor; }

std::optional<Image> SourcePixels(Host& host, const Layer& layer, double seconds, PixelDepth depth)
{
    return LayerSourcePixels(
        host.project(), layer, seconds, depth, host.files(),
        [&host](const Composition& comp, double t, PixelDepth d) { return RenderCompThroughHost(host, comp, t, d); });
}

// Of several effects on one layer, the last one applied is what shows.
EffectInstance* LastEffectOn(Host& host, const Layer& layer)
{
    EffectInstance* last = nullptr;
    for (const auto& fx : host.instances())
        if (fx->layer == &layer && (!last || fx->effectIndex > last->effectIndex)) last = fx.get();
    return last;
}

std::optional<Image> EffectOrSourcePixels(Host& host, const Layer& layer, double seconds, PixelDepth depth)
{
    EffectInstance* effect = LastEffectOn(host, layer);
    const Composition* comp = host.project().CompOfLayer(layer);
    if (!effect || !comp) return SourcePixels(host, layer, seconds, depth);
    FrameResult result = RenderEffectFrame(*effect, {FrameAtSeconds(comp->timeBase, seconds), depth, 1, false});
    if (result.err != PF_Err_NONE) throw RenderFailure(result.err);
    return std::move(result.image);
}

} // namespace

std::optional<Image> LayerCheckoutPixels(Host& host, const Layer& layer, double seconds, PixelDepth depth,
                                         int downsample)
{
    std::optional<Image> pixels = SourcePixels(host, layer, seconds, depth);
    if (pixels && downsample > 1) pixels = BoxReduce(*pixels, downsample);
    return pixels;
}

PF_LRect LayerCheckoutBounds(const Project& project, const Layer* layer, int downsample)
{
    const std::optional<ImageSize> size = layer ? LayerSourceSize(project, *layer) : std::nullopt;
    if (!size) return {0, 0, 0, 0};
    return {0, 0, Reduced(size->width, downsample), Reduced(size->height, downsample)};
}

Image RenderCompThroughHost(Host& host, const Composition& comp, double seconds, PixelDepth depth)
{
    return RenderCompFlat(host.project(), comp, seconds, depth, [&host](const Layer& layer, double t, PixelDepth d) {
        return EffectOrSourcePixels(host, layer, t, d);
    });
}

} // namespace strandel::host
