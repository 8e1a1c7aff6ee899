// An ARGB image that owns its pixels, for feeding and reading the renderers in tests and benchmarks.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <vector>

#include "render/Image.h"

namespace strandel {

// Test messages name the format.
inline std::ostream& operator<<(std::ostream& out, PixelFormat format)
{
    return out << (format == PixelFormat::ArgbFloat ? "float" : format == PixelFormat::Argb16 ? "16-bit" : "8-bit");
}

} // namespace strandel

namespace strandel::test {

inline constexpr PixelFormat kFormats[] = {PixelFormat::Argb8, PixelFormat::Argb16, PixelFormat::ArgbFloat};

inline std::size_t ChannelBytes(PixelFormat format) { return static_cast<std::size_t>(BytesPerPixel(format)) / 4; }

// Full scale of a stored channel: 255, 32768 or 1.0.
inline double FullScale(PixelFormat format)
{
    if (format == PixelFormat::ArgbFloat) return 1;
    if (format == PixelFormat::Argb16) return 32768;
    return 255;
}

// One stored channel at p, in stored units.
inline double ReadStored(const std::byte* p, PixelFormat format)
{
    float f;
    uint16_t v;
    switch (format) {
    case PixelFormat::ArgbFloat: return std::memcpy(&f, p, 4), f;
    case PixelFormat::Argb16: return std::memcpy(&v, p, 2), v;
    default: return std::to_integer<uint8_t>(*p);
    }
}

inline void WriteStored(std::byte* p, PixelFormat format, double value)
{
    if (format == PixelFormat::ArgbFloat) {
        const float f = static_cast<float>(value);
        std::memcpy(p, &f, 4);
    } else if (format == PixelFormat::Argb16) {
        const uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else {
        *p = static_cast<std::byte>(static_cast<uint8_t>(value));
    }
}

class OwnedImage {
public:
    // padBytes extra bytes end every row, so code that assumes packed rows reads the wrong pixels.
    OwnedImage(int32_t width, int32_t height, PixelFormat format, int32_t padBytes = 0)
        : channelBytes_(ChannelBytes(format))
    {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 4 * channelBytes_ + padBytes;
        storage_.assign(rowBytes * static_cast<std::size_t>(height > 0 ? height : 0), std::byte{0});
        view_ = {storage_.data(), static_cast<std::ptrdiff_t>(rowBytes), width, height, format};
    }
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;
    OwnedImage(OwnedImage&&) = default;

    const ImageView& View() const { return view_; }
    PixelFormat Format() const { return view_.format; }
    int32_t Width() const { return view_.width; }
    int32_t Height() const { return view_.height; }

    // Channels A, R, G, B in stored units (0..255, 0..32768 or float).
    std::array<double, 4> Get(int32_t x, int32_t y) const
    {
        std::array<double, 4> out{};
        const std::byte* p = PixelAt(x, y);
        for (int c = 0; c < 4; ++c) out[c] = ReadStored(p + c * channelBytes_, Format());
        return out;
    }

    void Set(int32_t x, int32_t y, const std::array<double, 4>& stored)
    {
        std::byte* p = const_cast<std::byte*>(PixelAt(x, y));
        for (int c = 0; c < 4; ++c) WriteStored(p + c * channelBytes_, Format(), stored[c]);
    }

    // Every pixel's channels in stored units, row by row, without the row padding.
    std::vector<double> Channels() const
    {
        std::vector<double> out;
        for (int32_t y = 0; y < Height(); ++y)
            for (int32_t x = 0; x < Width(); ++x)
                for (double c : Get(x, y)) out.push_back(c);
        return out;
    }

    // Every byte, row padding included.
    const std::vector<std::byte>& Bytes() const { return storage_; }

    // Padding bytes are never written by a renderer that respects row bytes.
    std::vector<std::byte> PaddingBytes() const
    {
        std::vector<std::byte> out;
        const std::size_t used = static_cast<std::size_t>(Width()) * 4 * channelBytes_;
        for (int32_t y = 0; y < Height(); ++y)
            for (std::size_t i = used; i < static_cast<std::size_t>(view_.rowBytes); ++i)
                out.push_back(storage_[y * static_cast<std::size_t>(view_.rowBytes) + i]);
        return out;
    }

private:
    const std::byte* PixelAt(int32_t x, int32_t y) const
    {
        return storage_.data() + static_cast<std::size_t>(y) * view_.rowBytes + x * 4 * channelBytes_;
    }

    std::size_t channelBytes_;
    std::vector<std::byte> storage_;
    ImageView view_;
};

// An image of one colour, given in stored units.
inline OwnedImage Filled(int32_t width, int32_t height, PixelFormat format, const std::array<double, 4>& stored,
                         int32_t padBytes = 8)
{
    OwnedImage image(width, height, format, padBytes);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) image.Set(x, y, stored);
    return image;
}

// Pixels and row padding alike.
inline OwnedImage CopyOf(const OwnedImage& image)
{
    const ImageView& view = image.View();
    const auto padding = static_cast<int32_t>(view.rowBytes - view.width * BytesPerPixel(view.format));
    OwnedImage copy(image.Width(), image.Height(), image.Format(), padding);
    std::memcpy(copy.View().data, view.data, static_cast<std::size_t>(view.rowBytes) * view.height);
    return copy;
}

} // namespace strandel::test
