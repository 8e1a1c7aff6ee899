// The GPU runtime of both plug-ins: the CUDA driver, loaded by name on first use, so that neither
// binary links a CUDA library and both run where no driver is installed.
#pragma once
#include <memory>
#include <mutex>
#include <string>

#include "render/GpuRuntime.h"

namespace strandel {

#if defined(_WIN32)
constexpr const char* kCudaDriverLibrary = "nvcuda.dll";
#else
constexpr const char* kCudaDriverLibrary = "libcuda.so.1";
#endif

// The first call loads the driver through the system's own library search, starts it, retains
// device 0's primary context and loads the kernel image into it; a failure anywhere there leaves
// the runtime without a device for good. Each call that works on the device makes that context
// current on the calling thread and restores the thread's own afterwards, so frames rendered at
// once on several threads share one runtime. The last error is kept per thread, as the CUDA
// runtime keeps it.
class DriverRuntime final : public GpuRuntime {
public:
    // library: the driver's file name (or a path); image: a fat binary holding the kernel, which
    // must outlive the runtime.
    DriverRuntime(std::string library, const void* image);
    // Unloads the module and releases the context. The driver library stays loaded: it keeps
    // threads of its own running for as long as the process lives.
    ~DriverRuntime() override;
    DriverRuntime(const DriverRuntime&) = delete;
    DriverRuntime& operator=(const DriverRuntime&) = delete;

    GpuStatus GetDeviceCount(int32_t& count) override;
    GpuStatus Malloc(void** devicePointer, std::size_t bytes) override;
    GpuStatus Memcpy(void* destination, const void* source, std::size_t bytes, CopyDirection direction) override;
    void LaunchRasterizeTriangle(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& args) override;
    GpuStatus PeekAtLastError() override;
    void ClearLastError() override;
    GpuStatus DeviceSynchronize() override;
    GpuStatus Free(void* devicePointer) override;

private:
    struct Session;

    // The session once started; null when the start failed.
    const Session* Started();
    // op(session) with the session's context current on this thread, and for a release even
    // when it cannot be made current. The failure of the start, of op, or of making the context
    // current or restoring the thread's own is recorded as the thread's last error.
    template <class Op>
    GpuStatus OnDevice(Op&& op, bool release = false);

    const std::string library_;
    const void* const image_;
    std::once_flag started_;
    std::unique_ptr<Session> session_;
    GpuStatus startStatus_ = kGpuSuccess;
};

} // namespace strandel
