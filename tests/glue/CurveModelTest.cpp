#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
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

TEST(CurveEvaluation, ShapesAndSegmentsMatchForwardEvaluationAndTheEndsHold)
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
    RampCurve broken = MakeShapeCurve(kShapeEaseIn, false);
    broken.version = 9; // read as the identity
    EXPECT_NEAR(EvaluateCurve(broken, 0.25), 0.25, kBisectionTolerance);

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

// Mostly sorted points inside the square, so that many records survive repair with several points;
// a quarter raw bytes, and now and then a NaN or an infinity.
RampCurve RandomRecord(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> wide(-0.3, 1.3), handle(-0.7, 0.7), unit(0.0, 1.0);
    RampCurve c{};
    if (rng() % 4 == 0) {
        auto* words = reinterpret_cast<uint64_t*>(&c);
        for (std::size_t i = 0; i < kCurveRecordSize / 8; ++i) words[i] = rng();
        return c;
    }
    c.version = rng() % 16 == 0 ? static_cast<uint32_t>(rng() % 3) : 1u;
    c.flags = static_cast<uint32_t>(rng());
    c.pointCount = static_cast<int32_t>(rng() % 19) - 1;
    c.reserved = static_cast<uint32_t>(rng());
    std::vector<double> xs(kMaxCurvePoints);
    for (double& x : xs) x = rng() % 8 ? unit(rng) : wide(rng);
    if (rng() % 3) std::sort(xs.begin(), xs.end());
    for (int i = 0; i < kMaxCurvePoints; ++i)
        c.points[i] = {xs[i], wide(rng), handle(rng), handle(rng), handle(rng), handle(rng)};
    if (rng() % 32 == 0) reinterpret_cast<double*>(c.points)[rng() % (6 * kMaxCurvePoints)] = rng() % 2 ? kNaN : kInf;
    return c;
}

TEST(CurveFuzz, RandomRecordsRepairAndEvaluate)
{
    test::FakeHandles host;
    std::mt19937_64 rng(20240611);
    int multiPointCurves = 0;
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
        multiPointCurves += c.pointCount > 2;
        for (int s = 0; s + 1 < c.pointCount; ++s) { // x(u) never turns back
            const CurvePoint &a = c.points[s], &b = c.points[s + 1];
            double previous = a.x;
            for (double u = 1.0 / 64; u <= 1; u += 1.0 / 64) {
                const double x = PointOnSegment({a.x, 0}, {a.x + a.outDx, 0}, {b.x + b.inDx, 0}, {b.x, 0}, u).x;
                ASSERT_GE(x, previous - 1e-12) << "segment " << s << " u " << u;
                previous = x;
            }
        }
        EXPECT_EQ(EvaluateCurve(c, -0.5), c.points[0].y);
        EXPECT_EQ(EvaluateCurve(c, 1.5), c.points[c.pointCount - 1].y);
        for (double t = 0; t <= 1; t += 1.0 / 256) {
            const double y = EvaluateCurve(c, t);
            ASSERT_TRUE(y >= 0 && y <= 1) << "t " << t << " y " << y;
        }
        host.utils.host_dispose_handle(h);
    }
    EXPECT_GT(multiPointCurves, 1000);
    EXPECT_EQ(host.LiveHandles(), 0);
    EXPECT_EQ(host.badCalls, 0);
}

using test::SameBytes;
using test::ThreePoints;

uint64_t Bits(const unsigned char* bytes, std::size_t offset)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | bytes[offset + i]; // little-endian by construction
    return v;
}

void AddPointAfterMiddle(RampCurve& c, double x)
{
    c.points[3] = c.points[2];
    c.points[2] = {x, 0.5, 0.0, 0.0, 0.0, 0.0};
    c.pointCount = 4;
}

TEST(RampCurveRecord, DefaultCurveBytesAreTheStoredForm)
{
    const RampCurve c = MakeDefaultCurve(true);
    unsigned char b[kCurveRecordSize];
    std::memcpy(b, &c, sizeof b);
    const unsigned char header[16] = {1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b, header, 16), 0);
    const uint64_t third = 0x3FD5555555555555ull, minusThird = 0xBFD5555555555555ull, one = 0x3FF0000000000000ull;
    const uint64_t point0[6] = {0, 0, 0, 0, third, third};
    const uint64_t point1[6] = {one, one, minusThird, minusThird, 0, 0};
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(Bits(b, 16 + 8 * f), point0[f]) << "point 0 field " << f;
        EXPECT_EQ(Bits(b, 64 + 8 * f), point1[f]) << "point 1 field " << f;
    }
    for (std::size_t i = 112; i < kCurveRecordSize; ++i) ASSERT_EQ(b[i], 0) << "byte " << i;
}

// Crossed bounds: the upper one wins, and a value not above it takes the lower one.
TEST(RampCurveRecord, ClampTestsUpperBoundFirstAndPassesNaN)
{
    const double cases[][4] = {{2, 0, 1, 1},         {-2, 0, 1, 0},        {0.5, 0, 1, 0.5},
                               {0.5, 0.7, 0.2, 0.2}, {0.1, 0.7, 0.2, 0.7}, {-kInf, 0, 1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampUpperFirst(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_TRUE(std::isnan(ClampUpperFirst(kNaN, 0.0, 1.0)));
}

TEST(RampCurveRecord, InvalidRecordsRevertToDefaultKeepingEditedBit)
{
    using Breakage = std::function<void(RampCurve&)>;
    const std::vector<std::pair<const char*, Breakage>> breakages = {
        // clang-format off
        {"count 1", [](RampCurve& c) { c.pointCount = 1; }}, {"count -3", [](RampCurve& c) { c.pointCount = -3; }},
        {"version 2", [](RampCurve& c) { c.version = 2; }}, {"version 0", [](RampCurve& c) { c.version = 0; }},
        {"NaN x", [](RampCurve& c) { c.points[1].x = kNaN; }}, {"NaN y", [](RampCurve& c) { c.points[0].y = kNaN; }},
        {"NaN in dx", [](RampCurve& c) { c.points[2].inDx = kNaN; }}, {"inf in dy", [](RampCurve& c) { c.points[1].inDy = kInf; }},
        {"inf out dx", [](RampCurve& c) { c.points[0].outDx = -kInf; }}, {"NaN out dy", [](RampCurve& c) { c.points[1].outDy = kNaN; }},
        {"points too close", [](RampCurve& c) { c.points[1].x = 0.5; AddPointAfterMiddle(c, 0.5000005); }},
        {"middle x above 1", [](RampCurve& c) { c.points[1].x = 1.2; }}, {"middle x below 0", [](RampCurve& c) { c.points[1].x = -0.5; }},
        {"x decreasing", [](RampCurve& c) { AddPointAfterMiddle(c, 0.3); }},
        // clang-format on
    };
    for (bool edited : {false, true}) {
        for (const auto& [name, breakRecord] : breakages) {
            RampCurve c = ThreePoints(edited);
            breakRecord(c);
            EXPECT_FALSE(NormalizeCurve(c)) << name;
            EXPECT_TRUE(SameBytes(c, MakeDefaultCurve(edited))) << name << " edited " << edited;
        }
    }
}

TEST(RampCurveRecord, RepairClampsIntoTheUnitSquareAndSegments)
{
    RampCurve c = ThreePoints(true);
    c.flags = 0xF0F1u;
    c.reserved = 77;
    c.points[0] = {0.2, -0.5, 0.3, 0.3, 0.9, 2.0}; // x forced to 0, y to 0; out-handle past point 1
    c.points[1] = {0.4, 1.5, -0.7, -3.0, -0.1, 0.3}; // y to 1; in-handle past point 0, going below 0
    c.points[2] = {0.7, 0.5, 0.1, 0.9, 0.4, 0.4}; // x forced to 1; in dx positive
    c.points[5] = {9, 9, 9, 9, 9, 9}; // beyond the count
    ASSERT_TRUE(NormalizeCurve(c));
    EXPECT_EQ(c.flags, 1u);
    EXPECT_EQ(c.reserved, 0u);
    const CurvePoint expected[3] = {
        {0.0, 0.0, 0.0, 0.0, 0.4, 1.0}, // out dx ends exactly at x_1; out dy cut at y = 1
        {0.4, 1.0, -0.4, -1.0, 0.0, 0.0}, // in-handle ends at point 0 and y = 0; out dy cut at y = 1
        {1.0, 0.5, 0.0, 0.5, 0.0, 0.0}, // in dy cut at y = 1; the last out-handle is zeroed
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&c.points[i], &expected[i], sizeof(CurvePoint)), 0) << "point " << i;
    }
    const CurvePoint zero{};
    for (int i = 3; i < kMaxCurvePoints; ++i) {
        EXPECT_EQ(std::memcmp(&c.points[i], &zero, sizeof zero), 0) << "point " << i;
    }
    RampCurve again = c;
    EXPECT_TRUE(NormalizeCurve(again));
    EXPECT_TRUE(SameBytes(again, c)); // repair is idempotent

    // Sixteen points are kept, seventeen are not.
    c = RampCurve{};
    c.version = 1;
    c.pointCount = kMaxCurvePoints;
    for (int i = 0; i < kMaxCurvePoints; ++i) c.points[i] = {i / 15.0, i / 15.0, 0, 0, 0, 0};
    again = c;
    ASSERT_TRUE(NormalizeCurve(again));
    EXPECT_TRUE(SameBytes(again, c));
    EXPECT_NEAR(EvaluateCurve(again, 0.37), 0.37, kBisectionTolerance);
    c.pointCount = kMaxCurvePoints + 1;
    EXPECT_FALSE(NormalizeCurve(c));
}

} // namespace
} // namespace strandel
