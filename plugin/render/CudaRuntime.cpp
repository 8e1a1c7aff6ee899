// The GPU runtime of the shipped plug-in: NVIDIA's CUDA runtime, linked statically.
#include <cuda_runtime_api.h>

#include "render/GpuRenderer.h"
#include "render/GpuRuntime.h"
#include "render/StxRendererCUDA.h"

namespace strandel {
namespace {

// Stateless: the CUDA runtime keeps its own per-thread state, so frames on different render
// threads share this object freely.
class CudaRuntime final : public GpuRuntime {
public:
    GpuStatus GetDeviceCount(int32_t& count) override
    {
        int devices = 0;
        const cudaError_t status = cudaGetDeviceCount(&devices);
        count = status == cudaSuccess ? devices : 0;
        return status;
    }
    GpuStatus Malloc(void** devicePointer, std::size_t bytes) override { return cudaMalloc(devicePointer, bytes); }
    GpuStatus Memcpy(void* destination, const void* source, std::size_t bytes, CopyDirection direction) override
    {
        return cudaMemcpy(destination, source, bytes,
                          direction == CopyDirection::HostToDevice ? cudaMemcpyHostToDevice
                                                                   : cudaMemcpyDeviceToHost);
    }
    void LaunchRasterizeTriangle(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& args) override
    {
        LaunchRasterizeTriangleKernel(grid, args);
    }
    GpuStatus PeekAtLastError() override { return cudaPeekAtLastError(); }
    void ClearLastError() override { static_cast<void>(cudaGetLastError()); }
    GpuStatus DeviceSynchronize() override { return cudaDeviceSynchronize(); }
    GpuStatus Free(void* devicePointer) override { return cudaFree(devicePointer); }
};

} // namespace

GpuRuntime* PluginGpuRuntime()
{
    static CudaRuntime runtime;
    return &runtime;
}

} // namespace strandel
