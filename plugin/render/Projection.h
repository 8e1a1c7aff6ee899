// Camera space, near-plane clipping and projection of sprite quads into output-pixel triangles.
#pragma once
#include <array>
#include <optional>

#include "path/CameraInfo.h"
#include "render/Triangles.h"

namespace strandel {

// A triangle clipped against one plane keeps at most four vertices.
struct ClippedPolygon {
    std::array<ViewVertex, 4> vertices;
    int count = 0;
};

// A point in output pixels.
struct ScreenPoint {
    double x = 0, y = 0;
};

Vec3 WorldToView(const CameraInfo& camera, const Vec3& point);
Vec3 WorldToViewDirection(const CameraInfo& camera, const Vec3& direction);

// Sutherland-Hodgman against z = kNearPlaneZ; a vertex with any non-finite field is outside.
ClippedPolygon ClipTriangleNear(const ViewVertex& v0, const ViewVertex& v1, const ViewVertex& v2);

// Perspective division and the comp-to-output mapping of a camera-space point with z > 0.
// Fails when the result or the scale is not finite.
std::optional<ScreenPoint> ProjectViewPoint(const CameraInfo& camera, const Vec3& view);

// Fails for non-finite vertices and vertices in front of the near plane.
std::optional<ScreenVertex> ProjectToScreen(const CameraInfo& camera, const ViewVertex& vertex);

// Corners in world space: top-left, top-right, bottom-right, bottom-left of the quad's texture
// rectangle. Appends the clipped halves (A, B, C) then (A, C, D) as single-triangle entries.
void EmitQuadTriangles(const SourceQuad& quad, const std::array<Vec3, 4>& corners, double opacity,
                       const CameraInfo& camera, TriangleList& list);

} // namespace strandel
