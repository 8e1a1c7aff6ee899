// What the geometry and rasterizer targets share: a small textured source, an output at a
// chosen pixel format, and the checks on what was drawn.
#pragma once
#include <cmath>

#include "fuzz/FuzzInput.h"
#include "render/DepthSort.h"
#include "render/SourceQuad.h"
#include "support/OwnedImage.h"

namespace strandel::fuzz {

inline PixelFormat AnyFormat(FuzzInput& in)
{
    constexpr PixelFormat kFormats[] = {PixelFormat::Argb8, PixelFormat::Argb16, PixelFormat::ArgbFloat};
    return kFormats[in.Raw<uint8_t>() % 3];
}

// A source of 1 to 8 x 1 to 8 texels with any stored values, and one quad over all of it.
struct FuzzSource {
    test::OwnedImage image;
    SourceQuad quad;

    explicit FuzzSource(FuzzInput& in)
        : image(1 + in.Raw<uint8_t>() % 8, 1 + in.Raw<uint8_t>() % 8, AnyFormat(in), in.Raw<uint8_t>() % 5)
    {
        const bool isFloat = image.Format() == PixelFormat::ArgbFloat;
        const double full = test::FullScale(image.Format());
        for (int32_t y = 0; y < image.Height(); ++y)
            for (int32_t x = 0; x < image.Width(); ++x) {
                std::array<double, 4> c;
                for (double& v : c)
                    v = isFloat ? double(in.Raw<float>()) : double(in.Raw<uint16_t>() % (int(full) + 1));
                image.Set(x, y, c);
            }
        quad.image = image.View();
        const double w = image.Width(), h = image.Height();
        for (int i = 0; i < 4; ++i) quad.corners[i] = {(i == 1 || i == 2 ? w : -w) / 2, (i < 2 ? -h : h) / 2, 0};
        quad.uMax = w - 1;
        quad.vMax = h - 1;
    }
};

// Stored channels stay in range. Float output may go above 1, but from sources of plausible
// values (a million times white at most) it stays finite.
inline void CheckDrawn(const test::OwnedImage& output, const test::OwnedImage& source, const DepthBuffer* depth)
{
    bool plausible = true;
    for (double c : source.Channels()) plausible = plausible && std::fabs(c) <= 1e6;
    for (double c : output.Channels()) {
        if (output.Format() != PixelFormat::ArgbFloat) Require(c >= 0 && c <= test::FullScale(output.Format()));
        else if (plausible) Require(std::isfinite(c));
    }
    if (depth)
        for (double z : depth->values) Require(!std::isnan(z));
    for (std::byte b : output.PaddingBytes()) Require(b == std::byte{0});
}

} // namespace strandel::fuzz
