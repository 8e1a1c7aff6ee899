#include "curves/CurveModel.h"

#include <cmath>

namespace strandel {
namespace {

// Exactly this many halvings: a fixed cost per evaluation and results that do not depend on t.
constexpr int kBisectionSteps = 28;

double CubicBezier(double p0, double p1, double p2, double p3, double u)
{
    const double v = 1.0 - u;
    return v * v * v * p0 + 3.0 * v * v * u * p1 + 3.0 * v * u * u * p2 + u * u * u * p3;
}

double ClampUnit(double value) { return ClampUpperFirst(value, 0.0, 1.0); }

} // namespace

RampCurve MakeShapeCurve(int shape, bool edited)
{
    RampCurve curve = MakeDefaultCurve(edited);
    CurvePoint& start = curve.points[0];
    CurvePoint& end = curve.points[1];
    const bool easesIn = shape == kShapeEaseIn || shape == kShapeEaseInOut;
    const bool easesOut = shape == kShapeEaseOut || shape == kShapeEaseInOut;
    if (easesIn || easesOut) {
        start.outDx = easesIn ? 0.42 : 0.0;
        start.outDy = 0.0;
        end.inDx = easesOut ? -0.42 : 0.0;
        end.inDy = 0.0;
    }
    NormalizeCurve(curve);
    return curve;
}

double EvaluateCurve(const RampCurve& curve, double t)
{
    RampCurve c = curve;
    NormalizeCurve(c);
    const CurvePoint* p = c.points;
    const int last = c.pointCount - 1;
    // A NaN would match no segment; it reads as the start of the ramp.
    if (std::isnan(t)) return ClampUnit(p[0].y);
    t = ClampUnit(t);
    if (p[0].x >= t) return ClampUnit(p[0].y);
    if (t >= p[last].x) return ClampUnit(p[last].y);

    int k = 1;
    while (p[k].x < t) ++k;
    const CurvePoint& a = p[k - 1];
    const CurvePoint& b = p[k];
    double lo = 0.0, hi = 1.0, m = 0.0;
    for (int step = 0; step < kBisectionSteps; ++step) {
        m = (lo + hi) * 0.5;
        if (t > CubicBezier(a.x, a.x + a.outDx, b.x + b.inDx, b.x, m)) {
            lo = m;
        } else {
            hi = m;
        }
    }
    return ClampUnit(CubicBezier(a.y, a.y + a.outDy, b.y + b.inDy, b.y, m));
}

} // namespace strandel
