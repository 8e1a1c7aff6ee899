#include "host/render/CompRenderer.h"

#include <cmath>
#include <vector>

namespace strandel::host {
namespace {

// Points closer to the camera's plane than this are not drawn.
constexpr double kNearDepth = 1e-6;

Vec3 Row(const Matrix4& m, int row) { return {m.m[row][0], m.m[row][1], m.m[row][2]}; }

// Premultiplied while mixing, so transparent texels lend no colour; texel (i, j) centres on
// (i + 0.5, j + 0.5) and everything outside the image is transparent.
PixelValue SampleBilinear(const Image& image, double u, double v)
{
    const double x = u - 0.5, y = v - 0.5;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    PixelValue sum;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const int tx = x0 + dx, ty = y0 + dy;
            if (tx < 0 || ty < 0 || tx >= image.Width() || ty >= image.Height()) continue;
            const double w = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy);
            const PixelValue p = image.Get(tx, ty);
            sum.a += w * p.a;
            sum.r += w * p.a * p.r;
            sum.g += w * p.a * p.g;
            sum.b += w * p.a * p.b;
        }
    if (sum.a <= 0) return {};
    return {sum.a, sum.r / sum.a, sum.g / sum.a, sum.b / sum.a};
}

PixelValue Over(const PixelValue& top, const PixelValue& below)
{
    const double under = below.a * (1 - top.a);
    const double a = top.a + under;
    if (a <= 0) return {};
    auto mix = [&](double t, double b) { return (t * top.a + b * under) / a; };
    return {a, mix(top.r, below.r), mix(top.g, below.g), mix(top.b, below.b)};
}

// Each comp pixel centre is taken back into the layer and sampled there.
void DrawLayer(const Image& pixels, const Rows3& screenToLayer, std::vector<PixelValue>& canvas, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Vec3 q = screenToLayer.Apply({x + 0.5, y + 0.5, 1});
            if (!(q.z > 0) || 1 / q.z < kNearDepth) continue; // behind the camera
            const double u = q.x / q.z, v = q.y / q.z;
            if (u < -1 || v < -1 || u > pixels.Width() + 1 || v > pixels.Height() + 1) continue;
            const PixelValue p = SampleBilinear(pixels, u, v);
            if (p.a <= 0) continue;
            PixelValue& dst = canvas[static_cast<std::size_t>(y) * width + x];
            dst = Over(p, dst);
        }
}

} // namespace

std::optional<Rows3> Inverse(const Rows3& m)
{
    const Vec3 c0 = Cross(m.r[1], m.r[2]), c1 = Cross(m.r[2], m.r[0]), c2 = Cross(m.r[0], m.r[1]);
    const double det = Dot(m.r[0], c0);
    if (!std::isfinite(det) || std::fabs(det) < 1e-12) return std::nullopt;
    // The columns of the inverse are the cross products over the determinant.
    return Rows3{{Vec3{c0.x, c1.x, c2.x} / det, Vec3{c0.y, c1.y, c2.y} / det, Vec3{c0.z, c1.z, c2.z} / det}};
}

Rows3 LayerToScreen(const Matrix4& layerToWorld, bool threeD, const CameraView& camera, const Composition& comp)
{
    const Vec3 a = Row(layerToWorld, 0), b = Row(layerToWorld, 1), o = Row(layerToWorld, 3);
    if (!threeD) return {{{a.x, a.y, 0}, {b.x, b.y, 0}, {o.x, o.y, 1}}};
    const Rows3 cameraAxes{{Row(camera.cameraToWorld, 0), Row(camera.cameraToWorld, 1), Row(camera.cameraToWorld, 2)}};
    const Rows3 worldToCamera = Inverse(cameraAxes).value_or(Rows3{{{}, {}, {}}});
    const double cx = comp.width / 2.0, cy = comp.height / 2.0, zoom = camera.zoom;
    auto project = [&](const Vec3& c) { return Vec3{zoom * c.x + cx * c.z, zoom * c.y + cy * c.z, c.z}; };
    return {{project(worldToCamera.Apply(a)), project(worldToCamera.Apply(b)),
             project(worldToCamera.Apply(o - Row(camera.cameraToWorld, 3)))}};
}

Image RenderCompFlat(const Project& project, const Composition& comp, double seconds, PixelDepth depth,
                     const LayerPixelsFn& layerPixels)
{
    const int width = comp.width, height = comp.height;
    std::vector<PixelValue> canvas(static_cast<std::size_t>(width) * height);
    const CameraView camera = CompCamera(project, comp, seconds);
    for (auto it = comp.layers.rbegin(); it != comp.layers.rend(); ++it) {
        const Layer& layer = *it;
        if (!layer.enabled || layer.type == LayerType::Camera || layer.type == LayerType::Null) continue;
        const std::optional<Image> pixels = layerPixels(layer, seconds, depth);
        if (!pixels || pixels->Empty()) continue;
        const auto toLayer = Inverse(LayerToScreen(LayerToWorld(project, layer, seconds), layer.threeD, camera, comp));
        if (toLayer) DrawLayer(*pixels, *toLayer, canvas, width, height); // singular: seen edge-on
    }
    Image out(width, height, depth);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.Set(x, y, canvas[static_cast<std::size_t>(y) * width + x]);
    return out;
}

} // namespace strandel::host
