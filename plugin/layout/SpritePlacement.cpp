// A copy's final axes, size and opacity, and its quads' world corners handed to projection.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "curves/CurveModel.h"
#include "layout/InstanceLayout.h"
#include "render/Projection.h"

namespace strandel {
namespace {

constexpr double kNegligible = 1e-8;

double Lerp(double start, double end, double t) { return start + (end - start) * t; }
double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

struct CurveValues {
    double rotation[3];
    double scale;
    double opacity;
};

CurveValues Evaluate(const RampCurve (&curves)[5], double t)
{
    return {{EvaluateCurve(curves[kCurveRotationX], t), EvaluateCurve(curves[kCurveRotationY], t),
             EvaluateCurve(curves[kCurveRotationZ], t)},
            EvaluateCurve(curves[kCurveScale], t),
            EvaluateCurve(curves[kCurveOpacity], t)};
}

// Per axis: the path gradient, the object angle, the ramp and the random spread, in degrees.
Vec3 RotationDegrees(const RenderSettings& settings, const CurveValues& ramp, const CurveValues& gradient,
                     uint32_t index)
{
    constexpr double Vec3::*kAxes[3] = {&Vec3::x, &Vec3::y, &Vec3::z};
    constexpr uint32_t kChannels[3] = {kRandomRotationXChannel, kRandomRotationYChannel, kRandomRotationZChannel};
    Vec3 degrees;
    for (int a = 0; a < 3; ++a) {
        const auto axis = kAxes[a];
        degrees.*axis =
            Lerp(settings.gradientStartRotation.*axis, settings.gradientEndRotation.*axis, gradient.rotation[a]) +
            settings.objectRotation.*axis + settings.rampRotation.*axis * ramp.rotation[a] +
            settings.randomRotation.*axis * SignedRandom(settings.randomSeed, index, kChannels[a]);
    }
    return degrees;
}

// Turns the other two axes about `pivot`, which stays put.
void TurnAbout(const Vec3& pivot, Vec3& a, Vec3& b, double degrees)
{
    if (std::abs(degrees) <= kNegligible) return;
    const double radians = Radians(degrees);
    a = RotateAboutAxis(a, pivot, radians);
    b = RotateAboutAxis(b, pivot, radians);
}

} // namespace

std::optional<SpritePose> PoseSprite(const SpriteInstance& instance, const RenderSettings& settings,
                                     const CameraInfo& camera)
{
    const CurveValues ramp = Evaluate(settings.rampCurves, IndexFraction(settings.count, instance.index));
    const CurveValues gradient = Evaluate(settings.gradientCurves, Clamp01(instance.gradientFraction));
    const uint32_t index = uint32_t(instance.index);

    const double pathScale =
        std::max(0.0, Lerp(settings.gradientStartScale, settings.gradientEndScale, gradient.scale));
    const double ownScale =
        std::max(0.0, settings.objectScale + settings.rampScale * ramp.scale +
                          settings.randomScale * SignedRandom(settings.randomSeed, index, kRandomScaleChannel));
    const double scale = pathScale / 100.0 * ownScale / 100.0;
    if (scale <= kNegligible) return std::nullopt;

    const double opacity =
        Clamp01(Lerp(settings.gradientStartOpacity, settings.gradientEndOpacity, gradient.opacity) / 100.0) *
        Clamp01((settings.opacity + settings.rampOpacity * ramp.opacity) / 100.0);
    if (opacity <= kNegligible) return std::nullopt;

    Basis b = OrientationBasis(settings, camera, instance);
    const Vec3 degrees = RotationDegrees(settings, ramp, gradient, index);
    TurnAbout(b.x, b.y, b.z, degrees.x);
    TurnAbout(b.y, b.x, b.z, degrees.y);
    TurnAbout(b.z, b.x, b.y, degrees.z);
    return SpritePose{Orthonormalize(b.x, b.y, b.z), scale, opacity};
}

std::array<Vec3, 4> QuadWorldCorners(const Vec3& position, const SpritePose& pose, const SourceQuad& quad)
{
    std::array<Vec3, 4> world;
    for (std::size_t k = 0; k < world.size(); ++k) {
        const Vec3& q = quad.corners[k];
        world[k] = position + pose.scale * (q.x * pose.axes.x + q.y * pose.axes.y + q.z * pose.axes.z);
    }
    return world;
}

bool PlaceSprite(const SpriteInstance& instance, const SourceQuad& quad, const RenderSettings& settings,
                 const CameraInfo& camera, TriangleList& list)
{
    if (!quad.image.data) return false;
    const std::optional<SpritePose> pose = PoseSprite(instance, settings, camera);
    if (!pose) return false;

    const std::size_t before = list.size();
    EmitQuadTriangles(quad, QuadWorldCorners(instance.position, *pose, quad), pose->opacity, camera, list);
    return list.size() > before;
}

} // namespace strandel
