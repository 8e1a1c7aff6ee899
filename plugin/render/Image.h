// A view of pixels the plug-in reads or draws into: ARGB, straight colour, rows rowBytes apart
// (padded or negative strides allowed). It owns nothing; the host or a source slot does.
#pragma once
#include <cstddef>
#include <cstdint>

namespace strandel {

enum class PixelFormat : uint8_t { Argb8, Argb16, ArgbFloat };

constexpr std::ptrdiff_t BytesPerPixel(PixelFormat format)
{
    return format == PixelFormat::ArgbFloat ? 16 : format == PixelFormat::Argb16 ? 8 : 4;
}

struct ImageView {
    std::byte* data = nullptr;
    std::ptrdiff_t rowBytes = 0;
    int32_t width = 0;
    int32_t height = 0;
    PixelFormat format = PixelFormat::Argb8;

    bool HasPixels() const { return data && width >= 1 && height >= 1; }
    bool Contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::byte* Row(int32_t y) const { return data + static_cast<std::ptrdiff_t>(y) * rowBytes; }
};

} // namespace strandel
