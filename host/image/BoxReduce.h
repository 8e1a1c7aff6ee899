// Shrinks an image by an integer factor for downsampled renders.
#pragma once
#include "host/image/Image.h"

namespace strandel::host {

// Output ceil(w / n) x ceil(h / n) at the same depth. Each output pixel averages the n x n
// block it covers (fewer pixels at the right and bottom edges of odd sizes): alpha is the
// mean alpha, colour the alpha-weighted mean so transparent pixels lend no colour.
Image BoxReduce(const Image& image, int factor);

} // namespace strandel::host
