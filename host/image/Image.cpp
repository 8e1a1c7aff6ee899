#include "host/image/Image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace strandel::host {
namespace {

constexpr std::ptrdiff_t kRowPadding = 16;

double Quantize(double fraction, double fullScale) { return std::round(std::clamp(fraction, 0.0, 1.0) * fullScale); }

} // namespace

std::size_t BytesPerPixel(PixelDepth depth)
{
    switch (depth) {
    case PixelDepth::Eight: return 4;
    case PixelDepth::Sixteen: return 8;
    case PixelDepth::Float: return 16;
    }
    return 4;
}

Image::Image(int width, int height, PixelDepth depth) : width_(width), height_(height), depth_(depth)
{
    if (width < 0 || height < 0) throw std::invalid_argument("image size must not be negative");
    const auto packed = static_cast<std::ptrdiff_t>(width) * static_cast<std::ptrdiff_t>(BytesPerPixel(depth));
    rowBytes_ = (packed + 15) / 16 * 16 + kRowPadding;
    data_.assign(static_cast<std::size_t>(rowBytes_) * static_cast<std::size_t>(height), std::byte{0});
}

PixelValue Image::Get(int x, int y) const
{
    switch (depth_) {
    case PixelDepth::Eight: {
        const auto* p = PixelAt<std::uint8_t>(x, y);
        return {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, p[3] / 255.0};
    }
    case PixelDepth::Sixteen: {
        const auto* p = PixelAt<std::uint16_t>(x, y);
        return {p[0] / 32768.0, p[1] / 32768.0, p[2] / 32768.0, p[3] / 32768.0};
    }
    case PixelDepth::Float: {
        const auto* p = PixelAt<float>(x, y);
        return {p[0], p[1], p[2], p[3]};
    }
    }
    return {};
}

void Image::Set(int x, int y, const PixelValue& v)
{
    const double channels[4] = {v.a, v.r, v.g, v.b};
    switch (depth_) {
    case PixelDepth::Eight: {
        auto* p = PixelAt<std::uint8_t>(x, y);
        for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(Quantize(channels[c], 255.0));
        break;
    }
    case PixelDepth::Sixteen: {
        auto* p = PixelAt<std::uint16_t>(x, y);
        for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint16_t>(Quantize(channels[c], 32768.0));
        break;
    }
    case PixelDepth::Float: {
        auto* p = PixelAt<float>(x, y);
        for (int c = 0; c < 4; ++c) p[c] = static_cast<float>(channels[c]);
        break;
    }
    }
}

void Image::Fill(const PixelValue& value)
{
    if (width_ == 0 || height_ == 0) return;
    // One pixel converted, then copied: solid layers are filled for every frame that shows them.
    Set(0, 0, value);
    const std::size_t pixelBytes = BytesPerPixel(depth_);
    for (int x = 1; x < width_; ++x) std::memcpy(Row(0) + x * pixelBytes, Row(0), pixelBytes);
    for (int y = 1; y < height_; ++y) std::memcpy(Row(y), Row(0), width_ * pixelBytes);
}

PF_EffectWorld Image::AsEffectWorld()
{
    PF_EffectWorld world{};
    world.world_flags = PF_WorldFlag_WRITEABLE | (depth_ == PixelDepth::Sixteen ? PF_WorldFlag_DEEP : 0);
    world.data = reinterpret_cast<PF_PixelPtr>(data_.data());
    world.rowbytes = static_cast<A_long>(rowBytes_);
    world.width = width_;
    world.height = height_;
    world.extent_hint = {0, 0, width_, height_};
    world.pix_aspect_ratio = {1, 1};
    return world;
}

Image ConvertDepth(const Image& image, PixelDepth depth)
{
    Image out(image.Width(), image.Height(), depth);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) out.Set(x, y, image.Get(x, y));
    return out;
}

} // namespace strandel::host
