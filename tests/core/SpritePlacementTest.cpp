#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "layout/InstanceLayout.h"
#include "support/LayoutTestSupport.h"
#include "support/VecExpect.h"

namespace strandel {
namespace {

// Seed 1, index 2: the hashes of channels 11, 12, 13 and 21 worked by hand.
double FromHash(uint32_t h) { return 2.0 * (h / 4294967295.0) - 1.0; }
const double kRandomX = FromHash(0xC78BECDAu), kRandomY = FromHash(0x1806E300u), kRandomZ = FromHash(0x09F28288u),
             kRandomScale = FromHash(0x6D6825A2u);

// Copy 2 of 5 (u = 0.5) at the middle of the gradient, facing world axes.
struct Fixture {
    RenderSettings settings = LinearCurves();
    SpriteInstance instance = SlantedInstance({10, 20, 1000});
    CameraInfo camera;
    Fixture()
    {
        settings.count = 5;
        settings.orientationMode = OrientationMode::Fixed;
        instance.index = 2;
        instance.gradientFraction = 0.5;
    }
};

SourceQuad UnitQuad(const ImageView& image = {})
{
    SourceQuad quad;
    quad.image = image;
    quad.corners[0] = {-0.5, -0.5, 0};
    quad.corners[1] = {0.5, -0.5, 0};
    quad.corners[2] = {0.5, 0.5, 0};
    quad.corners[3] = {-0.5, 0.5, 0};
    return quad;
}

// PlaceSprite below pins the corners of a flat quad facing the world axes; here a corner with depth
// along the path frame (N, B, T) = ((0, 0, 1), (0.8, -0.6, 0), (0.6, 0.8, 0)), at twice the size.
TEST(PoseSprite, CornersSpanTheQuadAlongTheAxesAtScale)
{
    Fixture f;
    f.settings.objectScale = 200;
    f.settings.orientationMode = OrientationMode::FollowPath;
    SourceQuad deep = UnitQuad();
    deep.corners[0] = {1, 2, 3};
    const std::optional<SpritePose> along = PoseSprite(f.instance, f.settings, f.camera);
    ASSERT_TRUE(along);
    ExpectVecNear(QuadWorldCorners(f.instance.position, *along, deep)[0], Vec3{10 + 6.8, 20 + 2.4, 1000 + 2});
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
        Fixture f;
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

TEST(PoseSprite, ScaleMultipliesPathAndOwnSizesAndDropsNegativeSums)
{
    ExpectPoseValues({&RenderSettings::gradientStartScale, &RenderSettings::gradientEndScale,
                      &RenderSettings::objectScale, &RenderSettings::rampScale, &RenderSettings::randomScale},
                     &SpritePose::scale,
                     {{100, 100, 100, 0, 0, 1},
                      {50, 150, 80, 0, 0, 0.8},
                      {100, 100, 100, 40, 0, 1.2},
                      {100, 100, 100, 0, 30, (100 + 30 * kRandomScale) / 100},
                      {-100, 100, 100, 0, 0, 0},
                      {-100, -100, -100, 0, 0, 0},
                      {100, 100, -50, 20, 0, 0},
                      {100, 100, 0, 0, 0, 0},
                      {0, 0, 100, 0, 0, 0},
                      {1e-2, 1e-2, 1e-4, 0, 0, 0}});
}

TEST(PoseSprite, OpacityMultipliesTheClampedGradientAndRenderOpacities)
{
    ExpectPoseValues({&RenderSettings::gradientStartOpacity, &RenderSettings::gradientEndOpacity,
                      &RenderSettings::opacity, &RenderSettings::rampOpacity, nullptr},
                     &SpritePose::opacity,
                     {{100, 100, 100, 0, 0, 1},
                      {0, 100, 100, 0, 0, 0.5},
                      {0, 100, 50, 0, 0, 0.25},
                      {100, 0, 150, 0, 0, 0.5},
                      {100, 100, 100, -100, 0, 0.5},
                      {300, 300, 80, 0, 0, 0.8},
                      {100, 100, 0, 0, 0, 0},
                      {0, 0, 100, 0, 0, 0},
                      {200, 200, -50, 0, 0, 0}});
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
    Fixture f;
    f.settings.orientationMode = OrientationMode::FollowPath; // starts from the path frame (N, B, T)
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
}

TEST(PlaceSprite, EmitsOnlyDrawableQuadsThatHavePixels)
{
    std::byte pixel[4] = {std::byte{255}, std::byte{255}, std::byte{255}, std::byte{255}};
    const ImageView image{pixel, 4, 1, 1, PixelFormat::Argb8};
    ImageView empty = image;
    empty.data = nullptr;

    Fixture f;
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
    f.settings.opacity = 100;

    EXPECT_FALSE(PlaceSprite(f.instance, UnitQuad(), f.settings, f.camera, list));
    EXPECT_FALSE(PlaceSprite(f.instance, UnitQuad(empty), f.settings, f.camera, list));
    f.settings.opacity = 0;
    EXPECT_FALSE(PlaceSprite(f.instance, quad, f.settings, f.camera, list));
    f.settings.opacity = 100;
    f.settings.objectScale = 0;
    EXPECT_FALSE(PlaceSprite(f.instance, quad, f.settings, f.camera, list));
    f.settings.objectScale = 100;
    f.instance.position.z = -50; // behind the camera
    EXPECT_FALSE(PlaceSprite(f.instance, quad, f.settings, f.camera, list));
    EXPECT_EQ(list.size(), 2u);
}

} // namespace
} // namespace strandel
