#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <algorithm>
#include <random>
#include <vector>

#include "support/CurveTestSupport.h"

namespace strandel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// 28 halvings leave the Bezier parameter within 2^-28; y moves at most 3 per unit of it.
constexpr double kBisectionTolerance = 2e-8;

struct Point2 {
    double x, y;
};

Point2 Lerp(Point2 a, Point2 b, double u) { return {a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u}; }

// De Casteljau: a forward route to points on a segment, independent of the evaluator's inversion.
Point2 PointOnSegment(Point2 p0, Point2 p1, Point2 p2, Point2 p3, double u)
{
    const Point2 a = Lerp(p0, p1, u), b = Lerp(p1, p2, u), c = Lerp(p2, p3, u);
    const Point2 d = Lerp(a, b, u), e = Lerp(b, c, u);
    return Lerp(d, e, u);
}

TEST(CurveEvaluation, ShapesMatchForwardEvaluationOfThePopupTable)
{
    struct Shape {
        int shape;
        Point2 p1, p2; // absolute control points of the single segment
    };
    const double third = 1.0 / 3.0;
    const Point2 origin{0, 0}, corner{1, 1};
    for (const Shape& s : {Shape{1, {third, third}, {1 - third, 1 - third}}, Shape{2, {0.42, 0}, {1, 1}},
                           Shape{3, {0, 0}, {0.58, 1}}, Shape{4, {0.42, 0}, {0.58, 1}}}) {
        const RampCurve c = MakeShapeCurve(s.shape, false);
        EXPECT_FALSE(c.Edited());
        EXPECT_TRUE(MakeShapeCurve(s.shape, true).Edited());
        for (double u = 0.05; u < 1; u += 0.1) {
            const Point2 on = PointOnSegment(origin, s.p1, s.p2, corner, u);
            EXPECT_NEAR(EvaluateCurve(c, on.x), on.y, kBisectionTolerance) << "shape " << s.shape << " u " << u;
        }
    }
    for (int other : {0, 5, -1, 1000}) {
        EXPECT_TRUE(test::SameBytes(MakeShapeCurve(other, true), MakeDefaultCurve(true))) << other;
    }
    // Worked by hand at u = 1/2: Ease In passes through (0.6575, 0.5), Ease Out through (0.3425, 0.5).
    EXPECT_NEAR(EvaluateCurve(MakeShapeCurve(kShapeEaseIn, false), 0.6575), 0.5, kBisectionTolerance);
    EXPECT_NEAR(EvaluateCurve(MakeShapeCurve(kShapeEaseOut, false), 0.3425), 0.5, kBisectionTolerance);
    EXPECT_NEAR(EvaluateCurve(MakeShapeCurve(kShapeEaseInOut, false), 0.5), 0.5, kBisectionTolerance);
    for (double t = 0; t <= 1; t += 1.0 / 64) {
        EXPECT_NEAR(EvaluateCurve(MakeDefaultCurve(false), t), t, kBisectionTolerance);
    }
    RampCurve broken = MakeShapeCurve(kShapeEaseIn, false);
    broken.version = 9; // read as the identity
    EXPECT_NEAR(EvaluateCurve(broken, 0.25), 0.25, kBisectionTolerance);
}

TEST(CurveEvaluation, AnswersAtTheLastOf28Midpoints)
{
    // On the identity y(u) = u, so the answer is the parameter itself: the midpoint of the 28th
    // halving is an odd multiple of 2^-28 (27 or 29 halvings, or the final interval's centre, are not).
    for (double t : {0.1, 0.2718, 0.3337, 0.5, 0.61, 0.999}) {
        const double scaled = std::ldexp(EvaluateCurve(MakeDefaultCurve(false), t), 28);
        EXPECT_NEAR(scaled, std::round(scaled), 1e-6) << t;
        EXPECT_EQ(std::llround(scaled) % 2, 1) << t;
    }
}

TEST(CurveEvaluation, FindsTheSegmentAndHoldsTheEnds)
{
    // Straight handles at the thirds make each segment a straight line: (0,0)-(0.25,0.75)-(1,1).
    RampCurve c = MakeDefaultCurve(true);
    c.pointCount = 3;
    c.points[0] = {0, 0, 0, 0, 0.25 / 3, 0.75 / 3};
    c.points[1] = {0.25, 0.75, -0.25 / 3, -0.75 / 3, 0.75 / 3, 0.25 / 3};
    c.points[2] = {1, 1, -0.75 / 3, -0.25 / 3, 0, 0};
    const Point2 expected[] = {{0.125, 0.375}, {0.25, 0.75}, {0.625, 0.875}, {0.8125, 0.9375}};
    for (const Point2& e : expected) EXPECT_NEAR(EvaluateCurve(c, e.x), e.y, kBisectionTolerance) << e.x;

    const RampCurve ends = test::ThreePoints(false); // y runs from 0.1 to 0.9
    for (double below : {0.0, -0.001, -5.0, -kInf, kNaN}) EXPECT_EQ(EvaluateCurve(ends, below), 0.1) << below;
    for (double above : {1.0, 1.001, 7.0, kInf}) EXPECT_EQ(EvaluateCurve(ends, above), 0.9) << above;
}

// Every rule a repaired record keeps; small tolerances where a handle end is a sum of doubles.
void ExpectRepairedInvariants(const RampCurve& c)
{
    ASSERT_EQ(c.version, 1u);
    ASSERT_LE(c.flags, 1u);
    ASSERT_EQ(c.reserved, 0u);
    ASSERT_GE(c.pointCount, 2);
    ASSERT_LE(c.pointCount, kMaxCurvePoints);
    const int last = c.pointCount - 1;
    const CurvePoint* p = c.points;
    EXPECT_EQ(p[0].x, 0.0);
    EXPECT_EQ(p[last].x, 1.0);
    EXPECT_TRUE(p[0].inDx == 0 && p[0].inDy == 0 && p[last].outDx == 0 && p[last].outDy == 0);
    const double eps = 1e-12;
    for (int i = 0; i <= last; ++i) {
        EXPECT_TRUE(p[i].x >= 0 && p[i].x <= 1 && p[i].y >= 0 && p[i].y <= 1) << i;
        if (i < last) {
            EXPECT_LT(p[i].x + 0.000001, p[i + 1].x) << i;
            EXPECT_TRUE(p[i].outDx >= 0 && p[i].x + p[i].outDx <= p[i + 1].x + eps) << i;
            EXPECT_TRUE(p[i].y + p[i].outDy >= -eps && p[i].y + p[i].outDy <= 1 + eps) << i;
        }
        if (i > 0) {
            EXPECT_TRUE(p[i].inDx <= 0 && p[i].x + p[i].inDx >= p[i - 1].x - eps) << i;
            EXPECT_TRUE(p[i].y + p[i].inDy >= -eps && p[i].y + p[i].inDy <= 1 + eps) << i;
        }
    }
    const CurvePoint zero{};
    for (int i = c.pointCount; i < kMaxCurvePoints; ++i) EXPECT_EQ(std::memcmp(&p[i], &zero, sizeof zero), 0) << i;
}

// Control values of segment s along one axis.
struct SegmentControls {
    double c0, c1, c2, c3;
};
SegmentControls Controls(const RampCurve& c, int s, bool alongY)
{
    const CurvePoint& a = c.points[s];
    const CurvePoint& b = c.points[s + 1];
    if (alongY) return {a.y, a.y + a.outDy, b.y + b.inDy, b.y};
    return {a.x, a.x + a.outDx, b.x + b.inDx, b.x};
}
bool ControlsInsideEnds(const SegmentControls& k)
{
    return k.c0 <= k.c3 && k.c1 >= k.c0 && k.c1 <= k.c3 && k.c2 >= k.c0 && k.c2 <= k.c3;
}

RampCurve RandomRecord(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> wide(-0.3, 1.3), handle(-0.7, 0.7), unit(0.0, 1.0);
    RampCurve c{};
    const int kind = static_cast<int>(rng() % 4);
    if (kind == 0) { // raw bytes
        auto* words = reinterpret_cast<uint64_t*>(&c);
        for (std::size_t i = 0; i < kCurveRecordSize / 8; ++i) words[i] = rng();
        return c;
    }
    c.version = rng() % 16 == 0 ? static_cast<uint32_t>(rng() % 3) : 1u;
    c.flags = static_cast<uint32_t>(rng());
    c.pointCount = static_cast<int32_t>(rng() % 19) - 1;
    c.reserved = static_cast<uint32_t>(rng());
    // Mostly inside the square so that many records survive repair with several points.
    const bool xInside = rng() % 8 != 0;
    std::vector<double> xs(kMaxCurvePoints), ys(kMaxCurvePoints);
    for (int i = 0; i < kMaxCurvePoints; ++i) {
        xs[i] = xInside ? unit(rng) : wide(rng);
        ys[i] = wide(rng);
    }
    if (kind != 1) std::sort(xs.begin(), xs.end());
    const bool monotoneY = kind == 3;
    if (monotoneY) {
        for (double& y : ys) y = unit(rng);
        std::sort(ys.begin(), ys.end());
    }
    for (int i = 0; i < kMaxCurvePoints; ++i) {
        CurvePoint& p = c.points[i];
        p = {xs[i], ys[i], handle(rng), handle(rng), handle(rng), handle(rng)};
        if (monotoneY) { // handle heights between the neighbouring points
            p.inDy = i > 0 ? -unit(rng) * (ys[i] - ys[i - 1]) : 0.0;
            p.outDy = i + 1 < kMaxCurvePoints ? unit(rng) * (ys[i + 1] - ys[i]) : 0.0;
        }
    }
    if (rng() % 32 == 0) reinterpret_cast<double*>(c.points)[rng() % (6 * kMaxCurvePoints)] = rng() % 2 ? kNaN : kInf;
    return c;
}

TEST(CurveFuzz, RandomRecordsRepairEvaluateAndRoundTrip)
{
    test::FakeHandles host;
    std::mt19937_64 rng(20240611);
    int monotoneCurves = 0, multiPointCurves = 0;
    for (int n = 0; n < 4000; ++n) {
        SCOPED_TRACE(n);
        const RampCurve raw = RandomRecord(rng);
        PF_Handle h = nullptr;
        ASSERT_EQ(test::Unflatten(host, &raw, kCurveRecordSize, &h), PF_Err_NONE);
        const CurveRead read = ReadCurveHandle(&host.in_data, h);
        ASSERT_TRUE(read.ok);
        const RampCurve& c = read.curve;
        ExpectRepairedInvariants(c);
        ASSERT_TRUE(test::HandleHolds(host, h, c)); // the stored record is already repaired

        unsigned char flat[kCurveRecordSize];
        ASSERT_EQ(test::Flatten(host, h, flat, sizeof flat), PF_Err_NONE);
        PF_Handle back = nullptr;
        ASSERT_EQ(test::Unflatten(host, flat, sizeof flat, &back), PF_Err_NONE);
        ASSERT_TRUE(host.Bytes(back) == host.Bytes(h));

        bool yMonotone = true;
        for (int s = 0; s + 1 < c.pointCount; ++s) {
            const SegmentControls kx = Controls(c, s, false);
            double previous = kx.c0;
            for (double u = 1.0 / 64; u <= 1; u += 1.0 / 64) { // x(u) never turns back
                const double x = PointOnSegment({kx.c0, 0}, {kx.c1, 0}, {kx.c2, 0}, {kx.c3, 0}, u).x;
                ASSERT_GE(x, previous - 1e-12) << "segment " << s << " u " << u;
                previous = x;
            }
            yMonotone = yMonotone && ControlsInsideEnds(Controls(c, s, true));
        }
        monotoneCurves += yMonotone && c.pointCount > 2;
        multiPointCurves += c.pointCount > 2;

        EXPECT_EQ(EvaluateCurve(c, -0.5), c.points[0].y);
        EXPECT_EQ(EvaluateCurve(c, 1.5), c.points[c.pointCount - 1].y);
        double previous = EvaluateCurve(c, 0.0);
        for (double t = 1.0 / 256; t <= 1; t += 1.0 / 256) {
            const double y = EvaluateCurve(c, t);
            ASSERT_TRUE(y >= 0 && y <= 1) << "t " << t << " y " << y;
            if (yMonotone) {
                ASSERT_GE(y, previous - 1e-12) << "t " << t;
            }
            previous = y;
        }
        host.utils.host_dispose_handle(h);
        host.utils.host_dispose_handle(back);
    }
    EXPECT_GT(monotoneCurves, 500);
    EXPECT_GT(multiPointCurves, 1000);
    EXPECT_EQ(host.LiveHandles(), 0);
    EXPECT_EQ(host.badCalls, 0);
}

} // namespace
} // namespace strandel
