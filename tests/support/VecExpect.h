// Component-wise near-equality for vectors in unit tests.
#pragma once
#include <gtest/gtest.h>

#include "path/Vec3.h"

namespace strandel {

inline void ExpectVecNear(const Vec3& actual, const Vec3& expected, double tolerance = 1e-12)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

} // namespace strandel
