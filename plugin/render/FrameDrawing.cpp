#include "render/FrameDrawing.h"

#include "render/DepthSort.h"
#include "render/GpuRenderer.h"
#include "render/Rasterizer.h"

namespace strandel {

ProcessingDevice DrawFrameTriangles(const TriangleList& list, const ImageView& output, bool useDepth, Renderer renderer,
                                    const AbortCheck& abortCheck, GpuRuntime* gpu)
{
    ProcessingDevice device = ProcessingDevice::Cpu;
    if (renderer != Renderer::Cpu && !list.empty()) {
        if (gpu && IsGpuAvailable(*gpu) && RenderTrianglesGpu(*gpu, list, output, useDepth))
            return ProcessingDevice::Gpu;
        device = ProcessingDevice::CpuFallback;
    }
    DepthBuffer depth = useDepth ? DepthBuffer(output.width, output.height) : DepthBuffer();
    DrawTriangleListCpu(list, output, useDepth ? &depth : nullptr, abortCheck);
    return device;
}

} // namespace strandel
