// An owned ARGB image with straight colour at one of the render depths, rows `RowBytes` apart.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "AE_Effect.h"

namespace strandel::host {

// Channel ranges: 8-bit 0..255, 16-bit 0..32768, float 0..1 (colours may exceed 1).
enum class PixelDepth { Eight = 8, Sixteen = 16, Float = 32 };

std::size_t BytesPerPixel(PixelDepth depth);

// A pixel as fractions of full scale, whatever the depth.
struct PixelValue {
    double a = 0, r = 0, g = 0, b = 0;
    bool operator==(const PixelValue&) const = default;
};

class Image {
public:
    Image() = default;
    // Fully transparent. Rows are padded beyond width x pixel size so that code which
    // assumes packed rows reads the wrong pixels.
    Image(int width, int height, PixelDepth depth);

    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelDepth Depth() const { return depth_; }
    std::ptrdiff_t RowBytes() const { return rowBytes_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    std::byte* Row(int y) { return data_.data() + y * rowBytes_; }
    const std::byte* Row(int y) const { return data_.data() + y * rowBytes_; }

    // Raw channel access at the image's depth (8-bit and 16-bit values as integers).
    template <class Channel>
    Channel* PixelAt(int x, int y)
    {
        return reinterpret_cast<Channel*>(Row(y) + x * BytesPerPixel(depth_));
    }
    template <class Channel>
    const Channel* PixelAt(int x, int y) const
    {
        return reinterpret_cast<const Channel*>(Row(y) + x * BytesPerPixel(depth_));
    }

    PixelValue Get(int x, int y) const;
    // Integer depths round to the nearest step and clamp to their range.
    void Set(int x, int y, const PixelValue& value);
    void Fill(const PixelValue& value);

    // A view for the effect API; valid while this image lives and is not resized.
    PF_EffectWorld AsEffectWorld();

private:
    int width_ = 0;
    int height_ = 0;
    PixelDepth depth_ = PixelDepth::Eight;
    std::ptrdiff_t rowBytes_ = 0;
    std::vector<std::byte> data_;
};

Image ConvertDepth(const Image& image, PixelDepth depth);

} // namespace strandel::host
