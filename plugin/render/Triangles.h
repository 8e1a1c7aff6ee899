// The frame's projected triangles: the one input of depth sort and both renderers.
#pragma once
#include <cmath>
#include <vector>

#include "render/SourceQuad.h"

namespace strandel {

// Camera-space vertex: z is the distance along the viewing axis; u, v in source texels.
struct ViewVertex {
    double x = 0, y = 0, z = 0, u = 0, v = 0;
};

// Output-buffer vertex: x, y in pixels, z the camera-space depth, u, v in source texels.
struct ScreenVertex {
    double x = 0, y = 0, z = 0, u = 0, v = 0;
    bool operator==(const ScreenVertex&) const = default;
};

// D equal to A marks a single triangle A, B, C; otherwise the entry is the quad A, B, C, D.
struct ScreenTriangle {
    const SourceQuad* quad = nullptr;
    ScreenVertex A, B, C, D;
    double opacity = 0;
    double depth = 0;
};

using TriangleList = std::vector<ScreenTriangle>;

constexpr double kNearPlaneZ = 0.001001;

template <class Vertex>
bool IsFiniteVertex(const Vertex& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.u) && std::isfinite(v.v);
}

} // namespace strandel
