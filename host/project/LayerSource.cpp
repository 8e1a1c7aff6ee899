#include "host/project/LayerSource.h"

#include <algorithm>
#include <cmath>

#include "host/image/PngFile.h"
#include "host/project/ImageSequence.h"
#include "host/project/LayerQueries.h"

namespace strandel::host {
namespace {

constexpr int kEllipseSamples = 8; // per axis and pixel

double Overlap(double a0, double a1, double b0, double b1)
{
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

// Fraction of pixel (x, y) inside the shape: exact for rectangles, sampled for ellipses.
double ShapeCoverage(ShapeKind kind, const Point2& centre, const Point2& size, int x, int y)
{
    const double hx = size.x / 2, hy = size.y / 2;
    if (kind == ShapeKind::Rect)
        return Overlap(x, x + 1, centre.x - hx, centre.x + hx) * Overlap(y, y + 1, centre.y - hy, centre.y + hy);
    if (hx <= 0 || hy <= 0) return 0;
    int inside = 0;
    for (int sy = 0; sy < kEllipseSamples; ++sy)
        for (int sx = 0; sx < kEllipseSamples; ++sx) {
            const double dx = (x + (sx + 0.5) / kEllipseSamples - centre.x) / hx;
            const double dy = (y + (sy + 0.5) / kEllipseSamples - centre.y) / hy;
            inside += dx * dx + dy * dy <= 1.0;
        }
    return static_cast<double>(inside) / (kEllipseSamples * kEllipseSamples);
}

// Into the layer's bounds, which `image` spans.
void DrawShape(const Layer& layer, Image& image)
{
    const double w = image.Width(), h = image.Height();
    const Point2 size = layer.shape.size.value_or(Point2{w, h});
    const Point2 centre = layer.shape.centre.value_or(Point2{w / 2, h / 2});
    const Color& c = layer.color;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const double coverage = ShapeCoverage(layer.shape.kind, centre, size, x, y);
            if (coverage > 0) image.Set(x, y, {c.a * coverage, c.r, c.g, c.b});
        }
}

} // namespace

std::shared_ptr<const Image> ImageFileCache::Get(const std::filesystem::path& file)
{
    {
        std::lock_guard lock(mutex_);
        if (auto found = images_.find(file); found != images_.end()) return found->second;
    }
    // Decode outside the lock; two threads racing for one file both decode and one copy wins.
    auto image = std::make_shared<const Image>(ReadPng(file));
    std::lock_guard lock(mutex_);
    return images_.try_emplace(file, std::move(image)).first->second;
}

std::filesystem::path ImageFileAt(const Composition& comp, const Layer& layer, double seconds)
{
    const ImageFootage& footage = layer.image;
    if (!footage.sequence) return footage.resolved;
    const std::int64_t frame =
        std::clamp<std::int64_t>(FrameAtSeconds(comp.timeBase, seconds), 0, std::max(footage.frameCount, 1) - 1);
    return SequenceFramePath(footage.resolved, frame);
}

std::optional<Image> LayerSourcePixels(const Project& project, const Layer& layer, double seconds, PixelDepth depth,
                                       ImageFileCache& files, const PrecompRenderHook& renderPrecomp)
{
    if (layer.type == LayerType::Image) {
        const Composition* comp = project.CompOfLayer(layer);
        if (!comp) return std::nullopt;
        const auto image = files.Get(ImageFileAt(*comp, layer, seconds));
        return image->Depth() == depth ? *image : ConvertDepth(*image, depth);
    }
    if (layer.type == LayerType::Precomp) {
        const Composition* comp = project.CompByName(layer.comp);
        if (!comp || !renderPrecomp) return std::nullopt;
        return renderPrecomp(*comp, seconds, depth);
    }
    const std::optional<ImageSize> size = LayerSourceSize(project, layer);
    if (!size) return std::nullopt;
    Image image(size->width, size->height, depth);
    if (layer.type == LayerType::Solid) image.Fill({layer.color.a, layer.color.r, layer.color.g, layer.color.b});
    if (layer.type == LayerType::Shape) DrawShape(layer, image);
    return image;
}

} // namespace strandel::host
