// The host's 4x4 double matrix: stored by rows, applied to row vectors (translation in row 3).
#pragma once
#include "path/Vec3.h"

namespace strandel {

struct Matrix4 {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static constexpr Matrix4 Identity() { return {}; }
    constexpr bool operator==(const Matrix4&) const = default;
};

// Row-vector product a * b: applying the result equals applying a, then b.
constexpr Matrix4 operator*(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

} // namespace strandel
