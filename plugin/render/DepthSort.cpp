#include "render/DepthSort.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace strandel {

DepthBuffer::DepthBuffer(int32_t width_, int32_t height_)
{
    if (width_ < 1 || height_ < 1) return;
    values.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                  std::numeric_limits<double>::infinity());
    width = width_;
    height = height_;
}

bool DepthBuffer::Fits(int32_t outputWidth, int32_t outputHeight) const
{
    return outputWidth >= 1 && outputHeight >= 1 && width == outputWidth && height == outputHeight &&
           values.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

void SortTrianglesByDepth(TriangleList& list)
{
    // A NaN key would break the strict weak order std::sort relies on; it sorts as farthest.
    const auto key = [](const ScreenTriangle& t) {
        return std::isnan(t.depth) ? std::numeric_limits<double>::infinity() : t.depth;
    };
    std::sort(list.begin(), list.end(),
              [&](const ScreenTriangle& a, const ScreenTriangle& b) { return key(a) > key(b); });
}

} // namespace strandel
