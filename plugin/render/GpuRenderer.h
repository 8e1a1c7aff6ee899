// Drawing the frame's triangles on an NVIDIA GPU; the CPU renderer takes over when it cannot.
#pragma once
#include "AE_Effect.h"
#include "render/Triangles.h"

namespace strandel {

// A CUDA device is present and usable.
bool IsGpuAvailable();
// 0 when drawn (or when there was nothing to draw); 512 when the GPU pass failed, which leaves
// the output untouched.
PF_Err RenderTrianglesGpu(const TriangleList& list, PF_EffectWorld& output, PF_PixelFormat format, bool depthOn);

} // namespace strandel
