#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "path/CameraInfo.h"
#include "support/VecExpect.h"

namespace strandel {
namespace {

Matrix4 Rows(std::initializer_list<std::initializer_list<double>> rows)
{
    Matrix4 m;
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (double v : row) m.m[r][c++] = v;
        ++r;
    }
    return m;
}

// Relative to the expected entry, so that large and small inverses are held to the same digits.
void ExpectMatrixNear(const Matrix4& actual, const Matrix4& expected)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const double e = expected.m[r][c];
            EXPECT_NEAR(actual.m[r][c], e, 1e-12 * std::max(1.0, std::fabs(e))) << r << "," << c;
        }
}

TEST(CameraMath, TransformPointAppliesRowVectorsAndDividesByW)
{
    const Matrix4 affine = Rows({{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {10, 20, 30, 1}});
    ExpectVecNear(TransformPoint(affine, {1, 1, 1}), {12, 23, 34});

    // Row 2 column 3 feeds z into w: w = 0.5 z + 1, so (1, 1, 2) is divided by 2.
    Matrix4 projective = affine;
    projective.m[2][3] = 0.5;
    ExpectVecNear(TransformPoint(projective, {1, 1, 2}), {6, 11.5, 19});

    // A vanishing w is left alone rather than dividing by (almost) zero.
    Matrix4 flat = affine;
    flat.m[3][3] = 0;
    ExpectVecNear(TransformPoint(flat, {1, 1, 1}), {12, 23, 34});
}

TEST(CameraMath, TransformDirectionIgnoresTranslationAndW)
{
    const Matrix4 m = Rows({{0, 1, 0, 7}, {-1, 0, 0, 7}, {0, 0, 2, 7}, {100, 200, 300, 9}});
    ExpectVecNear(TransformDirection(m, {1, 2, 3}), {-2, 1, 6});
}

TEST(CameraMath, InvertMatrix4AcceptsAPivotJustAboveTheSingularThreshold)
{
    Matrix4 out;
    ASSERT_TRUE(InvertMatrix4(Rows({{1e-11, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}), out));
    ExpectMatrixNear(out, Rows({{1e11, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}));
}

TEST(CameraMath, InvertMatrix4RoundTripsWellConditionedMatrices)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-1, 1);
    for (int trial = 0; trial < 200; ++trial) {
        Matrix4 m;
        for (auto& row : m.m)
            for (double& v : row) v = value(rng);
        for (int i = 0; i < 4; ++i) m.m[i][i] += 5 * (value(rng) < 0 ? -1 : 1);
        // Shuffle rows so that the largest entry is rarely on the diagonal already.
        std::shuffle(std::begin(m.m), std::end(m.m), rng);
        Matrix4 inverse;
        ASSERT_TRUE(InvertMatrix4(m, inverse));
        ExpectMatrixNear(m * inverse, Matrix4::Identity());
        ExpectMatrixNear(inverse * m, Matrix4::Identity());
    }
}

TEST(CameraMath, InvertMatrix4LeavesOutputUntouchedWhenSingular)
{
    const Matrix4 singular[] = {
        Rows({{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {3, 4, 5, 1}}), // zero scale
        Rows({{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}), // dependent rows
        Rows({{1e-13, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}), // pivot below 1e-12
        Rows({{1, 1, 0, 0}, {1, 1 + 1e-14, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}), // near-singular after elimination
    };
    const Matrix4 sentinel = Rows({{9, 8, 7, 6}, {5, 4, 3, 2}, {1, 0, -1, -2}, {-3, -4, -5, -6}});
    for (const Matrix4& m : singular) {
        Matrix4 out = sentinel;
        EXPECT_FALSE(InvertMatrix4(m, out));
        EXPECT_EQ(out, sentinel);
    }
}

} // namespace
} // namespace strandel
