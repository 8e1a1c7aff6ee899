// The axes a copy starts from before its own rotations: fixed, along the path, facing the
// camera, or one of the ribbon variants, then rolled.
#include <cmath>
#include <numbers>

#include "layout/InstanceLayout.h"
#include "path/PathGeometry.h"
#include "render/Projection.h"

namespace strandel {
namespace {

constexpr double kNegligible = 1e-8;
constexpr Vec3 kWorldX{1, 0, 0};
constexpr Vec3 kWorldY{0, 1, 0};
constexpr Vec3 kWorldZ{0, 0, 1};

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The angle of a 2D direction, taken from its unit vector; 0 when it has no direction.
double Heading(const Vec3& w)
{
    const double length = Length(w);
    if (length <= kNegligible) return 0.0;
    return std::atan2(w.y / length, w.x / length);
}

Basis FollowPathBasis(const SpriteInstance& instance, ForwardAxis forwardAxis)
{
    const Vec3& N = instance.normal;
    const Vec3& B = instance.binormal;
    const Vec3& T = instance.frameTangent;
    switch (forwardAxis) {
    case ForwardAxis::PlusX: return Orthonormalize(T, B, NormalizeOr(Cross(T, B), N));
    case ForwardAxis::MinusX: return Orthonormalize(-T, B, NormalizeOr(Cross(-T, B), N));
    case ForwardAxis::PlusY: return Orthonormalize(N, T, NormalizeOr(Cross(N, T), B));
    case ForwardAxis::MinusY: return Orthonormalize(N, -T, NormalizeOr(Cross(N, -T), B));
    case ForwardAxis::MinusZ: return Orthonormalize(-N, B, -T);
    default: return Orthonormalize(N, B, T);
    }
}

Basis RibbonFollowBasis(const SpriteInstance& instance, bool inside)
{
    const Vec3 T1 = NormalizeOr(instance.frameTangent, NormalizeOr(instance.tangent, kWorldX));
    const Vec3 B1 = NormalizeOr(instance.binormal, {0, -1, 0});
    Vec3 W = PerpendicularPart(instance.binormal, T1, B1);
    if (!inside) W = -W;
    return Orthonormalize(T1, W, NormalizeOr(Cross(T1, W), instance.normal));
}

Basis RibbonFixedBasis(const SpriteInstance& instance, const RenderSettings& settings)
{
    Vec3 w{instance.frameTangent.x, instance.frameTangent.y, 0};
    if (Length(w) <= kNegligible) w = {instance.tangent.x, instance.tangent.y, 0};
    const double a = Heading(w) * settings.spread / 100.0;

    const Vec3 X{std::cos(a), std::sin(a), 0};
    Vec3 Y = NormalizeOr({-std::sin(a), std::cos(a), 0}, kWorldY);
    if (settings.inside) Y = -Y;
    return Orthonormalize(X, Y, kWorldZ);
}

// The direction the path takes across the screen at the copy, from the derivative of the
// perspective division; falls back to the raw view direction and finally to screen right.
double ScreenHeading(const SpriteInstance& instance, const CameraInfo& camera)
{
    const Vec3 p = WorldToView(camera, instance.position);
    const auto projected = [&p](const Vec3& d) { return Vec3{p.z * d.x - d.z * p.x, p.z * d.y - d.z * p.y, 0}; };

    Vec3 heading = projected(WorldToViewDirection(camera, instance.frameTangent));
    if (Length(heading) <= kNegligible) {
        const Vec3 d = WorldToViewDirection(camera, instance.tangent);
        heading = projected(d);
        if (Length(heading) <= kNegligible) heading = {d.x, d.y, 0};
    }
    return Heading(heading);
}

Basis RibbonFaceCameraBasis(const SpriteInstance& instance, const RenderSettings& settings, const CameraInfo& camera)
{
    const double a = ScreenHeading(instance, camera) * settings.spread / 100.0;
    const Vec3 X = NormalizeOr(std::cos(a) * camera.cameraRight + std::sin(a) * camera.cameraDown, camera.cameraRight);
    Vec3 Y = NormalizeOr(Cross(camera.cameraForward, X), camera.cameraDown);
    if (settings.inside) Y = -Y;
    return Orthonormalize(X, Y, camera.cameraForward);
}

Basis UnrolledBasis(const RenderSettings& settings, const CameraInfo& camera, const SpriteInstance& instance)
{
    if (settings.placementMode == PlacementMode::PathRibbon) {
        switch (settings.orientationMode) {
        case OrientationMode::Fixed: return RibbonFixedBasis(instance, settings);
        case OrientationMode::FaceCamera: return RibbonFaceCameraBasis(instance, settings, camera);
        default: return RibbonFollowBasis(instance, settings.inside);
        }
    }
    switch (settings.orientationMode) {
    case OrientationMode::Fixed: return {kWorldX, kWorldY, kWorldZ};
    case OrientationMode::FollowPath: return FollowPathBasis(instance, settings.forwardAxis);
    default: return {camera.cameraRight, camera.cameraDown, camera.cameraForward};
    }
}

// Follow Path rolls about the axis laid along the path; every other mode about Z.
Vec3 RollAxis(const RenderSettings& settings, const Basis& basis)
{
    if (settings.placementMode == PlacementMode::PathRibbon || settings.orientationMode != OrientationMode::FollowPath)
        return basis.z;
    switch (settings.forwardAxis) {
    case ForwardAxis::PlusX: return basis.x;
    case ForwardAxis::MinusX: return -basis.x;
    case ForwardAxis::PlusY: return basis.y;
    case ForwardAxis::MinusY: return -basis.y;
    case ForwardAxis::MinusZ: return -basis.z;
    default: return basis.z;
    }
}

} // namespace

Basis OrientationBasis(const RenderSettings& settings, const CameraInfo& camera, const SpriteInstance& instance)
{
    Basis b = UnrolledBasis(settings, camera, instance);
    if (std::abs(settings.roll) > kNegligible) {
        const Vec3 axis = RollAxis(settings, b);
        const double angle = Radians(settings.roll);
        b = {RotateAboutAxis(b.x, axis, angle), RotateAboutAxis(b.y, axis, angle), RotateAboutAxis(b.z, axis, angle)};
    }
    return Orthonormalize(b.x, b.y, b.z);
}

Vec3 RotateAboutAxis(const Vec3& v, const Vec3& axis, double radians)
{
    const Vec3 k = NormalizeOr(axis, kWorldZ);
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return v * c + Cross(k, v) * s + k * (Dot(k, v) * (1.0 - c));
}

Basis Orthonormalize(const Vec3& x, const Vec3& y, const Vec3& z)
{
    const Vec3 X = NormalizeOr(x, kWorldX);

    Vec3 Y1 = y - Dot(X, y) * X;
    if (Length(Y1) <= kNegligible) Y1 = Cross(NormalizeOr(z, kWorldZ), X);
    if (Length(Y1) <= kNegligible) {
        const Vec3 A = std::abs(X.y) < 0.9 ? kWorldY : kWorldZ;
        Y1 = A - Dot(A, X) * X;
    }
    const Vec3 Y = NormalizeOr(Y1, kWorldY);

    const Vec3 Z = NormalizeOr(Cross(X, Y), NormalizeOr(z, kWorldZ));
    return {X, NormalizeOr(Cross(Z, X), Y), Z};
}

Vec3 PerpendicularPart(const Vec3& v, const Vec3& unitT, const Vec3& fallback)
{
    Vec3 w = v - Dot(unitT, v) * unitT;
    if (Length(w) <= kNegligible) w = fallback - Dot(unitT, fallback) * unitT;
    return NormalizeOr(w, fallback);
}

} // namespace strandel
