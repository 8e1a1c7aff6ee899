#include "render/PixelAccess.h"

namespace strandel {

void BlendPixelOver(const ImageView& output, int64_t x, int64_t y, const Colour& colour)
{
    if (!output.data || !output.Contains(x, y) || !(colour.a > 0)) return;
    const double s = colour.a < 1 ? colour.a : 1;
    const Channels premultiplied = ToChannels({s, s * colour.r, s * colour.g, s * colour.b});
    WithPixelFormat(output.format, [&]<class Format>(Format) {
        CompositeOver<Format>(PixelInRow<Format>(output.Row(static_cast<int32_t>(y)), static_cast<int32_t>(x)),
                              premultiplied);
    });
}

} // namespace strandel
