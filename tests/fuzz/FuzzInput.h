// Reads typed values off a fuzzer's bytes; past the end every read gives zero, so any length is
// a complete input.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace strandel::fuzz {

// A failed check ends the process, as the fuzzer expects of a fault.
inline void Require(bool condition)
{
    if (!condition) std::abort();
}

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <class T>
    T Raw()
    {
        T value{};
        const std::size_t n = std::min(sizeof value, size_ - used_);
        if (n) std::memcpy(&value, data_ + used_, n);
        used_ += n;
        return value;
    }
    // Any double: NaN, infinities and subnormals included.
    double AnyDouble() { return Raw<double>(); }
    // A double in [lo, hi], spread over the range by 16 bits.
    double InRange(double lo, double hi) { return lo + (hi - lo) * (Raw<uint16_t>() / 65535.0); }
    int32_t IntInRange(int32_t lo, int32_t hi)
    {
        return lo + static_cast<int32_t>(Raw<uint32_t>() % (static_cast<uint32_t>(hi - lo) + 1));
    }
    bool Bool() { return Raw<uint8_t>() & 1; }
    std::size_t Remaining() const { return size_ - used_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};

} // namespace strandel::fuzz
