#include <cmath>
#include <utility>

#include "path/CameraInfo.h"

namespace strandel {

Vec3 TransformPoint(const Matrix4& m, const Vec3& p)
{
    const auto& a = m.m;
    double x = p.x * a[0][0] + p.y * a[1][0] + p.z * a[2][0] + a[3][0];
    double y = p.x * a[0][1] + p.y * a[1][1] + p.z * a[2][1] + a[3][1];
    double z = p.x * a[0][2] + p.y * a[1][2] + p.z * a[2][2] + a[3][2];
    double w = p.x * a[0][3] + p.y * a[1][3] + p.z * a[2][3] + a[3][3];
    if (std::fabs(w) > 1e-8) return {x / w, y / w, z / w};
    return {x, y, z};
}

Vec3 TransformDirection(const Matrix4& m, const Vec3& v)
{
    const auto& a = m.m;
    return {v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0], v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1],
            v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2]};
}

bool InvertMatrix4(const Matrix4& m, Matrix4& out)
{
    double aug[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            aug[r][c] = m.m[r][c];
            aug[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(aug[r][col]) > std::fabs(aug[pivot][col])) pivot = r;
        if (!(std::fabs(aug[pivot][col]) > 1e-12)) return false;
        if (pivot != col) std::swap(aug[pivot], aug[col]);
        const double p = aug[col][col];
        for (double& v : aug[col]) v /= p;
        for (int r = 0; r < 4; ++r) {
            const double f = aug[r][col];
            if (r == col || !(std::fabs(f) > 1e-18)) continue;
            for (int c = 0; c < 8; ++c) aug[r][c] -= f * aug[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.m[r][c] = aug[r][c + 4];
    return true;
}

} // namespace strandel
