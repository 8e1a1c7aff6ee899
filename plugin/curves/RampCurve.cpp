#include "curves/RampCurve.h"

#include <cmath>
#include <cstring>

namespace strandel {
namespace {

constexpr double kThird = 1.0 / 3.0;
// Consecutive points closer than this in x would make a segment's x(u) degenerate.
constexpr double kMinPointGap = 0.000001;

bool HasFiniteValues(const CurvePoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.inDx) && std::isfinite(p.inDy) &&
           std::isfinite(p.outDx) && std::isfinite(p.outDy);
}

bool IsStructurallyValid(const RampCurve& curve)
{
    if (curve.version != 1 || curve.pointCount < 2 || curve.pointCount > kMaxCurvePoints) return false;
    for (int i = 0; i < curve.pointCount; ++i) {
        if (!HasFiniteValues(curve.points[i])) return false;
    }
    return true;
}

// Keeps every handle inside its own segment in x, so each segment's x(u) is monotonic, and
// keeps every handle's absolute y on the unit square.
void ClampCurveHandles(RampCurve& curve)
{
    const int last = curve.pointCount - 1;
    for (int i = 0; i <= last; ++i) {
        CurvePoint& p = curve.points[i];
        if (i > 0) {
            p.inDx = ClampUpperFirst(p.inDx, curve.points[i - 1].x - p.x, 0.0);
            p.inDy = ClampUpperFirst(p.inDy, -p.y, 1.0 - p.y);
        } else {
            p.inDx = p.inDy = 0.0;
        }
        if (i < last) {
            p.outDx = ClampUpperFirst(p.outDx, 0.0, curve.points[i + 1].x - p.x);
            p.outDy = ClampUpperFirst(p.outDy, -p.y, 1.0 - p.y);
        } else {
            p.outDx = p.outDy = 0.0;
        }
    }
}

} // namespace

RampCurve MakeDefaultCurve(bool edited)
{
    RampCurve c{};
    c.version = 1;
    c.flags = edited ? 1u : 0u;
    c.pointCount = 2;
    c.points[0] = {0.0, 0.0, 0.0, 0.0, kThird, kThird};
    c.points[1] = {1.0, 1.0, -kThird, -kThird, 0.0, 0.0};
    return c;
}

bool NormalizeCurve(RampCurve& curve)
{
    const bool edited = curve.Edited();
    if (!IsStructurallyValid(curve)) {
        curve = MakeDefaultCurve(edited);
        return false;
    }
    curve.flags = edited ? 1u : 0u;
    curve.reserved = 0;
    const int last = curve.pointCount - 1;
    CurvePoint* p = curve.points;
    p[0].x = 0.0;
    p[last].x = 1.0;
    p[0].y = ClampUpperFirst(p[0].y, 0.0, 1.0);
    p[last].y = ClampUpperFirst(p[last].y, 0.0, 1.0);
    for (int i = 1; i < last; ++i) {
        p[i].x = ClampUpperFirst(p[i].x, 0.0, 1.0);
        p[i].y = ClampUpperFirst(p[i].y, 0.0, 1.0);
    }
    for (int i = 0; i < last; ++i) {
        if (p[i].x + kMinPointGap >= p[i + 1].x) {
            curve = MakeDefaultCurve(edited);
            return false;
        }
    }
    ClampCurveHandles(curve);
    for (int i = curve.pointCount; i < kMaxCurvePoints; ++i) p[i] = CurvePoint{};
    return true;
}

} // namespace strandel
