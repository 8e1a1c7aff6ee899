#include "render/Projection.h"

#include <algorithm>
#include <cmath>

namespace strandel {
namespace {

bool IsInside(const ViewVertex& v) { return IsFiniteVertex(v) && v.z >= kNearPlaneZ; }

ViewVertex Lerp(const ViewVertex& a, const ViewVertex& b, double t)
{
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z), a.u + t * (b.u - a.u),
            a.v + t * (b.v - a.v)};
}

// Where the edge prev -> cur leaves or enters the visible side.
ViewVertex Crossing(const ViewVertex& prev, const ViewVertex& cur)
{
    if (!std::isfinite(prev.z)) return cur;
    if (!std::isfinite(cur.z)) return prev;
    const double dz = cur.z - prev.z;
    if (!std::isfinite(dz) || std::fabs(dz) <= 1e-12) return prev;
    const double t = std::clamp((kNearPlaneZ - prev.z) / dz, 0.0, 1.0);
    ViewVertex crossing = Lerp(prev, cur, t);
    // The interpolated z can round to just below the plane, and projection would then refuse the
    // very point clipping produced. When the edge truly straddles the plane, pin it there.
    if ((prev.z >= kNearPlaneZ) != (cur.z >= kNearPlaneZ)) crossing.z = kNearPlaneZ;
    return crossing;
}

} // namespace

Vec3 WorldToView(const CameraInfo& camera, const Vec3& point)
{
    if (!camera.hasCamera) {
        const Vec3 d = point - camera.cameraPosition;
        return {Dot(d, camera.cameraRight), Dot(d, camera.cameraDown), Dot(d, camera.cameraForward)};
    }
    return TransformPoint(camera.layerToCamera, TransformPoint(camera.worldToLayer, point));
}

Vec3 WorldToViewDirection(const CameraInfo& camera, const Vec3& direction)
{
    if (!camera.hasCamera)
        return {Dot(direction, camera.cameraRight), Dot(direction, camera.cameraDown),
                Dot(direction, camera.cameraForward)};
    return TransformDirection(camera.layerToCamera, TransformDirection(camera.worldToLayer, direction));
}

ClippedPolygon ClipTriangleNear(const ViewVertex& v0, const ViewVertex& v1, const ViewVertex& v2)
{
    const ViewVertex* in[3] = {&v0, &v1, &v2};
    ClippedPolygon out;
    for (int i = 0; i < 3; ++i) {
        const ViewVertex& cur = *in[i];
        const ViewVertex& prev = *in[(i + 2) % 3];
        const bool curInside = IsInside(cur);
        if (curInside != IsInside(prev)) out.vertices[out.count++] = Crossing(prev, cur);
        if (curInside) out.vertices[out.count++] = cur;
    }
    return out;
}

std::optional<ScreenPoint> ProjectViewPoint(const CameraInfo& camera, const Vec3& view)
{
    const double s = camera.zoom / view.z;
    const double X = s * view.x + camera.compWidth * 0.5;
    const double Y = s * view.y + camera.compHeight * 0.5;
    if (!std::isfinite(s) || !std::isfinite(X) || !std::isfinite(Y)) return std::nullopt;
    const ScreenPoint p{X * camera.downsampleX + camera.originX, Y * camera.downsampleY + camera.originY};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
    return p;
}

std::optional<ScreenVertex> ProjectToScreen(const CameraInfo& camera, const ViewVertex& vertex)
{
    if (!IsInside(vertex)) return std::nullopt;
    const auto p = ProjectViewPoint(camera, {vertex.x, vertex.y, vertex.z});
    if (!p) return std::nullopt;
    const ScreenVertex out{p->x, p->y, vertex.z, vertex.u, vertex.v};
    if (!IsFiniteVertex(out) || !(out.z > 1e-12)) return std::nullopt;
    return out;
}

void EmitQuadTriangles(const SourceQuad& quad, const std::array<Vec3, 4>& corners, double opacity,
                       const CameraInfo& camera, TriangleList& list)
{
    const double us[4] = {quad.uMin, quad.uMax, quad.uMax, quad.uMin};
    const double vs[4] = {quad.vMin, quad.vMin, quad.vMax, quad.vMax};
    ViewVertex view[4];
    for (int k = 0; k < 4; ++k) {
        const Vec3 p = WorldToView(camera, corners[k]);
        view[k] = {p.x, p.y, p.z, us[k], vs[k]};
    }
    const int halves[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& half : halves) {
        const ClippedPolygon polygon = ClipTriangleNear(view[half[0]], view[half[1]], view[half[2]]);
        if (polygon.count < 3) continue;
        const auto first = ProjectToScreen(camera, polygon.vertices[0]);
        for (int i = 2; i < polygon.count; ++i) {
            const auto b = ProjectToScreen(camera, polygon.vertices[i - 1]);
            const auto c = ProjectToScreen(camera, polygon.vertices[i]);
            if (!first || !b || !c) continue;
            list.push_back({&quad, *first, *b, *c, *first, opacity, (first->z + b->z + c->z) / 3});
        }
    }
}

} // namespace strandel
