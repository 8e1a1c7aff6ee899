// The one host entry into the device code of StxRendererCUDA.cu, in plain types.
#pragma once
#include "render/GpuRuntime.h"

namespace strandel {

// Queues RasterizeTriangleKernel with blocks of kTriangleBlockSide x kTriangleBlockSide threads on
// the default stream; a launch error is left for cudaPeekAtLastError.
void LaunchRasterizeTriangleKernel(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& args);

} // namespace strandel
