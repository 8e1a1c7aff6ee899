// The calls a GPU pass makes, in the shape of the CUDA runtime's, behind one small interface in
// plain types: DriverRuntime maps them onto the CUDA driver, which the plug-in loads at run time.
#pragma once
#include <cstddef>
#include <cstdint>

#include "render/TriangleKernel.h"

namespace strandel {

// CUDA status values (the runtime's and the driver's agree on these); any value other than
// success ends a GPU pass.
using GpuStatus = int32_t;
constexpr GpuStatus kGpuSuccess = 0;
constexpr GpuStatus kGpuInvalidValue = 1;
constexpr GpuStatus kGpuNoDevice = 100;

enum class CopyDirection { HostToDevice, DeviceToHost };

// Blocks of the launch grid along x and y; blocks are kTriangleBlockSide threads square.
struct LaunchGrid {
    uint32_t x = 0, y = 0;
};

class GpuRuntime {
public:
    virtual ~GpuRuntime() = default;

    virtual GpuStatus GetDeviceCount(int32_t& count) = 0;
    virtual GpuStatus Malloc(void** devicePointer, std::size_t bytes) = 0;
    virtual GpuStatus Memcpy(void* destination, const void* source, std::size_t bytes, CopyDirection direction) = 0;
    // Queues RasterizeTriangleKernel on the default stream; its launch error shows in PeekAtLastError.
    virtual void LaunchRasterizeTriangle(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& args) = 0;
    // The calling thread's last error, left in place.
    virtual GpuStatus PeekAtLastError() = 0;
    // Resets the calling thread's last error: a failed call of an earlier pass on this thread would
    // otherwise be reported by the next launch's PeekAtLastError.
    virtual void ClearLastError() = 0;
    virtual GpuStatus DeviceSynchronize() = 0;
    virtual GpuStatus Free(void* devicePointer) = 0;
};

} // namespace strandel
