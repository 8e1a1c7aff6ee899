// Which processor draws a frame's triangles, and the CPU taking over from a failed GPU pass.
#pragma once
#include <cstdint>

#include "frame/AbortCheck.h"
#include "frame/RenderSettings.h"
#include "render/ProcessingDevice.h"
#include "render/Triangles.h"

namespace strandel {

class GpuRuntime;

// Draws the list (already in draw order) into the output. The GPU is tried unless the renderer is
// "CPU" or the list is empty; gpu null means this build has none. Returns Cpu when the GPU was
// not tried, Gpu when it drew, CpuFallback when it was missing or failed and the CPU drew instead.
ProcessingDevice DrawFrameTriangles(const TriangleList& list, const ImageView& output, bool useDepth, Renderer renderer,
                                    const AbortCheck& abortCheck, GpuRuntime* gpu);

} // namespace strandel
