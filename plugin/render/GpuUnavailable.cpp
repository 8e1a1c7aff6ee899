// A build without the CUDA toolkit: there is never a GPU, and the CPU draws every frame.
#include "render/GpuRenderer.h"

namespace strandel {

bool IsGpuAvailable() { return false; }

PF_Err RenderTrianglesGpu(const TriangleList&, PF_EffectWorld&, PF_PixelFormat, bool)
{
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
}

} // namespace strandel
