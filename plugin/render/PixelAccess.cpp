#include "render/PixelAccess.h"

namespace strandel {

void BlendPixelOver(PF_EffectWorld& output, PF_PixelFormat format, int64_t x, int64_t y, const Colour& colour)
{
    const ImageView view(output);
    if (!view.data || !view.Contains(x, y) || !(colour.a > 0)) return;
    const double s = colour.a < 1 ? colour.a : 1;
    const Channels premultiplied = ToChannels({s, s * colour.r, s * colour.g, s * colour.b});
    WithPixelFormat(format, [&]<class Format>(Format) {
        CompositeOver<Format>(
            ImageView::InRow<Format>(view.Row(static_cast<int32_t>(y)), static_cast<int32_t>(x)), premultiplied);
    });
}

} // namespace strandel
