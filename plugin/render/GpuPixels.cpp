#include "render/GpuPixels.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "render/PixelAccess.h"

namespace strandel {
namespace {

// Channel storage of one format code: the stored type and its value at full scale.
template <class Channel, int kFullScale>
struct ChannelFormat {
    using Type = Channel;
    static float ToUnit(Channel stored)
    {
        if constexpr (kFullScale == 255) return stored / 255.0f;
        else return stored * (1.0f / kFullScale);
    }
    // Rounded to nearest, halves away from zero (the value is non-negative).
    static Channel FromUnit(float unit) { return static_cast<Channel>(std::round(Clamp01(unit) * kFullScale)); }
};
using Channels8 = ChannelFormat<uint8_t, 255>;
using Channels16 = ChannelFormat<uint16_t, 32768>;

struct ChannelsFloat {
    using Type = float;
    static float ToUnit(float stored) { return stored; }
};

template <class Fn>
void WithFormatCode(FormatCode format, Fn&& fn)
{
    if (format == FormatCode::ArgbFloat) fn(ChannelsFloat{});
    else if (format == FormatCode::Argb16) fn(Channels16{});
    else fn(Channels8{});
}

template <class Format>
Float4 LoadPixel(const std::byte* pixel)
{
    typename Format::Type c[4];
    std::memcpy(c, pixel, sizeof c);
    return {Format::ToUnit(c[0]), Format::ToUnit(c[1]), Format::ToUnit(c[2]), Format::ToUnit(c[3])};
}

template <class Format>
void StorePixel(std::byte* pixel, const Float4& p)
{
    typename Format::Type c[4];
    if constexpr (std::is_same_v<Format, ChannelsFloat>) {
        c[0] = Clamp01(p.x);
        c[1] = p.y;
        c[2] = p.z;
        c[3] = p.w;
    } else {
        c[0] = Format::FromUnit(p.x);
        c[1] = Format::FromUnit(p.y);
        c[2] = Format::FromUnit(p.z);
        c[3] = Format::FromUnit(p.w);
    }
    std::memcpy(pixel, c, sizeof c);
}

// Calls fn(row address, first packed index of the row) for every row of the image.
template <class Byte, class Fn>
void ForEachRow(Byte* data, int32_t width, int32_t height, int32_t rowBytes, Fn&& fn)
{
    for (int32_t y = 0; y < height; ++y)
        fn(data + static_cast<std::ptrdiff_t>(y) * rowBytes, static_cast<std::size_t>(y) * width);
}

} // namespace

std::vector<Float4> ToFloat4Pixels(const GpuTexture& image)
{
    if (!image.data || image.width < 1 || image.height < 1) return {};
    std::vector<Float4> pixels(static_cast<std::size_t>(image.width) * image.height);
    const auto* data = static_cast<const std::byte*>(image.data);
    WithFormatCode(image.format, [&]<class Format>(Format) {
        constexpr std::size_t pixelBytes = 4 * sizeof(typename Format::Type);
        ForEachRow(data, image.width, image.height, image.rowBytes, [&](const std::byte* row, std::size_t first) {
            for (int32_t x = 0; x < image.width; ++x) pixels[first + x] = LoadPixel<Format>(row + x * pixelBytes);
        });
    });
    return pixels;
}

void StoreFloat4Pixels(const std::vector<Float4>& pixels, const GpuImage& image)
{
    if (!image.data || image.width < 1 || image.height < 1 ||
        pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        return;
    WithFormatCode(image.format, [&]<class Format>(Format) {
        constexpr std::size_t pixelBytes = 4 * sizeof(typename Format::Type);
        ForEachRow(static_cast<std::byte*>(image.data), image.width, image.height, image.rowBytes,
                   [&](std::byte* row, std::size_t first) {
                       for (int32_t x = 0; x < image.width; ++x)
                           StorePixel<Format>(row + x * pixelBytes, pixels[first + x]);
                   });
    });
}

} // namespace strandel
