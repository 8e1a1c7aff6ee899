// Single lookups in a source image, with the arithmetic the renderer uses for each pixel.
#pragma once
#include <cstdint>

#include "render/PixelAccess.h"

namespace strandel {

// (0, 0, 0, 0) outside the image or without pixel data.
Colour FetchTexel(const ImageView& image, int64_t x, int64_t y);
// Alpha-weighted bilinear filtering, clamped to the border texels: (0, 0, 0, 0) for an image
// without pixels or a negligible filtered alpha; alpha is clamped to [0, 1].
Colour SampleBilinear(const ImageView& image, double u, double v);

} // namespace strandel
