#include "render/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "render/TextureSampling.h"

namespace strandel {
namespace {

constexpr double kEdgeBand = 1e-8;
// Past this magnitude the per-row span estimate may be off by more than its one-pixel slack.
constexpr double kSpanCoordinateLimit = 1 << 30;

// Edge function of the directed edge from -> to, positive inside a triangle of positive area,
// evaluated as (px - sx) * dy - (py - sy) * dx in exactly that order. Rounding is monotonic, so
// along a row the value is monotonic too and each edge passes a contiguous run of pixels.
struct Edge {
    double sx = 0, sy = 0, dx = 0, dy = 0;
    // A pixel passes when e > threshold. Within the band around zero only edges running down
    // (or left, when horizontal) pass, so the pixel goes to one of two triangles sharing the edge.
    double threshold = 0;

    Edge() = default;
    Edge(const ScreenVertex& from, const ScreenVertex& to)
        : sx(from.x), sy(from.y), dx(to.x - from.x), dy(to.y - from.y),
          threshold(dy > 0 || (std::fabs(dy) <= 1e-12 && dx < 0)
                        ? std::nextafter(-kEdgeBand, -std::numeric_limits<double>::infinity())
                        : kEdgeBand)
    {
    }

    double RowTerm(double py) const { return (py - sy) * dx; }
    double At(double px, double rowTerm) const { return (px - sx) * dy - rowTerm; }
    bool Passes(double px, double rowTerm) const { return At(px, rowTerm) > threshold; }

    // Shrinks [lo, hi] to the columns that can pass on this row, with a pixel of slack per side.
    void NarrowSpan(double rowTerm, double& lo, double& hi) const
    {
        if (dy == 0) {
            if (!(-rowTerm > threshold)) hi = -1;
            return;
        }
        const double crossing = sx + (rowTerm + threshold) / dy - 0.5;
        if (dy > 0 && crossing - 1 > lo) lo = crossing - 1;
        if (dy < 0 && crossing + 1 < hi) hi = crossing + 1;
    }
};

// A quantity that is linear in the three edge functions; step is its change per pixel along x.
struct Plane {
    double a = 0, b = 0, c = 0;
    double step = 0;

    Plane() = default;
    Plane(double a_, double b_, double c_, const Edge (&edges)[3])
        : a(a_), b(b_), c(c_), step(a_ * edges[0].dy + b_ * edges[1].dy + c_ * edges[2].dy)
    {
    }
    double At(double e0, double e1, double e2) const { return e0 * a + e1 * b + e2 * c; }
};

struct TriangleSetup {
    Edge edges[3]; // B -> C, C -> A, A -> B: edge k vanishes on the side opposite vertex k
    Plane invZ;    // barycentric 1/z; the pixel's depth is its inverse
    Plane uOverZ, vOverZ;
    int32_t xMin = 0, xMax = -1, yMin = 0, yMax = -1;
    bool narrowSpans = false;
};

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

// The covered pixels of a row form one run (each edge passes a run, and runs intersect to a run);
// false when it is empty. The ends are found with the exact per-pixel edge test.
bool CoveredRun(const TriangleSetup& t, const double (&rowTerms)[3], int32_t& first, int32_t& last)
{
    double lo = t.xMin, hi = t.xMax;
    if (t.narrowSpans)
        for (int k = 0; k < 3; ++k) t.edges[k].NarrowSpan(rowTerms[k], lo, hi);
    if (!(lo <= hi)) return false;
    // Both ends lie within [xMin, xMax], so truncation is floor and keeps every column in (lo, hi).
    first = static_cast<int32_t>(lo);
    last = static_cast<int32_t>(hi);
    const auto covered = [&](int32_t x) {
        const double px = x + 0.5;
        return t.edges[0].Passes(px, rowTerms[0]) && t.edges[1].Passes(px, rowTerms[1]) &&
               t.edges[2].Passes(px, rowTerms[2]);
    };
    while (first <= last && !covered(first)) ++first;
    while (last > first && !covered(last)) --last;
    return first <= last;
}

// A pixel that passed coverage, w and depth tests, waiting for its texture lookup.
struct PendingPixel {
    BilinearFootprint footprint;
    double depth;
    int32_t x;
};

// Pixels per batch: geometry for a batch first, then all its texture lookups, so the lookups'
// addresses are known early and their loads overlap instead of waiting on divisions.
constexpr int32_t kBatchPixels = 64;

// One instantiation per (output depth, source depth, depth test): nothing in the pixel loop
// branches on formats.
template <class Out, class Src, bool kDepthTest>
void FillTriangle(const TriangleSetup& t, const ImageView& output, const ImageView& texture, double opacity,
                  double* depthValues)
{
    // Filtered stored units to premultiplied unit colour with the triangle's opacity, valid while
    // the result's alpha stays at most 1 (always, unless a source holds alpha above full scale).
    const float k = Src::kToUnit, op = static_cast<float>(opacity);
    const Channels toPremultiplied = Channels{k, k * k, k * k, k * k} * op;
    const BilinearSampler<Src> sampler(texture);
    PendingPixel pending[kBatchPixels];
    for (int32_t y = t.yMin; y <= t.yMax; ++y) {
        const double py = y + 0.5;
        const double rowTerms[3] = {t.edges[0].RowTerm(py), t.edges[1].RowTerm(py), t.edges[2].RowTerm(py)};
        int32_t first, last;
        if (!CoveredRun(t, rowTerms, first, last)) continue;
        const double px = first + 0.5;
        const double e0 = t.edges[0].At(px, rowTerms[0]), e1 = t.edges[1].At(px, rowTerms[1]),
                     e2 = t.edges[2].At(px, rowTerms[2]);
        const double w0 = t.invZ.At(e0, e1, e2), u0 = t.uOverZ.At(e0, e1, e2), v0 = t.vOverZ.At(e0, e1, e2);
        std::byte* outRow = output.Row(y);
        double* depthRow = kDepthTest ? depthValues + static_cast<std::size_t>(y) * output.width : nullptr;
        for (int32_t batchStart = first; batchStart <= last; batchStart += kBatchPixels) {
            const int32_t batchEnd = std::min(last, batchStart + (kBatchPixels - 1));
            int32_t count = 0;
            double steps = batchStart - first;
            for (int32_t x = batchStart; x <= batchEnd; ++x, ++steps) {
                const double w = w0 + steps * t.invZ.step;
                const double depth = 1 / w;
                // Written unconditionally and kept by advancing count: no branch to mispredict.
                // Rejected pixels may carry NaN or infinite u, v; Locate clamps those safely.
                const double u = (u0 + steps * t.uOverZ.step) * depth, v = (v0 + steps * t.vOverZ.step) * depth;
                pending[count] = {sampler.Locate(u, v), depth, x};
                bool keep = w > 1e-12;
                if constexpr (kDepthTest) keep = keep && depth < depthRow[x] - 1e-7;
                count += keep;
            }
            for (int32_t i = 0; i < count; ++i) {
                const PendingPixel& p = pending[i];
                const Channels filtered = sampler.FilterPremultiplied(p.footprint);
                const float alpha = filtered[0] * k;
                if (!(alpha > 1e-12f)) continue;
                Channels src = filtered * toPremultiplied;
                if (alpha > 1 || src[0] > 1) [[unlikely]] {
                    // Coverage saturates at 1; the colour keeps its straight value.
                    const float s = std::min(std::min(alpha, 1.0f) * op, 1.0f);
                    src = filtered * (Channels{1, k, k, k} * (s / filtered[0]));
                }
                if (!(src[0] > 1e-8f)) continue;
                CompositeOver<Out>(PixelInRow<Out>(outRow, p.x), src);
                if constexpr (kDepthTest) {
                    // Only (nearly) opaque pixels hide what is drawn later behind them.
                    if (src[0] >= 0.999f) depthRow[p.x] = p.depth;
                }
            }
        }
    }
}

// depthValues: null, or width * height values of a buffer that fits the output.
void RasterizeChecked(const SourceQuad& quad, const ImageView& output, const ScreenVertex& a, const ScreenVertex& b,
                      const ScreenVertex& c, double opacity, double* depthValues)
{
    const ImageView& texture = quad.image;
    if (!texture.HasPixels()) return;
    const auto setup = SetUpTriangle(a, b, c, output.width, output.height);
    if (!setup) return;
    WithPixelFormat(output.format, [&]<class Out>(Out) {
        WithPixelFormat(texture.format, [&]<class Src>(Src) {
            if (depthValues)
                FillTriangle<Out, Src, true>(*setup, output, texture, opacity, depthValues);
            else
                FillTriangle<Out, Src, false>(*setup, output, texture, opacity, nullptr);
        });
    });
}

double* UsableDepthValues(DepthBuffer* depthBuffer, const ImageView& output)
{
    return depthBuffer && depthBuffer->Fits(output.width, output.height) ? depthBuffer->values.data() : nullptr;
}

} // namespace

void RasterizeTriangleCpu(const SourceQuad& quad, const ImageView& output, const ScreenVertex& a,
                          const ScreenVertex& b, const ScreenVertex& c, double opacity, DepthBuffer* depthBuffer)
{
    if (!output.HasPixels()) return;
    RasterizeChecked(quad, output, a, b, c, opacity, UsableDepthValues(depthBuffer, output));
}

void DrawTriangleListCpu(const TriangleList& list, const ImageView& output, DepthBuffer* depthBuffer,
                         const AbortCheck& abortCheck)
{
    if (!output.HasPixels()) return;
    double* depthValues = UsableDepthValues(depthBuffer, output);
    for (const ScreenTriangle& t : list) {
        if (t.quad) {
            RasterizeChecked(*t.quad, output, t.A, t.B, t.C, t.opacity, depthValues);
            if (!(t.D == t.A)) RasterizeChecked(*t.quad, output, t.A, t.C, t.D, t.opacity, depthValues);
        }
        if (abortCheck()) return;
    }
}

} // namespace strandel
