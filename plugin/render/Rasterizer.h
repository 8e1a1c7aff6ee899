// The CPU renderer: perspective-correct, alpha-weighted bilinear triangles composited "over"
// the output in list order, optionally against a depth buffer.
#pragma once
#include "frame/AbortCheck.h"
#include "render/DepthSort.h"
#include "render/RasterPaths.h"
#include "render/Triangles.h"

namespace strandel {

// Draws each entry's (A, B, C), then (A, C, D) unless D equals A; polls the abort check after
// every entry and stops quietly when it fires. A depth buffer that does not fit the output is
// ignored. path picks the build of the pixel loop (an unavailable one falls back to the baseline);
// every build draws the same bytes.
void DrawTriangleListCpu(const TriangleList& list, const ImageView& output, DepthBuffer* depthBuffer,
                         const AbortCheck& abortCheck, RasterPath path = FastestRasterPath());

void RasterizeTriangleCpu(const SourceQuad& quad, const ImageView& output, const ScreenVertex& a, const ScreenVertex& b,
                          const ScreenVertex& c, double opacity, DepthBuffer* depthBuffer,
                          RasterPath path = FastestRasterPath());

} // namespace strandel
