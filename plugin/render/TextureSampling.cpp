#include "render/TextureSampling.h"

namespace strandel {

Colour FetchTexel(const ImageView& image, int64_t x, int64_t y)
{
    if (!image.data || !image.Contains(x, y)) return {};
    return WithPixelFormat(image.format, [&]<class Format>(Format) {
        const std::byte* pixel = PixelInRow<Format>(image.Row(static_cast<int32_t>(y)), static_cast<int32_t>(x));
        return ToColour(Format::Load(pixel) * Format::kToUnit);
    });
}

Colour SampleBilinear(const ImageView& image, double u, double v)
{
    if (!image.HasPixels()) return {};
    return WithPixelFormat(image.format, [&]<class Format>(Format) {
        const BilinearSampler<Format> sampler(image);
        const Channels filtered = sampler.FilterPremultiplied(sampler.Locate(u, v));
        const float alpha = filtered[0] * Format::kToUnit;
        if (!(alpha > 1e-12f)) return Colour{};
        const float toStraight = Format::kToUnit / filtered[0];
        Colour c = ToColour(filtered * toStraight);
        c.a = alpha < 1 ? alpha : 1;
        return c;
    });
}

} // namespace strandel
