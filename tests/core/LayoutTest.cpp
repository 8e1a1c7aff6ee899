#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "curves/CurveModel.h"
#include "layout/InstanceLayout.h"
#include "path/PathGeometry.h"
#include "support/LayoutTestSupport.h"
#include "support/VecExpect.h"

namespace strandel {
namespace {

constexpr double kMissing = -1; // marks a copy that must not be placed

struct PlacementCase {
    int32_t count;
    double spacing, offset;
    bool loop, reverse;
    std::vector<double> x; // kMissing where not placed
    std::vector<double> g;
};

TEST(PlaceInstance, FractionsFollowSpacingOffsetLoopAndReverse)
{
    const std::vector<PlacementCase> cases = {
        {5, 100, 0, false, false, {0, .25, .5, .75, 1}, {0, .25, .5, .75, 1}},
        {5, 100, 0, true, false, {0, .2, .4, .6, .8}, {0, .2, .4, .6, .8}},
        {5, 100, 50, true, false, {.5, .7, .9, .1, .3}, {.5, .7, .9, .1, .3}},
        {5, 200, 0, false, false, {kMissing, 0, .5, 1, kMissing}, {kMissing, 0, .5, 1, kMissing}},
        {5, 100, 0, false, true, {1, .75, .5, .25, 0}, {0, .25, .5, .75, 1}},
        {5, 100, 10, false, true, {kMissing, .85, .6, .35, .1}, {kMissing, .15, .4, .65, .9}},
        {1, 37, 30, false, false, {.8}, {.8}},
        {1, 500, -20, false, false, {.3}, {.3}},
        {1, 100, 80, false, false, {kMissing}, {kMissing}},
        {1, 100, 80, true, false, {.3}, {.3}},
        {1, 100, -130, true, false, {.2}, {.2}},
    };
    for (const PlacementCase& c : cases) {
        RenderSettings s;
        s.count = c.count;
        s.spacing = c.spacing;
        s.offset = c.offset;
        s.loop = c.loop;
        s.reverse = c.reverse;
        for (int32_t i = 0; i < c.count; ++i) {
            SCOPED_TRACE(testing::Message() << "count " << c.count << " spacing " << c.spacing << " offset " << c.offset
                                            << " loop " << c.loop << " reverse " << c.reverse << " i " << i);
            const Placement p = PlaceInstance(s, i);
            ASSERT_EQ(p.placed, c.x[i] != kMissing);
            if (!p.placed) continue;
            EXPECT_NEAR(p.pathFraction, c.x[i], 1e-12);
            EXPECT_NEAR(p.gradientFraction, c.g[i], 1e-12);
            EXPECT_DOUBLE_EQ(p.indexFraction, c.count > 1 ? i / (c.count - 1.0) : 0.0); // never reversed
        }
        EXPECT_FALSE(PlaceInstance(s, -1).placed);
        EXPECT_FALSE(PlaceInstance(s, c.count).placed);
    }
}

TEST(HashRandom, MatchesTheMixingStepsWorkedByHand)
{
    struct Case {
        uint32_t seed, index, channel, hash;
    };
    for (const Case& c : {Case{0, 0, 0, 0u}, Case{1, 0, 11, 0xE00DC53Fu}, Case{1, 7, 21, 0x4A9C0D9Au},
                          Case{123456, 42, 0x534F5552, 0xCFE44074u}, Case{999999, 4000000000u, 13, 0xBC58F16Eu}}) {
        EXPECT_EQ(HashRandom(c.seed, c.index, c.channel), c.hash) << c.seed << " " << c.index << " " << c.channel;
        EXPECT_DOUBLE_EQ(SignedRandom(c.seed, c.index, c.channel), 2.0 * (c.hash / 4294967295.0) - 1.0);
    }
}

TEST(ChooseSource, SequentialCyclesAndRandomIsSeededAndInRange)
{
    RenderSettings s;
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(ChooseSource(s, i, 3), i % 3);
    EXPECT_EQ(ChooseSource(s, 4, 0), -1);

    s.sourceMode = SourceMode::Random;
    s.sourceSeed = 5;
    const std::vector<int32_t> byHand = {1, 0, 2, 2, 2, 0, 2, 2, 0, 0}; // hash(5, i, 'SOUR') mod 3
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(ChooseSource(s, i, 3), byHand[i]) << i;
    EXPECT_EQ(ChooseSource(s, 4, 0), -1);
}

TEST(InstanceTimeOffset, SumsRampGradientAndRandomTerms)
{
    RenderSettings s = LinearCurves();
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 0.0, 1e-12);

    s.rampTimeOffset = 2; // the ramp follows u
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 0.5, 1e-7);
    s.rampTimeOffset = 0;
    s.gradientStartTimeOffset = 1; // the gradient follows g
    s.gradientEndTimeOffset = 3;
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 2.5, 1e-7);
    s.gradientStartTimeOffset = s.gradientEndTimeOffset = 0;
    s.timeRandom = 4; // seed 1, index 3: the salted hash worked by hand is 0x5D8243EF
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 4 * (2.0 * (0x5D8243EFu / 4294967295.0) - 1.0), 1e-12);
    s.randomSeed = 77;
    EXPECT_NEAR(InstanceTimeOffset(s, 0, 0.25, 0.75), 4 * (2.0 * (0x32CF996Bu / 4294967295.0) - 1.0), 1e-12);

    s = LinearCurves();
    s.rampTimeOffsetCurve = MakeShapeCurve(kShapeEaseIn, true);
    s.gradientTimeOffsetCurve = MakeShapeCurve(kShapeEaseOut, true);
    s.rampTimeOffset = 1;
    s.gradientEndTimeOffset = 1;
    EXPECT_NEAR(InstanceTimeOffset(s, 1, 0.3, 0.6),
                EvaluateCurve(s.rampTimeOffsetCurve, 0.3) + EvaluateCurve(s.gradientTimeOffsetCurve, 0.6), 1e-12);
}

TEST(HasTimeOffsets, AnyOfTheFourAmountsAboveNegligible)
{
    EXPECT_FALSE(HasTimeOffsets(RenderSettings{}));
    for (double RenderSettings::*f : {&RenderSettings::rampTimeOffset, &RenderSettings::gradientStartTimeOffset,
                                      &RenderSettings::gradientEndTimeOffset, &RenderSettings::timeRandom})
        for (auto [value, counts] : {std::pair{1e-9, false}, {-1e-8, false}, {2e-8, true}, {-0.5, true}}) {
            RenderSettings s;
            s.*f = value;
            EXPECT_EQ(HasTimeOffsets(s), counts) << value;
        }
}

// A straight path from the origin to (300, 0, 400): 500 long, seen by a camera at the origin
// looking down +Z, so a copy at fraction x lies at depth 400 x.
struct PathFixture {
    PathTable path = FlattenKeyframes({{{0, 0, 0}, {}, {}}, {{300, 0, 400}, {}, {}}}, 0.5);
    SourceList sources = SourceList(2);
    CameraInfo camera;
    RenderSettings settings = LinearCurves();
    PathFixture()
    {
        settings.count = 5;
        settings.rampTimeOffset = 2;
    }
    InstanceList Build() const { return BuildInstances(path, sources, settings, camera); }
};

std::vector<int32_t> Indices(const InstanceList& list)
{
    std::vector<int32_t> indices;
    for (const SpriteInstance& s : list) indices.push_back(s.index);
    return indices;
}

TEST(BuildInstances, FillsEachCopyFromItsPlacementInIndexOrderOrFarthestFirst)
{
    PathFixture f;
    for (bool reverse : {false, true}) {
        f.settings.reverse = reverse;
        f.settings.depthSort = true;
        EXPECT_EQ(Indices(f.Build()),
                  reverse ? (std::vector<int32_t>{0, 1, 2, 3, 4}) : (std::vector<int32_t>{4, 3, 2, 1, 0}));
        f.settings.depthSort = false;
        const InstanceList list = f.Build();
        ASSERT_EQ(Indices(list), (std::vector<int32_t>{0, 1, 2, 3, 4}));
        for (const SpriteInstance& s : list) {
            SCOPED_TRACE(testing::Message() << "reverse " << reverse << " index " << s.index);
            const double x = reverse ? 1 - s.index / 4.0 : s.index / 4.0;
            EXPECT_EQ(s.source, s.index % 2);
            EXPECT_EQ(s.frame, &f.sources[std::size_t(s.index % 2)]);
            ExpectVecNear(s.position, Vec3{300 * x, 0, 400 * x}, 1e-9);
            ExpectVecNear(s.tangent, Vec3{0.6, 0, 0.8}, 1e-12);
            EXPECT_NEAR(s.depth, 400 * x, 1e-9);
            EXPECT_NEAR(s.pathFraction, x, 1e-12);
            EXPECT_NEAR(s.gradientFraction, s.index / 4.0, 1e-12); // reversed gradient follows the copies
            EXPECT_NEAR(s.timeOffset, 2 * s.index / 4.0, 1e-7); // ramp by index, never reversed
        }
    }
    f.settings.spacing = 200; // copies off the path are left out
    EXPECT_EQ(Indices(f.Build()), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(BuildInstances({}, f.sources, f.settings, f.camera).empty());
    EXPECT_TRUE(BuildInstances(f.path, {}, f.settings, f.camera).empty());
}

TEST(SortInstancesByDepth, NaNDepthsGoLastWithoutUpsettingTheOrder)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    InstanceList list;
    for (double depth : {3.0, nan, 7.0, 1.0, nan, 5.0, -2.0, nan, 9.0}) {
        list.emplace_back();
        list.back().depth = depth;
    }
    SortInstancesByDepth(list);
    const std::vector<double> finite = {9, 7, 5, 3, 1, -2};
    for (std::size_t k = 0; k < finite.size(); ++k) EXPECT_EQ(list[k].depth, finite[k]) << k;
    for (std::size_t k = finite.size(); k < list.size(); ++k) EXPECT_TRUE(std::isnan(list[k].depth)) << k;
}

// Seed 1, index 2: the hashes of channels 11, 12, 13 and 21 worked by hand.
double FromHash(uint32_t h) { return 2.0 * (h / 4294967295.0) - 1.0; }
const double kRandomX = FromHash(0xC78BECDAu), kRandomY = FromHash(0x1806E300u), kRandomZ = FromHash(0x09F28288u),
             kRandomScale = FromHash(0x6D6825A2u);

// Copy 2 of 5 (u = 0.5) at the middle of the gradient, facing world axes.
struct PoseFixture {
    RenderSettings settings = LinearCurves();
    SpriteInstance instance = SlantedInstance({10, 20, 1000});
    CameraInfo camera;
    PoseFixture()
    {
        settings.count = 5;
        settings.orientationMode = OrientationMode::Fixed;
        instance.index = 2;
        instance.gradientFraction = 0.5;
    }
};

SourceQuad UnitQuad(const ImageView& image = {})
{
    return {image, {{-0.5, -0.5, 0}, {0.5, -0.5, 0}, {0.5, 0.5, 0}, {-0.5, 0.5, 0}}};
}

// Inputs in the order of the fields given (random left out where there is no field), and the pose's
// value; an expected value of 0 means that the copy is not drawn.
struct PoseCase {
    double start, end, own, ramp, random, expected;
};

void ExpectPoseValues(const std::array<double RenderSettings::*, 5>& fields, double SpritePose::*field,
                      const std::vector<PoseCase>& cases)
{
    for (const PoseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.end << " " << c.own << " " << c.ramp << " " << c.random);
        PoseFixture f;
        const double inputs[5] = {c.start, c.end, c.own, c.ramp, c.random};
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i]) f.settings.*fields[i] = inputs[i];
        const std::optional<SpritePose> pose = PoseSprite(f.instance, f.settings, f.camera);
        ASSERT_EQ(pose.has_value(), c.expected > 0);
        if (pose) {
            EXPECT_NEAR((*pose).*field, c.expected, 1e-8);
        }
    }
}

TEST(PoseSprite, ScaleAndOpacityMultiplyTheirTermsAndDropCopiesWithoutEither)
{
    // clang-format off
    ExpectPoseValues({&RenderSettings::gradientStartScale, &RenderSettings::gradientEndScale,
                      &RenderSettings::objectScale, &RenderSettings::rampScale, &RenderSettings::randomScale},
                     &SpritePose::scale,
                     {{100, 100, 100, 0, 0, 1}, {50, 150, 80, 0, 0, 0.8}, {100, 100, 100, 40, 0, 1.2},
                      {100, 100, 100, 0, 30, (100 + 30 * kRandomScale) / 100}, {-100, 100, 100, 0, 0, 0},
                      {-100, -100, -100, 0, 0, 0}, {100, 100, -50, 20, 0, 0}, {100, 100, 0, 0, 0, 0},
                      {0, 0, 100, 0, 0, 0}, {1e-2, 1e-2, 1e-4, 0, 0, 0}});
    // The gradient's opacity is clamped to [0, 1] before the render opacity multiplies it.
    ExpectPoseValues({&RenderSettings::gradientStartOpacity, &RenderSettings::gradientEndOpacity,
                      &RenderSettings::opacity, &RenderSettings::rampOpacity, nullptr},
                     &SpritePose::opacity,
                     {{100, 100, 100, 0, 0, 1}, {0, 100, 100, 0, 0, 0.5}, {0, 100, 50, 0, 0, 0.25},
                      {100, 0, 150, 0, 0, 0.5}, {100, 100, 100, -100, 0, 0.5}, {300, 300, 80, 0, 0, 0.8},
                      {100, 100, 0, 0, 0, 0}, {0, 0, 100, 0, 0, 0}, {200, 200, -50, 0, 0, 0}});
    // clang-format on
}

using Matrix3 = std::array<std::array<double, 3>, 3>;

Matrix3 Multiply(const Matrix3& a, const Matrix3& b)
{
    Matrix3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

// Right-handed rotation matrices acting on column vectors.
Matrix3 Rotation(int axis, double degrees)
{
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    if (axis == 0) return {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
    if (axis == 1) return {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
    return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

TEST(PoseSprite, RotatesAboutXThenTheNewYThenTheNewZ)
{
    PoseFixture f;
    f.settings.orientationMode = OrientationMode::FollowPath; // starts from the path frame (N, B, T)
    f.settings.objectScale = 200;
    f.settings.gradientStartRotation = {10, -20, 5};
    f.settings.gradientEndRotation = {30, 40, 65};
    f.settings.objectRotation = {5, 7, -9};
    f.settings.rampRotation = {8, 6, 12};
    f.settings.randomRotation = {6, 4, 2};
    const double rx = 20 + 5 + 4 + 6 * kRandomX, ry = 10 + 7 + 3 + 4 * kRandomY, rz = 35 - 9 + 6 + 2 * kRandomZ;

    // Turning about the body's own axes in turn is the product Rx Ry Rz in body coordinates.
    const Matrix3 m = Multiply(Multiply(Rotation(0, rx), Rotation(1, ry)), Rotation(2, rz));
    const Vec3 start[3] = {f.instance.normal, f.instance.binormal, f.instance.frameTangent};
    Vec3 expected[3];
    for (int k = 0; k < 3; ++k) expected[k] = m[0][k] * start[0] + m[1][k] * start[1] + m[2][k] * start[2];

    const std::optional<SpritePose> pose = PoseSprite(f.instance, f.settings, f.camera);
    ASSERT_TRUE(pose);
    ExpectVecNear(pose->axes.x, expected[0], 1e-7);
    ExpectVecNear(pose->axes.y, expected[1], 1e-7);
    ExpectVecNear(pose->axes.z, expected[2], 1e-7);
    // A corner with depth spans the quad along those axes, at the pose's scale.
    SourceQuad deep = UnitQuad();
    deep.corners[0] = {1, 2, 3};
    ExpectVecNear(QuadWorldCorners(f.instance.position, *pose, deep)[0],
                  f.instance.position + 2 * (expected[0] + 2 * expected[1] + 3 * expected[2]), 1e-7);
}

TEST(PlaceSprite, EmitsOnlyDrawableQuadsThatHavePixels)
{
    std::byte pixel[4] = {std::byte{255}, std::byte{255}, std::byte{255}, std::byte{255}};
    const ImageView image{pixel, 4, 1, 1, PixelFormat::Argb8};
    ImageView empty = image;
    empty.data = nullptr;

    PoseFixture f;
    f.camera.zoom = 1000; // at depth 1000 a view point lands on its own x, y in pixels
    f.camera.compWidth = f.camera.compHeight = 0;
    f.settings.opacity = 40;
    TriangleList list;
    const SourceQuad quad = UnitQuad(image);
    ASSERT_TRUE(PlaceSprite(f.instance, quad, f.settings, f.camera, list));
    ASSERT_EQ(list.size(), 2u); // (W0, W1, W2) then (W0, W2, W3)
    const double expected[2][3][2] = {{{9.5, 19.5}, {10.5, 19.5}, {10.5, 20.5}},
                                      {{9.5, 19.5}, {10.5, 20.5}, {9.5, 20.5}}};
    for (int t = 0; t < 2; ++t) {
        EXPECT_EQ(list[t].quad, &quad);
        EXPECT_DOUBLE_EQ(list[t].opacity, 0.4);
        const ScreenVertex* v[3] = {&list[t].A, &list[t].B, &list[t].C};
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(v[k]->x, expected[t][k][0], 1e-9) << t << " " << k;
            EXPECT_NEAR(v[k]->y, expected[t][k][1], 1e-9) << t << " " << k;
        }
    }
    // Without pixels, or behind the camera, a copy adds nothing.
    EXPECT_FALSE(PlaceSprite(f.instance, UnitQuad(), f.settings, f.camera, list));
    EXPECT_FALSE(PlaceSprite(f.instance, UnitQuad(empty), f.settings, f.camera, list));
    f.settings.opacity = 0; // dropped by the pose
    EXPECT_FALSE(PlaceSprite(f.instance, quad, f.settings, f.camera, list));
    f.settings.opacity = 100;
    f.instance.position.z = -50;
    EXPECT_FALSE(PlaceSprite(f.instance, quad, f.settings, f.camera, list));
    EXPECT_EQ(list.size(), 2u);
}

// The slanted path frame of SlantedInstance.
constexpr Vec3 T{0.6, 0.8, 0}, N{0, 0, 1}, B{0.8, -0.6, 0};
constexpr Vec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};
const double kRoot08 = std::sqrt(0.8), kRoot02 = std::sqrt(0.2);

struct BasisCase {
    uint32_t placement, orientation, forwardAxis;
    double roll;
    Vec3 x, y, z;
    double spread = 100;
    bool inside = false;
};

void ExpectBasis(const Basis& b, const Vec3& x, const Vec3& y, const Vec3& z)
{
    ExpectVecNear(b.x, x, 1e-12);
    ExpectVecNear(b.y, y, 1e-12);
    ExpectVecNear(b.z, z, 1e-12);
}

void CheckCases(const std::vector<BasisCase>& cases, const SpriteInstance& instance, const CameraInfo& camera,
                RenderSettings s = {})
{
    for (const BasisCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "placement " << c.placement << " orientation " << c.orientation
                                        << " forward " << c.forwardAxis << " roll " << c.roll << " spread " << c.spread
                                        << " inside " << c.inside);
        s.placementMode = static_cast<PlacementMode>(c.placement);
        s.orientationMode = static_cast<OrientationMode>(c.orientation);
        s.forwardAxis = static_cast<ForwardAxis>(c.forwardAxis);
        s.roll = c.roll;
        s.spread = c.spread;
        s.inside = c.inside;
        ExpectBasis(OrientationBasis(s, camera, instance), c.x, c.y, c.z);
    }
}

// A camera looking along world +X, its right along world -Z.
CameraInfo SideCamera()
{
    CameraInfo camera;
    camera.cameraRight = {0, 0, -1};
    camera.cameraForward = {1, 0, 0};
    return camera;
}

TEST(OrientationBasis, ModesForwardAxesRollAndRibbons)
{
    // clang-format off
    CheckCases({{1, 1, 5, 0, kX, kY, kZ}, {1, 3, 5, 0, {0, 0, -1}, kY, kX}, {1, 2, 1, 0, T, B, -N},
                {1, 2, 2, 0, -T, B, N}, {1, 2, 3, 0, N, T, -B}, {1, 2, 4, 0, N, -T, B}, {1, 2, 5, 0, N, B, T},
                {1, 2, 0, 0, N, B, T}, {1, 2, 9, 0, N, B, T}, {1, 2, 6, 0, -N, B, -T},
                // Roll turns about the forward axis, or else about Z.
                {1, 1, 1, 90, kY, -kX, kZ}, {1, 3, 1, 90, kY, {0, 0, 1}, kX}, {1, 2, 1, 90, T, -N, -B},
                {1, 2, 2, 90, -T, -N, B}, {1, 2, 3, 90, B, T, N}, {1, 2, 4, 90, B, -T, -N}, {1, 2, 5, 90, B, -N, T},
                {1, 2, 6, 90, -B, -N, -T}, {2, 2, 1, 90, -B, -T, N}, {1, 1, 5, 180, -kX, -kY, kZ}},
               SlantedInstance(), SideCamera());
    // Ribbons turn by the spread and flip inside; the camera at the origin looks down world +Z at the
    // copy straight ahead.
    const Vec3 heading{0.6, 0.8, 0}, across{-0.8, 0.6, 0};
    const Vec3 half{kRoot08, kRoot02, 0}, halfAcross{-kRoot02, kRoot08, 0};
    CheckCases({{2, 1, 5, 0, kX, kY, kZ, 0}, {2, 1, 5, 0, kX, -kY, -kZ, 0, true}, {2, 1, 5, 0, heading, across, kZ},
                {2, 1, 5, 0, heading, -across, -kZ, 100, true}, {2, 1, 5, 0, half, halfAcross, kZ, 50},
                {2, 2, 5, 0, T, -B, N, 0}, {2, 2, 5, 0, T, -B, N}, {2, 7, 5, 0, T, B, -N, 100, true},
                {2, 3, 5, 0, kX, kY, kZ, 0}, {2, 3, 5, 0, heading, across, kZ},
                {2, 3, 5, 0, half, -halfAcross, -kZ, 50, true}},
               SlantedInstance({0, 0, 1000}), CameraInfo{});
    // clang-format on
}

TEST(OrientationBasis, RibbonHeadingFallsBackWhenThePathHasNoSideways)
{
    RenderSettings s;
    s.placementMode = PlacementMode::PathRibbon;
    struct FallbackCase {
        uint32_t orientation;
        Vec3 position, frameTangent, tangent;
        Vec3 x, y;
    };
    const CameraInfo camera;
    for (const FallbackCase& c : std::vector<FallbackCase>{
             {1, {}, kZ, {0, -1, 0}, {0, -1, 0}, kX}, // vertical frame: the tangent's heading
             {1, {}, kZ, -kZ, kX, kY}, // no heading at all
             {3, {100, 0, 1000}, kZ, kZ, -kX, -kY}, // receding off-centre: away from the centre
             {3, {0, 0, 1000}, kZ, kY, kY, -kX}, // straight into the view: the tangent
             {3, {}, kZ, {0, -1, 0}, {0, -1, 0}, kX}, // at the eye: the tangent's raw view direction
             {3, {}, kZ, kZ, kX, kY}, // nothing left: screen right
         }) {
        SpriteInstance instance;
        instance.position = c.position;
        instance.frameTangent = c.frameTangent;
        instance.tangent = c.tangent;
        s.orientationMode = static_cast<OrientationMode>(c.orientation);
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " tangent " << c.tangent.y);
        ExpectBasis(OrientationBasis(s, camera, instance), c.x, c.y, kZ);
    }
}

TEST(Orthonormalize, KeepsXAndFallsBackOnDegenerateAxes)
{
    ExpectBasis(Orthonormalize({2, 0, 0}, {1, 1, 0}, {}), kX, kY, kZ);
    ExpectBasis(Orthonormalize({}, {}, {}), kX, kY, kZ);
    ExpectBasis(Orthonormalize(kX, {5, 0, 0}, -kZ), kX, -kY, -kZ); // Y from Z x X
    ExpectBasis(Orthonormalize(kY, {0, 2, 0}, kY), kY, kZ, kX); // Y from world Z
    ExpectBasis(Orthonormalize(kZ, {0, 0, 3}, {}), kZ, kY, -kX); // Y from world Y
    ExpectBasis(Orthonormalize({3, 4, 0}, {0, 1, 0}, kZ), {0.6, 0.8, 0}, {-0.8, 0.6, 0}, kZ);
}

} // namespace
} // namespace strandel
