// A triangle made ready for the pixel loops: its edges with their fill rule, the planes of 1/z,
// u/z and v/z, and its clamped bounding box. Shared by every instruction-set build of the loop.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "render/Triangles.h"

namespace strandel {

constexpr double kEdgeBand = 1e-8;

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
    Plane invZ; // barycentric 1/z; the pixel's depth is its inverse
    Plane uOverZ, vOverZ;
    int32_t xMin = 0, xMax = -1, yMin = 0, yMax = -1;
    bool narrowSpans = false;
};

// Nothing when the triangle draws no pixel of a width x height output: a vertex not finite or
// not in front of the camera, no area, or a bounding box off the output.
std::optional<TriangleSetup> SetUpTriangle(ScreenVertex a, ScreenVertex b, ScreenVertex c, int32_t width,
                                           int32_t height);

// One row's covered pixels and the planes' values at the first of them.
struct RowRun {
    int32_t first = 0, last = -1;
    double invZ = 0, uOverZ = 0, vOverZ = 0;
};

// The covered pixels of a row form one run (each edge passes a run, and runs intersect to a run);
// false when it is empty. The ends are found with the exact per-pixel edge test.
inline bool CoveredRun(const TriangleSetup& t, int32_t y, RowRun& run)
{
    const double py = y + 0.5;
    const double rowTerms[3] = {t.edges[0].RowTerm(py), t.edges[1].RowTerm(py), t.edges[2].RowTerm(py)};
    double lo = t.xMin, hi = t.xMax;
    if (t.narrowSpans)
        for (int k = 0; k < 3; ++k) t.edges[k].NarrowSpan(rowTerms[k], lo, hi);
    if (!(lo <= hi)) return false;
    // Both ends lie within [xMin, xMax], so truncation is floor and keeps every column in (lo, hi).
    int32_t first = static_cast<int32_t>(lo), last = static_cast<int32_t>(hi);
    const auto covered = [&](int32_t x) {
        const double px = x + 0.5;
        return t.edges[0].Passes(px, rowTerms[0]) && t.edges[1].Passes(px, rowTerms[1]) &&
               t.edges[2].Passes(px, rowTerms[2]);
    };
    while (first <= last && !covered(first)) ++first;
    while (last > first && !covered(last)) --last;
    if (first > last) return false;
    const double px = first + 0.5;
    const double e0 = t.edges[0].At(px, rowTerms[0]), e1 = t.edges[1].At(px, rowTerms[1]),
                 e2 = t.edges[2].At(px, rowTerms[2]);
    run = {first, last, t.invZ.At(e0, e1, e2), t.uOverZ.At(e0, e1, e2), t.vOverZ.At(e0, e1, e2)};
    return true;
}

} // namespace strandel
