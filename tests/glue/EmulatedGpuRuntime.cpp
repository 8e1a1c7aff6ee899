#include "support/EmulatedGpuRuntime.h"

#include <algorithm>
#include <cstring>

namespace strandel::test {

std::optional<GpuStatus> EmulatedGpuRuntime::Record(Call call)
{
    const std::size_t position = calls_.size();
    calls_.push_back(call);
    const auto failure = failures_.find(position);
    if (failure == failures_.end()) return std::nullopt;
    return Failed(failure->second);
}

GpuStatus EmulatedGpuRuntime::Failed(GpuStatus status)
{
    lastError_ = status;
    return status;
}

bool EmulatedGpuRuntime::IsDeviceRange(const void* pointer, std::size_t bytes) const
{
    const auto* p = static_cast<const std::byte*>(pointer);
    auto after = buffers_.upper_bound(p);
    if (after == buffers_.begin()) return false;
    const auto& [start, buffer] = *std::prev(after);
    return buffer.frees == 0 && static_cast<std::size_t>(p - start) + bytes <= buffer.bytes;
}

bool EmulatedGpuRuntime::FreedEachBufferOnce() const
{
    return strayFrees_ == 0 && std::all_of(buffers_.begin(), buffers_.end(),
                                           [](const auto& entry) { return entry.second.frees == 1; });
}

GpuStatus EmulatedGpuRuntime::GetDeviceCount(int32_t& count)
{
    if (auto failure = Record(Call::GetDeviceCount)) return *failure;
    if (deviceCount_ < 1) return Failed(kGpuNoDevice);
    count = deviceCount_;
    return kGpuSuccess;
}

GpuStatus EmulatedGpuRuntime::Malloc(void** devicePointer, std::size_t bytes)
{
    if (auto failure = Record(Call::Malloc)) return *failure;
    Buffer buffer;
    buffer.storage.resize((bytes + sizeof(Float4) - 1) / sizeof(Float4));
    buffer.bytes = bytes;
    auto* start = reinterpret_cast<std::byte*>(buffer.storage.data());
    buffers_.emplace(start, std::move(buffer));
    *devicePointer = start;
    return kGpuSuccess;
}

GpuStatus EmulatedGpuRuntime::Memcpy(void* destination, const void* source, std::size_t bytes,
                                     CopyDirection direction)
{
    if (auto failure = Record(Call::Memcpy)) return *failure;
    const bool toDevice = direction == CopyDirection::HostToDevice;
    if (!IsDeviceRange(toDevice ? destination : source, bytes)) return Failed(kGpuInvalidValue);
    std::memcpy(destination, source, bytes);
    hostToDeviceCopies_ += toDevice;
    return kGpuSuccess;
}

void EmulatedGpuRuntime::LaunchRasterizeTriangle(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& args)
{
    if (Record(Call::Launch)) return;
    const auto pixels = [](int width, int height) {
        return static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
    };
    const std::size_t outputPixels = pixels(args.outputWidth, args.outputHeight);
    // What would be an illegal address on the device.
    const std::size_t texturePixels = pixels(args.textureWidth, args.textureHeight);
    if ((args.texture && !IsDeviceRange(args.texture, texturePixels * sizeof(Float4))) ||
        !IsDeviceRange(args.output, outputPixels * sizeof(Float4)) ||
        (args.depth && !IsDeviceRange(args.depth, outputPixels * sizeof(float)))) {
        Failed(kGpuInvalidValue);
        return;
    }
    launches_.push_back({grid, args});
    const int side = kTriangleBlockSide;
    for (uint32_t by = 0; by < grid.y; ++by)
        for (uint32_t bx = 0; bx < grid.x; ++bx)
            for (int ty = 0; ty < side; ++ty)
                for (int tx = 0; tx < side; ++tx)
                    RasterizeTrianglePixel(args, static_cast<int>(bx) * side + tx, static_cast<int>(by) * side + ty);
}

GpuStatus EmulatedGpuRuntime::Free(void* devicePointer)
{
    // Counted even when the call is made to fail: what is checked is that the pass let go of it.
    // The storage itself stays, so that no later buffer can reuse its address.
    const auto found = buffers_.find(static_cast<std::byte*>(devicePointer));
    const bool valid = found != buffers_.end() && found->second.frees == 0;
    if (found == buffers_.end()) ++strayFrees_;
    else ++found->second.frees;
    if (auto failure = Record(Call::Free)) return *failure;
    return valid ? kGpuSuccess : Failed(kGpuInvalidValue);
}

} // namespace strandel::test
