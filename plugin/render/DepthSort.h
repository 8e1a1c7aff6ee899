// Back-to-front draw order and the per-pixel depth buffer of the CPU renderer.
#pragma once
#include <cstdint>
#include <vector>

#include "render/Triangles.h"

namespace strandel {

// Camera-space depth per output pixel, row-major (index y * width + x); smaller is nearer.
struct DepthBuffer {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<double> values;

    DepthBuffer() = default;
    // Every value starts at +infinity; a size below 1 gives an empty buffer.
    DepthBuffer(int32_t width, int32_t height);

    bool Fits(int32_t outputWidth, int32_t outputHeight) const;
};

// Farthest first; entries of equal depth keep no defined order.
void SortTrianglesByDepth(TriangleList& list);

} // namespace strandel
