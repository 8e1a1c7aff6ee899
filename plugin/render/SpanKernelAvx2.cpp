// The pixel loop compiled for AVX2. Every header that SpanKernel.h includes comes first, so that
// their inline functions stay compiled for the baseline: the linker keeps one copy of each, and
// that copy must run on any x86-64.
#include <immintrin.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "render/PixelAccess.h"
#include "render/RasterPaths.h"
#include "render/RasterSetup.h"

#if defined(__clang__) // the fuzzing build
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif
#define STRANDEL_SPAN_AVX2 1
#include "render/SpanKernel.h"

namespace strandel {

void FillTriangleAvx2(const TriangleSetup& setup, const ImageView& output, PixelFormat sourceFormat,
                      const TexelSource& source, double opacity, double* depthValues)
{
    FillTriangle(setup, output, sourceFormat, source, opacity, depthValues);
}

} // namespace strandel

#if defined(__clang__)
#pragma clang attribute pop
#endif
