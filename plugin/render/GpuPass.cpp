#include "render/GpuPass.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "render/GpuPixels.h"

namespace strandel {
namespace {

// The device buffers of one pass, freed together at its end on every path out of it.
class DeviceBuffers {
public:
    // capacity: the most buffers the pass allocates, reserved so that recording one cannot throw.
    DeviceBuffers(GpuRuntime& runtime, std::size_t capacity) : runtime_(runtime) { buffers_.reserve(capacity); }
    ~DeviceBuffers() { FreeAll(); }
    DeviceBuffers(const DeviceBuffers&) = delete;
    DeviceBuffers& operator=(const DeviceBuffers&) = delete;

    // Allocates a device copy of the host array; device stays valid until FreeAll once allocated.
    template <class T>
    GpuStatus Upload(const std::vector<T>& host, T*& device)
    {
        const std::size_t bytes = host.size() * sizeof(T);
        void* allocated = nullptr;
        if (GpuStatus status = runtime_.Malloc(&allocated, bytes)) return status;
        buffers_.push_back(allocated);
        device = static_cast<T*>(allocated);
        return runtime_.Memcpy(allocated, host.data(), bytes, CopyDirection::HostToDevice);
    }

    // Frees every buffer, also after a failing free; reports the first failure.
    GpuStatus FreeAll()
    {
        GpuStatus first = kGpuSuccess;
        for (void* buffer : buffers_) {
            const GpuStatus status = runtime_.Free(buffer);
            if (first == kGpuSuccess) first = status;
        }
        buffers_.clear();
        return first;
    }

private:
    GpuRuntime& runtime_;
    std::vector<void*> buffers_;
};

GpuTexture AsTexture(const GpuImage& image)
{
    return {image.data, image.width, image.height, image.rowBytes, image.format};
}

struct DeviceFrame {
    std::vector<Float4*> textures;
    Float4* output = nullptr;
    float* depth = nullptr; // null when depth testing is off
};

// Uploads every texture, the output and, with depth testing, a depth buffer at the largest float.
GpuStatus Upload(DeviceBuffers& buffers, const GpuTexture* textures, int32_t textureCount, const GpuImage& output,
                 bool depthOn, DeviceFrame& device)
{
    device.textures.assign(textureCount, nullptr);
    for (int32_t i = 0; i < textureCount; ++i) {
        const std::vector<Float4> pixels = ToFloat4Pixels(textures[i]);
        if (pixels.empty()) return kGpuInvalidValue;
        if (GpuStatus status = buffers.Upload(pixels, device.textures[i])) return status;
    }
    // The kernel composites over what the output already holds.
    if (GpuStatus status = buffers.Upload(ToFloat4Pixels(AsTexture(output)), device.output)) return status;
    if (!depthOn) return kGpuSuccess;
    const std::size_t pixels = static_cast<std::size_t>(output.width) * output.height;
    return buffers.Upload(std::vector<float>(pixels, std::numeric_limits<float>::max()), device.depth);
}

// One launch per triangle half, in list order; stops at the first failure.
GpuStatus LaunchAll(GpuRuntime& runtime, const GpuTexture* textures, int32_t textureCount, const GpuTriangle* triangles,
                    int32_t triangleCount, const GpuImage& output, const DeviceFrame& device)
{
    const bool clampColours = output.format != FormatCode::ArgbFloat;
    GpuStatus status = kGpuSuccess;
    for (int32_t i = 0; i < triangleCount && status == kGpuSuccess; ++i) {
        const GpuTriangle& t = triangles[i];
        if (t.textureIndex >= static_cast<uint32_t>(textureCount)) continue;
        const GpuTexture& texture = textures[t.textureIndex];
        const auto launch = [&](const StxCudaVertex& v0, const StxCudaVertex& v1, const StxCudaVertex& v2) {
            return LaunchTriangle(runtime, device.textures[t.textureIndex], texture.width, texture.height,
                                  device.output, output.width, output.height, v0, v1, v2, t.opacity, device.depth,
                                  device.depth != nullptr, clampColours);
        };
        status = launch(t.A, t.B, t.C);
        if (status == kGpuSuccess) status = launch(t.A, t.C, t.D);
    }
    return status;
}

} // namespace

FormatCode FormatCodeOf(PixelFormat format)
{
    if (format == PixelFormat::ArgbFloat) return FormatCode::ArgbFloat;
    if (format == PixelFormat::Argb16) return FormatCode::Argb16;
    return FormatCode::Argb8;
}

GpuStatus LaunchTriangle(GpuRuntime& runtime, const Float4* texture, int32_t textureWidth, int32_t textureHeight,
                         Float4* deviceOutput, int32_t outputWidth, int32_t outputHeight, const StxCudaVertex& v0,
                         const StxCudaVertex& v1, const StxCudaVertex& v2, float opacity, float* deviceDepth,
                         bool depthOn, bool clampColours)
{
    if (!kernel::IsDrawable(v0) || !kernel::IsDrawable(v1) || !kernel::IsDrawable(v2)) return kGpuSuccess;
    if (!kernel::HasArea(kernel::SignedArea(v0, v1, v2))) return kGpuSuccess;
    // Clamped to the output while still floating point, so far off-screen vertices never reach an
    // integer conversion.
    const double xLo = std::max(0.0, std::floor(static_cast<double>(std::min({v0.x, v1.x, v2.x}))));
    const double xHi = std::min(outputWidth - 1.0, std::ceil(static_cast<double>(std::max({v0.x, v1.x, v2.x}))));
    const double yLo = std::max(0.0, std::floor(static_cast<double>(std::min({v0.y, v1.y, v2.y}))));
    const double yHi = std::min(outputHeight - 1.0, std::ceil(static_cast<double>(std::max({v0.y, v1.y, v2.y}))));
    if (!(xLo <= xHi) || !(yLo <= yHi)) return kGpuSuccess;
    const TriangleKernelArgs<Float4> args{.texture = texture,
                                          .textureWidth = textureWidth,
                                          .textureHeight = textureHeight,
                                          .output = deviceOutput,
                                          .outputWidth = outputWidth,
                                          .outputHeight = outputHeight,
                                          .v0 = v0,
                                          .v1 = v1,
                                          .v2 = v2,
                                          .opacity = opacity,
                                          .depth = deviceDepth,
                                          .depthOn = depthOn,
                                          .clampColours = clampColours,
                                          .xMin = static_cast<int>(xLo),
                                          .yMin = static_cast<int>(yLo),
                                          .xMax = static_cast<int>(xHi),
                                          .yMax = static_cast<int>(yHi)};
    const LaunchGrid grid{static_cast<uint32_t>((args.xMax - args.xMin + kTriangleBlockSide) / kTriangleBlockSide),
                          static_cast<uint32_t>((args.yMax - args.yMin + kTriangleBlockSide) / kTriangleBlockSide)};
    runtime.LaunchRasterizeTriangle(grid, args);
    return runtime.PeekAtLastError();
}

GpuStatus RunGpuPass(GpuRuntime& runtime, const GpuTexture* textures, int32_t textureCount,
                     const GpuTriangle* triangles, int32_t triangleCount, const GpuImage& output, bool depthOn)
{
    if (!textures || !triangles || textureCount < 1 || triangleCount < 1 || !output.data || output.width < 1 ||
        output.height < 1)
        return kGpuInvalidValue;
    int32_t devices = 0;
    if (runtime.GetDeviceCount(devices) != kGpuSuccess || devices < 1) return kGpuNoDevice;

    DeviceBuffers buffers(runtime, static_cast<std::size_t>(textureCount) + 2);
    DeviceFrame device;
    GpuStatus status = Upload(buffers, textures, textureCount, output, depthOn, device);
    if (status == kGpuSuccess) {
        runtime.ClearLastError();
        status = LaunchAll(runtime, textures, textureCount, triangles, triangleCount, output, device);
    }
    if (status == kGpuSuccess) status = runtime.DeviceSynchronize();
    std::vector<Float4> result;
    if (status == kGpuSuccess) {
        result.resize(static_cast<std::size_t>(output.width) * output.height);
        status =
            runtime.Memcpy(result.data(), device.output, result.size() * sizeof(Float4), CopyDirection::DeviceToHost);
    }
    // Freed before the output is written, so that a failing free also leaves the output untouched.
    const GpuStatus freed = buffers.FreeAll();
    if (status == kGpuSuccess) status = freed;
    if (status == kGpuSuccess) StoreFloat4Pixels(result, output);
    return status;
}

} // namespace strandel
