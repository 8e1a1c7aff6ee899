#include "host/CurveRecord.h"

#include <cstring>

#include "host/HostError.h"

namespace strandel::host {
namespace {

constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kPointBytes = 48;

void PutU32(std::vector<uint8_t>& b, std::size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
uint32_t GetU32(const std::vector<uint8_t>& b, std::size_t at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(b[at + i]) << (8 * i);
    return v;
}

} // namespace

std::vector<uint8_t> EncodeCurveRecord(const std::vector<CurvePointValues>& points, bool edited)
{
    if (points.size() < 2 || points.size() > kCurveMaxPoints)
        throw HostError("a curve needs 2 to 16 points, got " + std::to_string(points.size()));
    std::vector<uint8_t> bytes(kCurveRecordBytes, 0);
    PutU32(bytes, 0, 1);
    PutU32(bytes, 4, edited ? 1u : 0u);
    PutU32(bytes, 8, static_cast<uint32_t>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i)
        std::memcpy(&bytes[kHeaderBytes + i * kPointBytes], points[i].data(), kPointBytes);
    return bytes;
}

std::optional<DecodedCurve> DecodeCurveRecord(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < kCurveRecordBytes || GetU32(bytes, 0) != 1) return std::nullopt;
    uint32_t count = GetU32(bytes, 8);
    if (count < 2 || count > kCurveMaxPoints) return std::nullopt;
    DecodedCurve curve;
    curve.edited = (GetU32(bytes, 4) & 1u) != 0;
    curve.points.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        std::memcpy(curve.points[i].data(), &bytes[kHeaderBytes + i * kPointBytes], kPointBytes);
    return curve;
}

} // namespace strandel::host
