// Straight colour and the "over" blend of one pixel, shared by the renderer and the debug path.
#pragma once
#include <cstdint>

#include "render/Image.h"

namespace strandel {

// Straight (not premultiplied) colour; 1.0 is full scale at every depth.
struct Colour {
    double a = 0, r = 0, g = 0, b = 0;
};

// NaN goes to 0, so the result is always safe to convert to an integer.
inline float Clamp01(float value) { return value > 0 ? (value < 1 ? value : 1) : 0; }

// Straight-alpha "over" of colour onto pixel (x, y), rounded to the output's levels; ignores
// pixels outside the output and colours with alpha <= 0.
void BlendPixelOver(const ImageView& output, int64_t x, int64_t y, const Colour& colour);

} // namespace strandel
