#include "render/TextureSampling.h"

namespace strandel {

Colour FetchTexel(const PF_EffectWorld& image, PF_PixelFormat format, int64_t x, int64_t y)
{
    const ImageView view(image);
    if (!view.data || !view.Contains(x, y)) return {};
    return WithPixelFormat(format, [&]<class Format>(Format) {
        const std::byte* pixel = ImageView::InRow<Format>(view.Row(static_cast<int32_t>(y)), static_cast<int32_t>(x));
        return ToColour(Format::Load(pixel) * Format::kToUnit);
    });
}

Colour SampleBilinear(const PF_EffectWorld& image, PF_PixelFormat format, double u, double v)
{
    const ImageView view(image);
    if (!view.HasPixels()) return {};
    return WithPixelFormat(format, [&]<class Format>(Format) {
        const BilinearSampler<Format> sampler(view);
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
