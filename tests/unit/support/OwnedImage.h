// An ARGB image that owns its pixels, for feeding and reading the renderers in tests and benchmarks.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "AE_Effect.h"

namespace strandel::test {

inline std::size_t ChannelBytes(PF_PixelFormat format)
{
    if (format == PF_PixelFormat_ARGB128) return 4;
    if (format == PF_PixelFormat_ARGB64) return 2;
    return 1;
}

// Full scale of a stored channel: 255, 32768 or 1.0.
inline double FullScale(PF_PixelFormat format)
{
    if (format == PF_PixelFormat_ARGB128) return 1;
    if (format == PF_PixelFormat_ARGB64) return 32768;
    return 255;
}

class OwnedImage {
public:
    // padBytes extra bytes end every row, so code that assumes packed rows reads the wrong pixels.
    OwnedImage(int32_t width, int32_t height, PF_PixelFormat format, int32_t padBytes = 0)
        : format_(format), channelBytes_(ChannelBytes(format))
    {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 4 * channelBytes_ + padBytes;
        storage_.assign(rowBytes * static_cast<std::size_t>(height > 0 ? height : 0), std::byte{0});
        world_.data = reinterpret_cast<PF_PixelPtr>(storage_.data());
        world_.rowbytes = static_cast<A_long>(rowBytes);
        world_.width = width;
        world_.height = height;
    }
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;
    OwnedImage(OwnedImage&&) = default;

    PF_EffectWorld& World() { return world_; }
    const PF_EffectWorld* WorldPtr() const { return &world_; }
    PF_PixelFormat Format() const { return format_; }
    int32_t Width() const { return world_.width; }
    int32_t Height() const { return world_.height; }

    // Channels A, R, G, B in stored units (0..255, 0..32768 or float).
    std::array<double, 4> Get(int32_t x, int32_t y) const
    {
        std::array<double, 4> out{};
        const std::byte* p = PixelAt(x, y);
        for (int c = 0; c < 4; ++c) out[c] = ReadChannel(p + c * channelBytes_);
        return out;
    }

    void Set(int32_t x, int32_t y, const std::array<double, 4>& stored)
    {
        std::byte* p = const_cast<std::byte*>(PixelAt(x, y));
        for (int c = 0; c < 4; ++c) WriteChannel(p + c * channelBytes_, stored[c]);
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

    // Padding bytes are never written by a renderer that respects row bytes.
    std::vector<std::byte> PaddingBytes() const
    {
        std::vector<std::byte> out;
        const std::size_t used = static_cast<std::size_t>(Width()) * 4 * channelBytes_;
        for (int32_t y = 0; y < Height(); ++y)
            for (std::size_t i = used; i < static_cast<std::size_t>(world_.rowbytes); ++i)
                out.push_back(storage_[y * static_cast<std::size_t>(world_.rowbytes) + i]);
        return out;
    }

private:
    const std::byte* PixelAt(int32_t x, int32_t y) const
    {
        return storage_.data() + static_cast<std::size_t>(y) * world_.rowbytes + x * 4 * channelBytes_;
    }

    double ReadChannel(const std::byte* p) const
    {
        if (channelBytes_ == 4) {
            float f;
            std::memcpy(&f, p, 4);
            return f;
        }
        if (channelBytes_ == 2) {
            uint16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
        return static_cast<double>(std::to_integer<uint8_t>(*p));
    }

    void WriteChannel(std::byte* p, double value) const
    {
        if (channelBytes_ == 4) {
            const float f = static_cast<float>(value);
            std::memcpy(p, &f, 4);
        } else if (channelBytes_ == 2) {
            const uint16_t v = static_cast<uint16_t>(value);
            std::memcpy(p, &v, 2);
        } else {
            *p = static_cast<std::byte>(static_cast<uint8_t>(value));
        }
    }

    PF_PixelFormat format_;
    std::size_t channelBytes_;
    std::vector<std::byte> storage_;
    PF_EffectWorld world_{};
};

} // namespace strandel::test
