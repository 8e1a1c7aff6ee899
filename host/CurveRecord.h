// The effect's stored curve form (784 bytes, little-endian) as scene files describe curves:
// a list of points [x, y, inDx, inDy, outDx, outDy].
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace strandel::host {

using CurvePointValues = std::array<double, 6>;

constexpr std::size_t kCurveRecordBytes = 784;
constexpr std::size_t kCurveMaxPoints = 16;

// Throws HostError when the list has fewer than 2 or more than 16 points.
std::vector<uint8_t> EncodeCurveRecord(const std::vector<CurvePointValues>& points, bool edited);
struct DecodedCurve {
    std::vector<CurvePointValues> points;
    bool edited = false;
};
std::optional<DecodedCurve> DecodeCurveRecord(const std::vector<uint8_t>& bytes);

} // namespace strandel::host
