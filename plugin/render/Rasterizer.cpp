#include "render/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace strandel {

// Past this magnitude the per-row span estimate may be off by more than its one-pixel slack.
constexpr double kSpanCoordinateLimit = 1 << 30;

std::optional<TriangleSetup> SetUpTriangle(ScreenVertex a, ScreenVertex b, ScreenVertex c, int32_t width,
                                           int32_t height)
{
    for (const ScreenVertex* v : {&a, &b, &c})
        if (!IsFiniteVertex(*v) || !(v->z > 1e-12)) return std::nullopt;
    double area = (b.y - a.y) * (c.x - a.x) - (b.x - a.x) * (c.y - a.y);
    if (!(std::fabs(area) > 1e-8) || !std::isfinite(area)) return std::nullopt;
    if (area < 0) {
        std::swap(b, c);
        area = -area;
    }

    // Clamped while still floating point: far off-screen vertices must not reach an integer cast.
    const double xLo = std::max(0.0, std::floor(std::min({a.x, b.x, c.x})));
    const double xHi = std::min(width - 1.0, std::ceil(std::max({a.x, b.x, c.x})));
    const double yLo = std::max(0.0, std::floor(std::min({a.y, b.y, c.y})));
    const double yHi = std::min(height - 1.0, std::ceil(std::max({a.y, b.y, c.y})));
    if (!(xLo <= xHi) || !(yLo <= yHi)) return std::nullopt;

    TriangleSetup t;
    t.edges[0] = Edge(b, c);
    t.edges[1] = Edge(c, a);
    t.edges[2] = Edge(a, b);
    for (const Edge& e : t.edges)
        if (!std::isfinite(e.dx) || !std::isfinite(e.dy)) return std::nullopt;
    const double invArea = 1 / area;
    const double wa = invArea / a.z, wb = invArea / b.z, wc = invArea / c.z;
    t.invZ = Plane(wa, wb, wc, t.edges);
    t.uOverZ = Plane(wa * a.u, wb * b.u, wc * c.u, t.edges);
    t.vOverZ = Plane(wa * a.v, wb * b.v, wc * c.v, t.edges);
    t.xMin = static_cast<int32_t>(xLo);
    t.xMax = static_cast<int32_t>(xHi);
    t.yMin = static_cast<int32_t>(yLo);
    t.yMax = static_cast<int32_t>(yHi);
    t.narrowSpans = std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(b.x), std::fabs(b.y), std::fabs(c.x),
                              std::fabs(c.y)}) <= kSpanCoordinateLimit;
    return t;
}

namespace {

using FillFn = void (*)(const TriangleSetup&, const ImageView&, PixelFormat, const TexelSource&, double, double*);

// The build to draw with for path; the AVX2 build also needs strides within 32 bits.
FillFn FillFor(RasterPath path, const ImageView& output, const ImageView& source)
{
    const auto fits32 = [](std::ptrdiff_t stride) { return stride >= INT32_MIN && stride <= INT32_MAX; };
    if (path == RasterPath::Avx2 && IsRasterPathAvailable(path) && fits32(output.rowBytes) && fits32(source.rowBytes))
        return FillTriangleAvx2;
    return FillTriangleBaseline;
}

// depthValues: null, or width * height values of a buffer that fits the output.
void RasterizeChecked(RasterPath path, const SourceQuad& quad, const ImageView& output, const ScreenVertex& a,
                      const ScreenVertex& b, const ScreenVertex& c, double opacity, double* depthValues)
{
    if (!quad.image.HasPixels()) return;
    const auto setup = SetUpTriangle(a, b, c, output.width, output.height);
    if (!setup) return;
    std::vector<std::byte> padding;
    const TexelSource texels = PairedTexels(quad.image, padding);
    FillFor(path, output, quad.image)(*setup, output, quad.image.format, texels, opacity, depthValues);
}

double* UsableDepthValues(DepthBuffer* depthBuffer, const ImageView& output)
{
    return depthBuffer && depthBuffer->Fits(output.width, output.height) ? depthBuffer->values.data() : nullptr;
}

} // namespace

void RasterizeTriangleCpu(const SourceQuad& quad, const ImageView& output, const ScreenVertex& a, const ScreenVertex& b,
                          const ScreenVertex& c, double opacity, DepthBuffer* depthBuffer, RasterPath path)
{
    if (!output.HasPixels()) return;
    RasterizeChecked(path, quad, output, a, b, c, opacity, UsableDepthValues(depthBuffer, output));
}

void DrawTriangleListCpu(const TriangleList& list, const ImageView& output, DepthBuffer* depthBuffer,
                         const AbortCheck& abortCheck, RasterPath path)
{
    if (!output.HasPixels()) return;
    double* depthValues = UsableDepthValues(depthBuffer, output);
    for (const ScreenTriangle& t : list) {
        if (t.quad) {
            RasterizeChecked(path, *t.quad, output, t.A, t.B, t.C, t.opacity, depthValues);
            if (!(t.D == t.A)) RasterizeChecked(path, *t.quad, output, t.A, t.C, t.D, t.opacity, depthValues);
        }
        if (abortCheck()) return;
    }
}

} // namespace strandel
