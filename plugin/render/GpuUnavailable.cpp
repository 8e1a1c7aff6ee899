// A build without nvcc has no kernel image: there is never a GPU, and the CPU draws every frame.
#include "render/GpuRenderer.h"

namespace strandel {

GpuRuntime* PluginGpuRuntime() { return nullptr; }

} // namespace strandel
