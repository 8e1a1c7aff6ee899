// Alpha-weighted bilinear filtering of a source image, clamped to its border texels.
#pragma once
#include <cmath>

#include "render/PixelAccess.h"

namespace strandel {

// Where (u, v) falls among the texels: the top-left of its four and the position between them.
struct BilinearFootprint {
    const std::byte* topLeft;
    float fx, fy;
};

// Alpha-weighted bilinear filtering of one image (which must have pixels), clamped to its
// border texels.
template <class Format> class BilinearSampler {
public:
    explicit BilinearSampler(const ImageView& image)
        : image_(image),
          // Keeping u below the last column makes the right-hand texel always exist: at the border
          // fx rounds to exactly 1 and the filter returns the border texel itself.
          uLimit_(image.width > 1 ? std::nextafter(image.width - 1.0, 0.0) : 0.0),
          vLimit_(image.height > 1 ? std::nextafter(image.height - 1.0, 0.0) : 0.0),
          toRight_(image.width > 1 ? static_cast<std::ptrdiff_t>(4 * sizeof(typename Format::Channel)) : 0),
          toBelow_(image.height > 1 ? image.rowBytes : 0)
    {
    }

    BilinearFootprint Locate(double u, double v) const
    {
        // maxsd returns its second operand when the first is NaN, so NaN becomes 0.
        const auto clamp = [](double value, double limit) {
            return _mm_cvtsd_f64(_mm_min_sd(_mm_max_sd(_mm_set_sd(value), _mm_setzero_pd()), _mm_set_sd(limit)));
        };
        const double uc = clamp(u, uLimit_), vc = clamp(v, vLimit_);
        const int32_t x0 = static_cast<int32_t>(uc); // non-negative, so truncation is floor
        const int32_t y0 = static_cast<int32_t>(vc);
        return {PixelInRow<Format>(image_.Row(y0), x0), static_cast<float>(uc - x0),
                static_cast<float>(vc - y0)};
    }

    // Weighting colour by alpha keeps transparent texels from darkening the edges of a sprite.
    // The result is in stored units: lane 0 the filtered alpha, the colour lanes the filtered
    // alpha-weighted (premultiplied) colour, which compositing uses without a division.
    Channels FilterPremultiplied(const BilinearFootprint& at) const
    {
        const auto premultiplied = [](Channels t) { return t * Channels{1, t[0], t[0], t[0]}; };
        const std::byte* below = at.topLeft + toBelow_;
        const Channels t00 = premultiplied(Format::Load(at.topLeft));
        const Channels t10 = premultiplied(Format::Load(at.topLeft + toRight_));
        const Channels t01 = premultiplied(Format::Load(below));
        const Channels t11 = premultiplied(Format::Load(below + toRight_));
        const Channels top = t00 + at.fx * (t10 - t00);
        const Channels bottom = t01 + at.fx * (t11 - t01);
        return top + at.fy * (bottom - top);
    }

private:
    ImageView image_;
    double uLimit_, vLimit_;
    std::ptrdiff_t toRight_, toBelow_;
};

// (0, 0, 0, 0) outside the image or without pixel data.
Colour FetchTexel(const ImageView& image, int64_t x, int64_t y);
// (0, 0, 0, 0) for an image without pixels or a negligible filtered alpha; alpha is clamped to [0, 1].
Colour SampleBilinear(const ImageView& image, double u, double v);

} // namespace strandel
