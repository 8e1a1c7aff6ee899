// Layer-to-world matrices and the comp camera. Row vectors, translation in row 4:
// LayerToWorld = T(-anchor) . S(scale / 100) . Rx(xRotation) . Ry(yRotation) . Rz(rotation)
//                . Rx(ox) . Ry(oy) . Rz(oz) . T(position), times the parent's LayerToWorld.
// A 2D layer has z = 0 and only Rz.
#pragma once
#include <optional>

#include "host/project/Project.h"
#include "path/Matrix4.h"
#include "path/Vec3.h"

namespace strandel::host {

Matrix4 TranslationMatrix(const Vec3& offset);
Matrix4 ScaleMatrix(const Vec3& factors);
// Degrees. Rz maps (x, y) to (x cos a - y sin a, x sin a + y cos a): clockwise on screen, y down.
Matrix4 RotationXMatrix(double degrees);
Matrix4 RotationYMatrix(double degrees);
Matrix4 RotationZMatrix(double degrees);

Matrix4 LayerToWorld(const Project& project, const Layer& layer, double seconds);
// The exact inverse, built from the inverse factors; none when a scale factor is 0.
std::optional<Matrix4> WorldToLayer(const Project& project, const Layer& layer, double seconds);

struct CameraView {
    Matrix4 cameraToWorld; // rows: right, down, forward, position
    double zoom = 0; // distance to the image plane, pixels
    const Layer* layer = nullptr; // none for the default camera
};

// The first enabled camera layer from the top, or none.
const Layer* ActiveCameraLayer(const Composition& comp);

// The active camera: forward f = normalize(pointOfInterest - position), right
// r = normalize((0, 1, 0) x f) (or (1, 0, 0) when f is along Y), down d = f x r; the camera's
// own rotations turn that frame, and its parent carries it. Without a camera layer, the default
// camera: zoom = width x 50 / 36 at (w / 2, h / 2, -zoom) with the world's axes.
CameraView CompCamera(const Project& project, const Composition& comp, double seconds);

double DefaultCameraZoom(const Composition& comp);

} // namespace strandel::host
