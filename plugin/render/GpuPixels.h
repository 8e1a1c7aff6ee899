// Images to and from the packed four-float pixels the GPU kernel reads and writes.
#pragma once
#include <vector>

#include "render/GpuPass.h"

namespace strandel {

// width * height pixels, A, R, G, B as unit values, rows packed. An image without data or with a
// width or height below 1 gives an empty array.
std::vector<Float4> ToFloat4Pixels(const GpuTexture& image);

// Stores width * height packed pixels into the image: 8- and 16-bit channels clamped to [0, 1] and
// rounded to the nearest level; float keeps colours as they are and clamps only alpha.
void StoreFloat4Pixels(const std::vector<Float4>& pixels, const GpuImage& image);

} // namespace strandel
