// The ramp curve record: a Bezier spline on the unit square, stored byte for byte in the
// hidden curve-data parameters of saved projects. Its layout can never change.
#pragma once
#include <cstddef>
#include <cstdint>

namespace strandel {

constexpr std::size_t kCurveRecordSize = 784;
constexpr int kMaxCurvePoints = 16;

struct CurvePoint {
    double x, y;
    double inDx, inDy;
    double outDx, outDy;
};

struct RampCurve {
    uint32_t version;
    uint32_t flags; // bit 0: edited
    int32_t pointCount;
    uint32_t reserved;
    CurvePoint points[kMaxCurvePoints];

    bool Edited() const { return (flags & 1u) != 0; }
};

static_assert(sizeof(CurvePoint) == 48);
static_assert(sizeof(RampCurve) == kCurveRecordSize);
static_assert(offsetof(RampCurve, version) == 0 && offsetof(RampCurve, flags) == 4 &&
              offsetof(RampCurve, pointCount) == 8 && offsetof(RampCurve, reserved) == 12 &&
              offsetof(RampCurve, points) == 16);

// Every curve clamp: the upper bound wins when both are violated, and a NaN passes through.
inline double ClampUpperFirst(double value, double lo, double hi)
{
    if (value > hi) return hi;
    if (value < lo) return lo;
    return value;
}

RampCurve MakeDefaultCurve(bool edited);
// Repairs in place; false when the record had to be replaced by the default curve.
bool NormalizeCurve(RampCurve& curve);

} // namespace strandel
