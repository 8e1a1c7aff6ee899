#include "host/image/BoxReduce.h"

#include <algorithm>
#include <stdexcept>

namespace strandel::host {

Image BoxReduce(const Image& image, int factor)
{
    if (factor < 1) throw std::invalid_argument("reduction factor must be at least 1");
    if (factor == 1) return image;
    const int width = (image.Width() + factor - 1) / factor;
    const int height = (image.Height() + factor - 1) / factor;
    Image out(width, height, image.Depth());
    for (int oy = 0; oy < height; ++oy)
        for (int ox = 0; ox < width; ++ox) {
            const int x1 = std::min(image.Width(), (ox + 1) * factor);
            const int y1 = std::min(image.Height(), (oy + 1) * factor);
            double alpha = 0, r = 0, g = 0, b = 0;
            int count = 0;
            for (int y = oy * factor; y < y1; ++y)
                for (int x = ox * factor; x < x1; ++x) {
                    const PixelValue p = image.Get(x, y);
                    alpha += p.a;
                    r += p.a * p.r;
                    g += p.a * p.g;
                    b += p.a * p.b;
                    ++count;
                }
            if (alpha > 0) out.Set(ox, oy, {alpha / count, r / alpha, g / alpha, b / alpha});
        }
    return out;
}

} // namespace strandel::host
