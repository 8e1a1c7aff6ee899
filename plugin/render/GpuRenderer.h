// Drawing the frame's triangles on an NVIDIA GPU; the CPU renderer takes over when it cannot.
#pragma once
#include "render/Triangles.h"

namespace strandel {

class GpuRuntime;

// The GPU runtime the plug-in draws with; null in a build without the kernel image (no nvcc).
GpuRuntime* PluginGpuRuntime();

// A CUDA device is present and usable.
bool IsGpuAvailable();
bool IsGpuAvailable(GpuRuntime& runtime);

// True when drawn (or when there was nothing to draw); false when the GPU pass failed, which leaves
// the output untouched. Entries without an image or with no opacity are skipped; each distinct
// (image, pixel format) pair is uploaded once.
bool RenderTrianglesGpu(const TriangleList& list, const ImageView& output, bool depthOn);
bool RenderTrianglesGpu(GpuRuntime& runtime, const TriangleList& list, const ImageView& output, bool depthOn);

} // namespace strandel
