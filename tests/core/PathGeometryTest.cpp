#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>
#include <type_traits>

#include "path/CameraInfo.h"
#include "path/PathGeometry.h"
#include "support/VecExpect.h"

namespace strandel {
namespace {

const double kHalfRoot2 = std::sqrt(0.5);

PathKeyframe Key(Vec3 position, Vec3 inTangent = {}, Vec3 outTangent = {}) { return {position, inTangent, outTangent}; }

RenderSettings WithQuality(Quality quality)
{
    RenderSettings settings;
    settings.quality = quality;
    return settings;
}

// A sample's frame tangent is its tangent.
template <class Frame>
void ExpectFrame(const Frame& f, const PathFrame& expected)
{
    ExpectVecNear(f.normal, expected.normal);
    ExpectVecNear(f.binormal, expected.binormal);
    ExpectVecNear(f.tangent, expected.tangent);
    if constexpr (std::is_same_v<Frame, PathSample>) ExpectVecNear(f.frameTangent, expected.tangent);
}

void AssertValidTable(const PathTable& table)
{
    if (table.empty()) return;
    ASSERT_GE(table.size(), 2u);
    ASSERT_LE(table.size(), kPathSampleLimit);
    ASSERT_EQ(table[0].arcLength, 0.0);
    ASSERT_GT(TotalLength(table), 1e-6);
    for (std::size_t k = 0; k < table.size(); ++k) {
        const PathSample& s = table[k];
        ASSERT_NEAR(Length(s.tangent), 1, 1e-9) << "sample " << k;
        ASSERT_NEAR(Length(s.normal), 1, 1e-9) << "sample " << k;
        ASSERT_NEAR(Dot(s.normal, s.tangent), 0, 1e-9) << "sample " << k;
        ASSERT_NEAR(Length(s.binormal - Cross(s.tangent, s.normal)), 0, 1e-9) << "sample " << k;
        ASSERT_NEAR(Length(s.frameTangent - s.tangent), 0, 1e-9) << "sample " << k;
        if (k == 0) continue;
        const double step = Length(table[k].position - table[k - 1].position);
        ASSERT_GT(step, 1e-8) << "sample " << k;
        ASSERT_GT(table[k].arcLength, table[k - 1].arcLength) << "sample " << k;
        ASSERT_NEAR(table[k].arcLength - table[k - 1].arcLength, step, 1e-9 * table[k].arcLength);
    }
}

// Cancels once `allowed` polls have passed, counting them in `polls`.
AbortCheck CountingAbort(long& polls, long allowed = LONG_MAX)
{
    return AbortCheck([&polls, allowed] { return ++polls > allowed; });
}

TEST(PathVectors, NormalizeOrAndRotateEulerDegrees)
{
    ExpectVecNear(NormalizeOr({3, 0, 4}, {9, 9, 9}), {0.6, 0, 0.8});
    EXPECT_EQ(NormalizeOr({1e-8, 0, 0}, {2, 0, 0}), Vec3(2, 0, 0)); // fallback is returned as given
    ExpectVecNear(NormalizeOr({0, 1.01e-8, 0}, {2, 0, 0}), {0, 1, 0});

    struct Case {
        Vec3 v, degrees, expected;
    };
    const Case cases[] = {
        {{0, 1, 0}, {90, 0, 0}, {0, 0, 1}}, // X turns Y into Z
        {{0, 0, 1}, {0, 90, 0}, {1, 0, 0}}, // Y turns Z into X
        {{1, 0, 0}, {0, 0, 90}, {0, 1, 0}}, // Z turns X into Y
        {{0, 1, 0}, {90, 90, 0}, {1, 0, 0}}, // X before Y: Y -> Z -> X
        {{1, 0, 0}, {0, 90, 90}, {0, 0, -1}}, // Y before Z: X -> -Z, which Z leaves alone
        {{1, 2, 3}, {180, 0, 0}, {1, -2, -3}},
    };
    for (const Case& c : cases) ExpectVecNear(RotateEulerDegrees(c.v, c.degrees), c.expected);
    const Vec3 v{0.1, 0.2, 0.3};
    EXPECT_EQ(RotateEulerDegrees(v, {1e-9, -1e-9, 1e-9}), v); // negligible angles are skipped exactly
}

TEST(PathFrames, InitialFrameProjectsWorldZOrElseYAndTransportCarriesItWithoutFlipping)
{
    const std::pair<Vec3, PathFrame> initial[] = {
        {{30, 0, 40}, {{-0.8, 0, 0.6}, {0, -1, 0}, {0.6, 0, 0.8}}},
        {{1, 0, 0}, {{0, 0, 1}, {0, -1, 0}, {1, 0, 0}}},
        {{0, 0, 5}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
        {{0, 0, -2}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}},
        {{0, 0, 0}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}}, // no direction: +Z
    };
    for (const auto& [t, expected] : initial) ExpectFrame(InitialFrame(t), expected);

    struct Case {
        PathFrame previous;
        Vec3 t;
        PathFrame expected;
    };
    const PathFrame alongX{{0, 0, 1}, {0, -1, 0}, {1, 0, 0}};
    const Case transported[] = {
        {alongX, {-3, 0, 0}, {{0, 0, -1}, {0, -1, 0}, {-1, 0, 0}}}, // reversal: the binormal keeps its side
        {alongX, {0, 2, 0}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}}, // a turn in the osculating plane keeps the normal
        // The old normal lies along the new tangent: the binormal supplies the normal.
        {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {1, 0, 0}, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}},
        {alongX, {0, 0, 0}, alongX}, // no direction: the old tangent is kept, and with it the frame
    };
    for (const Case& c : transported) ExpectFrame(TransportFrame(c.previous, c.t), c.expected);
}

TEST(PathBuild, CuspKeepsTheBinormalsSide)
{
    const PathTable table = BuildPath({Key({0, 0, 0}), Key({100, 0, 0}), Key({50, 0, 0})}, RenderSettings{});
    ASSERT_EQ(table.size(), 3u);
    EXPECT_DOUBLE_EQ(TotalLength(table), 150);
    const PathFrame out{{0, 0, 1}, {0, -1, 0}, {1, 0, 0}}, back{{0, 0, -1}, {0, -1, 0}, {-1, 0, 0}};
    ExpectFrame(table[1], out);
    ExpectFrame(table[2], back);
    // Between the two, the tangent swings through the reversal and the binormal still stays put.
    ExpectFrame(SamplePathAtDistance(table, 110), out);
    ExpectFrame(SamplePathAtDistance(table, 137.5), back);
}

TEST(PathBuild, QualitySetsTheFlatteningTolerance)
{
    const std::vector<PathKeyframe> hairpin = {Key({0, 0, 0}, {}, {400, 0, 0}), Key({0, 100, 0}, {400, 0, 0})};
    auto samples = [&](Quality quality) { return BuildPath(hairpin, WithQuality(quality)).size(); };
    const std::size_t draft = samples(Quality::Draft), normal = samples(Quality::Normal), high = samples(Quality::High);
    EXPECT_LT(draft, normal);
    EXPECT_LT(normal, high);
    EXPECT_GE(high, 2 * draft);
    for (uint32_t outOfRange : {0u, 4u, 99u})
        EXPECT_EQ(samples(static_cast<Quality>(outOfRange)), normal) << outOfRange;
}

TEST(PathBuild, FlattenedPolylineStaysWithinTolerance)
{
    // Every curve point lies within the chord's ellipse and within tolerance of its line, which bounds
    // its distance from the chord by sqrt(1.25) x tolerance.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> place(0, 1000), reach(-400, 400);
    const auto vec = [&](auto& dist) { return Vec3{dist(rng), dist(rng), dist(rng)}; };
    for (double tolerance : {2.0, 0.5, 0.15}) {
        const Vec3 start = vec(place), startIn = vec(reach), startOut = vec(reach), end = vec(place),
                   endIn = vec(reach), endOut = vec(reach);
        const std::vector<PathKeyframe> keys = {Key(start, startIn, startOut), Key(end, endIn, endOut)};
        const PathTable table = FlattenKeyframes(keys, tolerance);
        ASSERT_GE(table.size(), 2u);
        // The end tangents are the curve's own derivatives there.
        ExpectVecNear(table.front().tangent, NormalizeOr(keys[0].outTangent, {}));
        ExpectVecNear(table.back().tangent, NormalizeOr(-keys[1].inTangent, {}));
        const Vec3 p0 = keys[0].position, p1 = p0 + keys[0].outTangent, p3 = keys[1].position,
                   p2 = p3 + keys[1].inTangent;
        for (int i = 0; i <= 2000; ++i) {
            const double t = i / 2000.0, s = 1 - t;
            const Vec3 point = p0 * (s * s * s) + p1 * (3 * s * s * t) + p2 * (3 * s * t * t) + p3 * (t * t * t);
            double nearest = std::numeric_limits<double>::infinity();
            for (std::size_t k = 1; k < table.size(); ++k) {
                const Vec3 a = table[k - 1].position, ab = table[k].position - a;
                const double u = std::clamp(Dot(point - a, ab) / Dot(ab, ab), 0.0, 1.0);
                nearest = std::min(nearest, Length(point - (a + ab * u)));
            }
            ASSERT_LE(nearest, std::sqrt(1.25) * tolerance) << "t = " << t;
        }
    }
}

TEST(PathBuild, SubdivisionStopsAtDepth18)
{
    // A negative tolerance is never met, so every branch goes to the depth limit: 2^19 - 1 steps,
    // each polling once, after the segment's own poll. The curve is small enough to stay under the cap.
    long polls = 0;
    const PathTable table =
        FlattenKeyframes({Key({0, 0, 0}, {}, {0, 1e-4, 0}), Key({1e-4, 0, 0}, {0, 1e-4, 0})}, -1, CountingAbort(polls));
    EXPECT_EQ(polls, 1L << 19);
    EXPECT_LT(table.size(), kPathSampleLimit);
    ASSERT_NO_FATAL_FAILURE(AssertValidTable(table));
}

TEST(PathBuild, CoincidentPointsOnlyRefreshTheLastTangent)
{
    PathTable table;
    ASSERT_TRUE(AppendPathSample(table, {0, 0, 0}, {0, 0, 0}));
    ExpectVecNear(table[0].tangent, {1, 0, 0});
    ASSERT_TRUE(AppendPathSample(table, {0, 0, 0}, {0, 3, 0}));
    ASSERT_TRUE(AppendPathSample(table, {0, 0, 1e-9}, {0, 0, 0}));
    ASSERT_EQ(table.size(), 1u);
    ExpectVecNear(table[0].tangent, {0, 1, 0});
    ASSERT_TRUE(AppendPathSample(table, {0, 0, 5}, {0, 0, 0}));
    ASSERT_EQ(table.size(), 2u);
    ExpectVecNear(table[1].tangent, {0, 1, 0}); // no direction given: inherits the previous one
    EXPECT_EQ(table[1].arcLength, 5);

    const PathTable repeated =
        FlattenKeyframes({Key({0, 0, 0}), Key({10, 0, 0}), Key({10, 0, 0}), Key({10, 10, 0})}, 0.5);
    ASSERT_EQ(repeated.size(), 3u);
    ExpectVecNear(repeated[1].position, {10, 0, 0});
    ExpectVecNear(repeated[1].tangent, {1, 0, 0});
    EXPECT_EQ(TotalLength(repeated), 20);

    // A first out-tangent no longer than the negligible 1e-8 gives way to the chord.
    const PathTable faint = FlattenKeyframes({Key({0, 0, 0}, {}, {1e-8, 0, 0}), Key({0, 10, 0})}, 0.5);
    ExpectVecNear(faint.front().tangent, {0, 1, 0});
}

TEST(PathBuild, DegenerateKeysGiveAnEmptyTable)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::vector<PathKeyframe> cases[] = {
        {},
        {Key({1, 2, 3})},
        {Key({1, 2, 3}), Key({1, 2, 3}), Key({1, 2, 3})},
        {Key({0, 0, 0}), Key({1e-7, 0, 0})},
        {Key({0, 0, 0}), Key({nan, 0, 0}), Key({10, 0, 0})},
        {Key({0, 0, 0}, {}, {inf, 0, 0}), Key({10, 0, 0})},
        {Key({0, 0, 0}), Key({1e308, 0, 0}), Key({-1e308, 0, 0})}, // length overflows
    };
    for (const auto& keys : cases) EXPECT_TRUE(BuildPath(keys, RenderSettings{}).empty()) << keys.size() << " keys";
}

TEST(PathBuild, ArrayScaleAndRotationActAboutTheArcLengthMidpoint)
{
    // Arc-length midpoint (0, 100, 0) is the middle key, not the first one.
    const std::vector<PathKeyframe> corner = {Key({0, 0, 0}), Key({0, 100, 0}), Key({0, 100, 100})};
    struct Case {
        double scale;
        Vec3 rotation;
        std::vector<Vec3> positions, tangents;
    };
    const Case cases[] = {
        {50, {}, {{0, 50, 0}, {0, 100, 0}, {0, 100, 50}}, {{0, 1, 0}, {0, 1, 0}, {0, 0, 1}}},
        {100, {90, 0, 0}, {{0, 100, -100}, {0, 100, 0}, {0, 0, 0}}, {{0, 0, 1}, {0, 0, 1}, {0, -1, 0}}},
        {200, {0, 0, 90}, {{200, 100, 0}, {0, 100, 0}, {0, 100, 200}}, {{-1, 0, 0}, {-1, 0, 0}, {0, 0, 1}}},
        {0, {}, {}, {}},
    };
    for (const Case& c : cases) {
        RenderSettings settings;
        settings.arrayScale = c.scale;
        settings.arrayRotation = c.rotation;
        const PathTable table = BuildPath(corner, settings);
        ASSERT_EQ(table.size(), c.positions.size()) << "scale " << c.scale;
        for (std::size_t k = 0; k < table.size(); ++k) {
            ExpectVecNear(table[k].position, c.positions[k], 1e-9);
            ExpectVecNear(table[k].tangent, c.tangents[k], 1e-9);
        }
        EXPECT_NEAR(TotalLength(table), 2 * c.scale, 1e-9);
    }
}

TEST(PathBuild, SampleCapBoundsPathologicalPaths)
{
    std::vector<PathKeyframe> keys;
    for (int i = 0; i < 3000; ++i) {
        const double swing = i % 2 ? 1e6 : -1e6;
        keys.push_back(Key({i * 10.0, 0, 0}, {0, swing, swing}, {0, -swing, swing}));
    }
    const PathTable flat = FlattenKeyframes(keys, 1e-9);
    EXPECT_EQ(flat.size(), kPathSampleLimit);
    ASSERT_NO_FATAL_FAILURE(AssertValidTable(flat));

    const PathTable built = BuildPath(keys, WithQuality(Quality::High));
    EXPECT_GT(built.size(), kPathSampleLimit / 2);
    ASSERT_NO_FATAL_FAILURE(AssertValidTable(built));

    PathTable full(kPathSampleLimit);
    EXPECT_FALSE(AppendPathSample(full, {1, 2, 3}, {1, 0, 0}));
    EXPECT_EQ(full.size(), kPathSampleLimit);
}

TEST(PathBuild, AbortStopsBuildingEarly)
{
    const std::vector<PathKeyframe> keys = {Key({0, 0, 0}, {}, {400, 0, 0}), Key({0, 100, 0}, {400, 0, 0}),
                                            Key({0, 200, 0}, {}, {})};
    const RenderSettings settings = WithQuality(Quality::High);
    const std::size_t rawSize = FlattenKeyframes(keys, 0.15).size();
    long polls = 0;
    const std::size_t fullSize = BuildPath(keys, settings, CountingAbort(polls)).size();
    ASSERT_GT(fullSize, 20u);
    // Flattening polls once per segment and once per subdivision step; the transform once per sample.
    const long flatteningPolls = polls - static_cast<long>(rawSize);

    EXPECT_TRUE(BuildPath(keys, settings, CountingAbort(polls = 0, 0)).empty());

    // A per-segment poll alone could not stop after 20.
    const PathTable partial = FlattenKeyframes(keys, 0.15, CountingAbort(polls = 0, 20));
    EXPECT_GE(partial.size(), 2u);
    EXPECT_LT(partial.size(), rawSize / 2);
    ASSERT_NO_FATAL_FAILURE(AssertValidTable(partial));

    const PathTable transformed = BuildPath(keys, settings, CountingAbort(polls = 0, flatteningPolls + 3));
    EXPECT_EQ(transformed.size(), 3u);
    ASSERT_NO_FATAL_FAILURE(AssertValidTable(transformed));
}

TEST(PathSampling, SamplePathAtDistanceInterpolatesAndClamps)
{
    const PathTable table = FlattenKeyframes({Key({0, 0, 0}), Key({100, 0, 0}), Key({100, 100, 0})}, 0.5);
    ASSERT_EQ(table.size(), 3u);
    for (auto [s, end] :
         {std::pair{-5.0, 0}, {0.0, 0}, {std::numeric_limits<double>::quiet_NaN(), 0}, {200.0, 2}, {1e9, 2}}) {
        const PathSample clamped = SamplePathAtDistance(table, s);
        EXPECT_TRUE(clamped.position == table[end].position && clamped.arcLength == table[end].arcLength) << s;
    }

    const Vec3 up{0, 0, 1}, slant = Vec3{1, 3, 0} / std::sqrt(10.0), slantSide = Vec3{3, -1, 0} / std::sqrt(10.0);
    const std::tuple<double, Vec3, PathFrame> cases[] = {
        {50, {50, 0, 0}, {up, {0, -1, 0}, {1, 0, 0}}},
        {100, {100, 0, 0}, {up, {0, -1, 0}, {1, 0, 0}}},
        {150, {100, 50, 0}, {up, {kHalfRoot2, -kHalfRoot2, 0}, {kHalfRoot2, kHalfRoot2, 0}}},
        {175, {100, 75, 0}, {up, slantSide, slant}},
    };
    for (const auto& [distance, position, frame] : cases) {
        const PathSample s = SamplePathAtDistance(table, distance);
        EXPECT_EQ(s.arcLength, distance);
        ExpectVecNear(s.position, position);
        ExpectFrame(s, frame);
    }
    EXPECT_EQ(SamplePathAtDistance(PathTable{}, 3).arcLength, 0); // no table: a zero sample, not a crash
}

TEST(PathSampling, ApplyArrayPositionMovesAlongTheCameraAxes)
{
    const PathTable built = BuildPath({Key({0, 0, 0}, {}, {50, 50, 0}), Key({100, 0, 0})}, RenderSettings{});
    RenderSettings settings;
    settings.arrayPosition = {10, 20, 30};
    CameraInfo camera; // looking along -X, with its right axis along +Z
    camera.cameraRight = {0, 0, 1};
    camera.cameraForward = {-1, 0, 0};
    PathTable moved = built;
    ApplyArrayPosition(moved, camera, settings);
    ASSERT_EQ(moved.size(), built.size());
    for (std::size_t k = 0; k < moved.size(); ++k) {
        ExpectVecNear(moved[k].position, built[k].position + Vec3{-30, 20, 10}, 1e-9);
        EXPECT_TRUE(moved[k].tangent == built[k].tangent && moved[k].normal == built[k].normal &&
                    moved[k].binormal == built[k].binormal && moved[k].arcLength == built[k].arcLength);
    }
    PathTable empty;
    ApplyArrayPosition(empty, camera, settings);
    EXPECT_TRUE(empty.empty());
}

TEST(CameraMath, TransformsTakeRowVectorsAndOnlyPointsDivideByW)
{
    const Matrix4 affine{{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {10, 20, 30, 1}}};
    ExpectVecNear(TransformPoint(affine, {1, 1, 1}), {12, 23, 34});
    // Row 2 column 3 feeds z into w: w = 0.5 z + 1, so (1, 1, 2) is divided by 2.
    Matrix4 projective = affine;
    projective.m[2][3] = 0.5;
    ExpectVecNear(TransformPoint(projective, {1, 1, 2}), {6, 11.5, 19});
    // A vanishing w is left alone rather than dividing by (almost) zero.
    Matrix4 flat = affine;
    flat.m[3][3] = 0;
    ExpectVecNear(TransformPoint(flat, {1, 1, 1}), {12, 23, 34});

    const Matrix4 m{{{0, 1, 0, 7}, {-1, 0, 0, 7}, {0, 0, 2, 7}, {100, 200, 300, 9}}};
    ExpectVecNear(TransformDirection(m, {1, 2, 3}), {-2, 1, 6});
}

// Well-conditioned matrices, with rows shuffled so that the largest entry is rarely on the
// diagonal already, and a pivot just above the singular threshold, invert; held relative to the
// expected entry, so that large and small inverses keep the same digits.
TEST(CameraMath, InvertMatrix4InvertsAllButSingularMatricesWhichLeaveTheOutputAlone)
{
    const auto expectNear = [](const Matrix4& actual, const Matrix4& expected) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                const double e = expected.m[r][c];
                ASSERT_NEAR(actual.m[r][c], e, 1e-12 * std::max(1.0, std::fabs(e))) << r << "," << c;
            }
    };
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-1, 1);
    for (int trial = 0; trial < 200; ++trial) {
        Matrix4 m;
        for (auto& row : m.m)
            for (double& v : row) v = value(rng);
        for (int i = 0; i < 4; ++i) m.m[i][i] += 5 * (value(rng) < 0 ? -1 : 1);
        std::shuffle(std::begin(m.m), std::end(m.m), rng);
        Matrix4 inverse;
        ASSERT_TRUE(InvertMatrix4(m, inverse));
        expectNear(m * inverse, Matrix4::Identity());
        expectNear(inverse * m, Matrix4::Identity());
    }
    Matrix4 out;
    ASSERT_TRUE(InvertMatrix4(Matrix4{{{1e-11, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}, out));
    expectNear(out, Matrix4{{{1e11, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});

    const Matrix4 singular[] = {
        Matrix4{{{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {3, 4, 5, 1}}}, // zero scale
        Matrix4{{{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}, // dependent rows
        Matrix4{{{1e-13, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}, // pivot below 1e-12
        Matrix4{{{1, 1, 0, 0}, {1, 1 + 1e-14, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}, // near-singular after elimination
    };
    const Matrix4 sentinel{{{9, 8, 7, 6}, {5, 4, 3, 2}, {1, 0, -1, -2}, {-3, -4, -5, -6}}};
    for (const Matrix4& m : singular) {
        out = sentinel;
        EXPECT_FALSE(InvertMatrix4(m, out));
        EXPECT_EQ(out, sentinel);
    }
}

} // namespace
} // namespace strandel
