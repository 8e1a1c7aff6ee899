#include "curves/CurveEditing.h"

#include <algorithm>

namespace strandel {
namespace {

constexpr double kGraphInset = 10.0;
constexpr double kPointHitRadius = 7.0;
constexpr double kHandleHitRadius = 6.0;
constexpr double kCurveHitRadius = 5.0;
constexpr int kSamplesPerSegment = 24;
// The closest two neighbouring points may come, and the least room a point needs between them.
constexpr double kMinPointGap = 0.0001;
constexpr double kMinRoom = 2 * kMinPointGap;
constexpr double kDegenerateLengthSquared = 1e-12;

double Unit(double v) { return ClampUpperFirst(v, 0.0, 1.0); }

double DistanceSquared(Point2 a, Point2 b)
{
    const double dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

double DistanceToPieceSquared(Point2 m, Point2 a, Point2 b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    if (lengthSquared <= kDegenerateLengthSquared) return DistanceSquared(m, a);
    const double t = std::clamp(((m.x - a.x) * dx + (m.y - a.y) * dy) / lengthSquared, 0.0, 1.0);
    return DistanceSquared(m, {a.x + t * dx, a.y + t * dy});
}

double Cubic(double p0, double p1, double p2, double p3, double t)
{
    const double u = 1.0 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

Point2 Offset(const CurvePoint& p, double dx, double dy) { return {p.x + dx, p.y + dy}; }

} // namespace

GraphRect CurveGraphRect(double left, double top, double right, double bottom)
{
    const double x0 = left + kGraphInset, y0 = top + kGraphInset;
    return {x0, y0, std::max(right - kGraphInset, x0 + 1), std::max(bottom - kGraphInset, y0 + 1)};
}

Point2 CurveToScreen(const GraphRect& r, double x, double y)
{
    return {r.x0 + (r.x1 - r.x0) * Unit(x), r.y1 - (r.y1 - r.y0) * Unit(y)};
}

Point2 ScreenToCurve(const GraphRect& r, Point2 mouse)
{
    return {Unit((mouse.x - r.x0) / (r.x1 - r.x0)), Unit((r.y1 - mouse.y) / (r.y1 - r.y0))};
}

Point2 InHandleEnd(const CurvePoint& p) { return Offset(p, p.inDx, p.inDy); }
Point2 OutHandleEnd(const CurvePoint& p) { return Offset(p, p.outDx, p.outDy); }

CurveHit CurveHitTest(const RampCurve& curve, const GraphRect& rect, Point2 mouse)
{
    CurveHit hit;
    auto nearer = [&](Point2 at, double& best) {
        const double d = DistanceSquared(mouse, CurveToScreen(rect, at.x, at.y));
        if (d > best) return false;
        best = d;
        return true;
    };
    double best = kHandleHitRadius * kHandleHitRadius;
    for (int k = 0; k < curve.pointCount; ++k) {
        const CurvePoint& p = curve.points[k];
        if (k > 0 && nearer(InHandleEnd(p), best)) hit = {CurveHitKind::InHandle, k};
        if (k + 1 < curve.pointCount && nearer(OutHandleEnd(p), best)) hit = {CurveHitKind::OutHandle, k};
    }
    best = kPointHitRadius * kPointHitRadius;
    for (int k = 0; k < curve.pointCount; ++k)
        if (nearer({curve.points[k].x, curve.points[k].y}, best)) hit = {CurveHitKind::Point, k};
    return hit;
}

bool IsNearCurve(const RampCurve& curve, const GraphRect& rect, Point2 mouse)
{
    constexpr double kLimit = kCurveHitRadius * kCurveHitRadius;
    for (int k = 0; k + 1 < curve.pointCount; ++k) {
        const CurvePoint& a = curve.points[k];
        const CurvePoint& b = curve.points[k + 1];
        const Point2 c1 = OutHandleEnd(a), c2 = InHandleEnd(b);
        Point2 previous = CurveToScreen(rect, a.x, a.y);
        for (int i = 1; i <= kSamplesPerSegment; ++i) {
            const double t = double(i) / kSamplesPerSegment;
            const Point2 sample = CurveToScreen(rect, Cubic(a.x, c1.x, c2.x, b.x, t), Cubic(a.y, c1.y, c2.y, b.y, t));
            if (DistanceToPieceSquared(mouse, previous, sample) <= kLimit) return true;
            previous = sample;
        }
    }
    return false;
}

int InsertCurvePoint(RampCurve& curve, double x, double y)
{
    NormalizeCurve(curve);
    const int count = curve.pointCount;
    if (count <= 1 || count >= kMaxCurvePoints) return -1;
    int k = 1;
    while (k < count && x > curve.points[k].x) ++k;
    if (k >= count) return -1;
    const CurvePoint left = curve.points[k - 1], right = curve.points[k];
    if (right.x - left.x <= kMinRoom) return -1;
    x = ClampUpperFirst(x, left.x + kMinPointGap, right.x - kMinPointGap);
    if (!(x > left.x && x < right.x)) return -1;
    y = Unit(y);

    std::copy_backward(curve.points + k, curve.points + count, curve.points + count + 1);
    curve.pointCount = count + 1;
    curve.points[k] = {x, y, (left.x - x) / 3, (left.y - y) / 3, (right.x - x) / 3, (right.y - y) / 3};
    curve.points[k - 1].outDx = (x - left.x) / 3;
    curve.points[k - 1].outDy = (y - left.y) / 3;
    curve.points[k + 1].inDx = (x - right.x) / 3;
    curve.points[k + 1].inDy = (y - right.y) / 3;
    curve.flags |= 1u;
    NormalizeCurve(curve);
    return k;
}

bool DeleteCurvePoint(RampCurve& curve, int index)
{
    const int count = curve.pointCount;
    if (count <= 2 || index <= 0 || index >= count - 1) return false;
    std::copy(curve.points + index + 1, curve.points + count, curve.points + index);
    curve.pointCount = count - 1;
    CurvePoint& left = curve.points[index - 1];
    CurvePoint& right = curve.points[index];
    left.outDx = (right.x - left.x) / 3;
    left.outDy = (right.y - left.y) / 3;
    right.inDx = (left.x - right.x) / 3;
    right.inDy = (left.y - right.y) / 3;
    curve.flags |= 1u;
    NormalizeCurve(curve);
    return true;
}

bool DragCurveElement(RampCurve& curve, CurveHit hit, double tx, double ty)
{
    const int k = hit.point, count = curve.pointCount;
    if (k < 0 || k >= count) return false;
    CurvePoint& p = curve.points[k];
    switch (hit.kind) {
    case CurveHitKind::Point:
        if (k == 0) {
            p.x = 0.0;
        } else if (k == count - 1) {
            p.x = 1.0;
        } else {
            const double previous = curve.points[k - 1].x, next = curve.points[k + 1].x;
            if (next - previous <= kMinRoom) return false;
            p.x = ClampUpperFirst(tx, previous + kMinPointGap, next - kMinPointGap);
        }
        p.y = Unit(ty);
        break;
    case CurveHitKind::InHandle:
        if (k < 1) return false;
        p.inDx = tx - p.x;
        p.inDy = ty - p.y;
        break;
    case CurveHitKind::OutHandle:
        if (k + 1 >= count) return false;
        p.outDx = tx - p.x;
        p.outDy = ty - p.y;
        break;
    default: return false;
    }
    curve.flags |= 1u;
    NormalizeCurve(curve);
    return true;
}

} // namespace strandel
