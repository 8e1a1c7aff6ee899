// The plug-in's GPU runtime: the CUDA driver with the kernel image this build embeds.
#include "render/DriverRuntime.h"
#include "render/GpuRenderer.h"
#include "render/StxRendererCUDA.h"

namespace strandel {

GpuRuntime* PluginGpuRuntime()
{
#if defined(_WIN32)
    // Never destroyed: a DLL's static destructors run under the loader lock, or at process exit
    // after the driver has been detached, and neither is a time to call into the driver.
    static DriverRuntime* const runtime = new DriverRuntime(kCudaDriverLibrary, kGpuKernelImage);
    return runtime;
#else
    static DriverRuntime runtime(kCudaDriverLibrary, kGpuKernelImage);
    return &runtime;
#endif
}

} // namespace strandel
