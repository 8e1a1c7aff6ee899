// Alpha-weighted bilinear filtering of a source image, clamped to its border texels.
#pragma once
#include <algorithm>

#include "render/PixelAccess.h"

namespace strandel {

// The four texels around (u, v), clamped to the border texels, and the position between them.
struct BilinearFootprint {
    const std::byte* topLeft = nullptr;
    std::ptrdiff_t toRight = 0; // 0 on the last column
    std::ptrdiff_t toBelow = 0; // 0 on the last row
    float fx = 0, fy = 0;
};

template <class Format> inline BilinearFootprint Locate(const ImageView& image, double u, double v)
{
    // maxsd returns its second operand when the first is NaN, so NaN becomes 0.
    const auto clamp = [](double value, int32_t size) {
        return _mm_cvtsd_f64(_mm_min_sd(_mm_max_sd(_mm_set_sd(value), _mm_setzero_pd()), _mm_set_sd(size - 1.0)));
    };
    const double uc = clamp(u, image.width), vc = clamp(v, image.height);
    const int32_t x0 = static_cast<int32_t>(uc); // non-negative, so truncation is floor
    const int32_t y0 = static_cast<int32_t>(vc);
    return {ImageView::InRow<Format>(image.Row(y0), x0),
            x0 + 1 < image.width ? static_cast<std::ptrdiff_t>(4 * sizeof(typename Format::Channel)) : 0,
            y0 + 1 < image.height ? image.rowBytes : 0, static_cast<float>(uc - x0), static_cast<float>(vc - y0)};
}

// Weighting colour by alpha keeps transparent texels from darkening the edges of a sprite.
// The result is in stored units: lane 0 the filtered alpha, the colour lanes the filtered
// alpha-weighted colour (premultiplied), which is what compositing needs without a division.
template <class Format> inline Channels FilterPremultiplied(const BilinearFootprint& at)
{
    const auto premultiplied = [](Channels t) { return t * Channels{1, t[0], t[0], t[0]}; };
    const std::byte* below = at.topLeft + at.toBelow;
    const Channels t00 = premultiplied(Format::Load(at.topLeft));
    const Channels t10 = premultiplied(Format::Load(at.topLeft + at.toRight));
    const Channels t01 = premultiplied(Format::Load(below));
    const Channels t11 = premultiplied(Format::Load(below + at.toRight));
    const Channels top = t00 + at.fx * (t10 - t00);
    const Channels bottom = t01 + at.fx * (t11 - t01);
    return top + at.fy * (bottom - top);
}

// (0, 0, 0, 0) outside the image or without pixel data.
Colour FetchTexel(const PF_EffectWorld& image, PF_PixelFormat format, int64_t x, int64_t y);
// (0, 0, 0, 0) for an image without pixels or a negligible filtered alpha; alpha is clamped to [0, 1].
Colour SampleBilinear(const PF_EffectWorld& image, PF_PixelFormat format, double u, double v);

} // namespace strandel
