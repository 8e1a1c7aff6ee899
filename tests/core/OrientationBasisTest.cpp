#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "layout/InstanceLayout.h"
#include "support/LayoutTestSupport.h"
#include "support/VecExpect.h"

namespace strandel {
namespace {

// The slanted path frame of SlantedInstance.
constexpr Vec3 T{0.6, 0.8, 0}, N{0, 0, 1}, B{0.8, -0.6, 0};
constexpr Vec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};
constexpr double kPi = std::numbers::pi;
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
    CheckCases({{1, 1, 5, 0, kX, kY, kZ},
                {1, 3, 5, 0, {0, 0, -1}, kY, kX},
                {1, 2, 1, 0, T, B, -N},
                {1, 2, 2, 0, -T, B, N},
                {1, 2, 3, 0, N, T, -B},
                {1, 2, 4, 0, N, -T, B},
                {1, 2, 5, 0, N, B, T},
                {1, 2, 0, 0, N, B, T},
                {1, 2, 9, 0, N, B, T},
                {1, 2, 6, 0, -N, B, -T},
                // Roll turns about the forward axis, or else about Z.
                {1, 1, 1, 90, kY, -kX, kZ},
                {1, 3, 1, 90, kY, {0, 0, 1}, kX},
                {1, 2, 1, 90, T, -N, -B},
                {1, 2, 2, 90, -T, -N, B},
                {1, 2, 3, 90, B, T, N},
                {1, 2, 4, 90, B, -T, -N},
                {1, 2, 5, 90, B, -N, T},
                {1, 2, 6, 90, -B, -N, -T},
                {2, 2, 1, 90, -B, -T, N},
                {1, 1, 5, 180, -kX, -kY, kZ}},
               SlantedInstance(), SideCamera());
    // Ribbons turn by the spread and flip inside; the camera at the origin looks down world +Z at the
    // copy straight ahead.
    const Vec3 heading{0.6, 0.8, 0}, across{-0.8, 0.6, 0};
    const Vec3 half{kRoot08, kRoot02, 0}, halfAcross{-kRoot02, kRoot08, 0};
    CheckCases({{2, 1, 5, 0, kX, kY, kZ, 0},
                {2, 1, 5, 0, kX, -kY, -kZ, 0, true},
                {2, 1, 5, 0, heading, across, kZ},
                {2, 1, 5, 0, heading, -across, -kZ, 100, true},
                {2, 1, 5, 0, half, halfAcross, kZ, 50},
                {2, 2, 5, 0, T, -B, N, 0},
                {2, 2, 5, 0, T, -B, N},
                {2, 7, 5, 0, T, B, -N, 100, true},
                {2, 3, 5, 0, kX, kY, kZ, 0},
                {2, 3, 5, 0, heading, across, kZ},
                {2, 3, 5, 0, half, -halfAcross, -kZ, 50, true}},
               SlantedInstance({0, 0, 1000}), CameraInfo{});
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

TEST(VectorTools, RotateAboutAxisAndPerpendicularPart)
{
    ExpectVecNear(RotateAboutAxis(kX, {0, 0, 5}, kPi / 2), kY);
    ExpectVecNear(RotateAboutAxis(kX, {}, kPi / 2), kY); // zero axis: about Z
    ExpectVecNear(RotateAboutAxis(kX, {1, 1, 1}, 2 * kPi / 3), kY);
    ExpectVecNear(RotateAboutAxis({0, 0, 2}, kX, -kPi / 2), {0, 2, 0});

    ExpectVecNear(PerpendicularPart({1, 1, 0}, kX, kZ), kY);
    ExpectVecNear(PerpendicularPart({3, 0, 0}, kX, {1, 0, 2}), kZ); // parallel: from the fallback
    ExpectVecNear(PerpendicularPart({3, 0, 0}, kX, {2, 0, 0}), {2, 0, 0}); // both parallel: the fallback
}

} // namespace
} // namespace strandel
