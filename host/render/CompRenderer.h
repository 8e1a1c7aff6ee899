// A composition rendered flat: its visible layers from the bottom up, each placed by its
// layer-to-world transform and seen through the comp's camera, sampled bilinearly and laid
// "over" what is below with straight alpha. Small and exact rather than fast.
#pragma once
#include <functional>
#include <optional>

#include "host/image/Image.h"
#include "host/project/Project.h"
#include "host/project/Transforms.h"
#include "path/Vec3.h"

namespace strandel::host {

// A layer's pixels before its transform: its source, or what its effects made of it.
using LayerPixelsFn = std::function<std::optional<Image>(const Layer& layer, double seconds, PixelDepth depth)>;

// A 3 x 3 matrix by rows, applied to row vectors.
struct Rows3 {
    Vec3 r[3];
    Vec3 Apply(const Vec3& v) const { return r[0] * v.x + r[1] * v.y + r[2] * v.z; }
};

// None when the matrix is singular.
std::optional<Rows3> Inverse(const Rows3& m);

// Layer pixel (u, v, 1) to homogeneous comp pixels (X, Y, W): a 2D layer maps affinely
// (W = 1); a 3D layer goes into the camera's space c and is projected with the camera's
// zoom Z to (Z c.x + cx c.z, Z c.y + cy c.z, c.z) about the comp centre (cx, cy).
Rows3 LayerToScreen(const Matrix4& layerToWorld, bool threeD, const CameraView& camera, const Composition& comp);

Image RenderCompFlat(const Project& project, const Composition& comp, double seconds, PixelDepth depth,
                     const LayerPixelsFn& layerPixels);

} // namespace strandel::host
