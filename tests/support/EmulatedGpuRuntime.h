// The CUDA runtime emulated in-process for tests: "device" buffers live in host memory, launches
// run the kernel body on the CPU for every thread of the grid, and any call can be made to fail.
#pragma once
#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include "render/GpuRuntime.h"

namespace strandel::test {

class EmulatedGpuRuntime final : public GpuRuntime {
public:
    enum class Call { GetDeviceCount, Malloc, Memcpy, Launch, PeekAtLastError, DeviceSynchronize, Free };

    struct Launch {
        LaunchGrid grid;
        TriangleKernelArgs<Float4> args;
    };

    explicit EmulatedGpuRuntime(int32_t deviceCount = 1) : deviceCount_(deviceCount) {}

    // The call at this 0-based position among every call made on this runtime answers status
    // and does nothing else (a failing launch runs nothing and leaves status as the last error).
    void FailCall(std::size_t position, GpuStatus status) { failures_[position] = status; }

    // Every call so far, in order. ClearLastError is not listed: it cannot fail.
    const std::vector<Call>& calls() const { return calls_; }
    // Launches that were run.
    const std::vector<Launch>& launches() const { return launches_; }
    int hostToDeviceCopies() const { return hostToDeviceCopies_; }
    // Every buffer Malloc handed out was passed to Free exactly once, and nothing else was.
    bool FreedEachBufferOnce() const;

    GpuStatus GetDeviceCount(int32_t& count) override;
    GpuStatus Malloc(void** devicePointer, std::size_t bytes) override;
    GpuStatus Memcpy(void* destination, const void* source, std::size_t bytes, CopyDirection direction) override;
    void LaunchRasterizeTriangle(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& args) override;
    GpuStatus PeekAtLastError() override { return Record(Call::PeekAtLastError).value_or(lastError_); }
    void ClearLastError() override { lastError_ = kGpuSuccess; }
    GpuStatus DeviceSynchronize() override { return Record(Call::DeviceSynchronize).value_or(kGpuSuccess); }
    GpuStatus Free(void* devicePointer) override;

private:
    struct Buffer {
        std::vector<Float4> storage; // Float4 elements keep the 16-byte alignment of device memory
        std::size_t bytes = 0;
        int frees = 0;
    };

    // Logs the call; the injected status when this call is to fail, which also becomes the last error.
    std::optional<GpuStatus> Record(Call call);
    // A status also recorded as the last error, as the runtime does for failing calls.
    GpuStatus Failed(GpuStatus status);
    // Whether [pointer, pointer + bytes) lies in one live buffer.
    bool IsDeviceRange(const void* pointer, std::size_t bytes) const;

    int32_t deviceCount_;
    std::map<std::size_t, GpuStatus> failures_;
    std::vector<Call> calls_;
    std::vector<Launch> launches_;
    std::map<const std::byte*, Buffer> buffers_; // by start address, freed ones kept
    int strayFrees_ = 0;
    int hostToDeviceCopies_ = 0;
    GpuStatus lastError_ = kGpuSuccess;
};

} // namespace strandel::test
