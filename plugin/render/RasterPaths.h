// The builds of the CPU renderer's pixel loop and the choice between them at run time: the SSE2
// baseline runs on every x86-64, the AVX2 build where the processor and the system offer AVX2.
// Both store the same bytes; only their speed differs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/Image.h"
#include "render/RasterSetup.h"

namespace strandel {

enum class RasterPath : uint8_t { Baseline, Avx2 };

bool IsRasterPathAvailable(RasterPath path);
// The widest available build; decided once per process, as the processor does not change.
RasterPath FastestRasterPath();

// A source image as the pixel loops read it: every lookup reads two adjacent columns of two
// adjacent rows, starting at most at the last pair column and row; coordinates clamp to the last
// column and row of the image itself.
struct TexelSource {
    const std::byte* data = nullptr;
    std::ptrdiff_t rowBytes = 0;
    int32_t lastColumn = 0, lastRow = 0;
    int32_t lastPairColumn = 0, lastPairRow = 0;
};

// image must have pixels. An image one texel wide or high has no pair: it is copied into padding
// with that texel doubled, which the result points into.
TexelSource PairedTexels(const ImageView& image, std::vector<std::byte>& padding);

// depthValues: null, or one value per output pixel.
void FillTriangleBaseline(const TriangleSetup& setup, const ImageView& output, PixelFormat sourceFormat,
                          const TexelSource& source, double opacity, double* depthValues);
// Also needs row strides within 32 bits, in the output and the source.
void FillTriangleAvx2(const TriangleSetup& setup, const ImageView& output, PixelFormat sourceFormat,
                      const TexelSource& source, double opacity, double* depthValues);

} // namespace strandel
