// How the comp is seen this frame: effect layer transform, camera, comp size, downsampling.
#pragma once
#include "path/Matrix4.h"
#include "path/Vec3.h"

namespace strandel {

struct CameraInfo {
    Matrix4 layerToWorld;
    Matrix4 worldToLayer;
    Matrix4 cameraToLayer;
    Matrix4 layerToCamera;
    bool hasCamera = false;
    Vec3 cameraPosition;
    Vec3 cameraRight{1, 0, 0};
    Vec3 cameraDown{0, 1, 0};
    Vec3 cameraForward{0, 0, 1};
    double zoom = 1;
    double compWidth = 1;
    double compHeight = 1;
    double downsampleX = 1;
    double downsampleY = 1;
    double originX = 0;
    double originY = 0;
};

Vec3 TransformPoint(const Matrix4& m, const Vec3& p);
Vec3 TransformDirection(const Matrix4& m, const Vec3& v);
// Gauss-Jordan with partial pivoting; false (out untouched) when singular.
bool InvertMatrix4(const Matrix4& m, Matrix4& out);

} // namespace strandel
