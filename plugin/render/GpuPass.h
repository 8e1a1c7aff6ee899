// One self-contained GPU pass: upload the distinct textures and the current output as four-float
// pixels, draw every triangle with its own kernel launch, download the result into the output.
#pragma once
#include <cstdint>

#include "render/GpuRuntime.h"
#include "render/Image.h"

namespace strandel {

enum class FormatCode : int32_t { Argb8 = 1, Argb16 = 2, ArgbFloat = 3 };

FormatCode FormatCodeOf(PixelFormat format);

// One distinct source image of the frame.
struct GpuTexture {
    const void* data = nullptr;
    int32_t width = 0, height = 0, rowBytes = 0;
    FormatCode format = FormatCode::Argb8;
};

// A quad A, B, C, D drawn as (A, B, C) then (A, C, D); D equal to A makes the second half empty.
struct GpuTriangle {
    uint32_t textureIndex = 0;
    StxCudaVertex A{}, B{}, C{}, D{};
    float opacity = 0;
};

// The output image, written only when the whole pass succeeded.
struct GpuImage {
    void* data = nullptr;
    int32_t width = 0, height = 0, rowBytes = 0;
    FormatCode format = FormatCode::Argb8;
};

// Draws (v0, v1, v2) with one launch over its bounding box clipped to the output. Triangles with a
// non-finite vertex, a vertex at or behind the camera, no area or no pixel on the output launch
// nothing and succeed. The launch's status is the one PeekAtLastError reports after it.
GpuStatus LaunchTriangle(GpuRuntime& runtime, const Float4* texture, int32_t textureWidth, int32_t textureHeight,
                         Float4* deviceOutput, int32_t outputWidth, int32_t outputHeight, const StxCudaVertex& v0,
                         const StxCudaVertex& v1, const StxCudaVertex& v2, float opacity, float* deviceDepth,
                         bool depthOn, bool clampColours);

// kGpuInvalidValue for missing or empty input, kGpuNoDevice without a device, else the first
// failing runtime status, or success. Every device allocation is freed before it returns, and the
// output changes only on success. Host memory exhaustion throws std::bad_alloc.
GpuStatus RunGpuPass(GpuRuntime& runtime, const GpuTexture* textures, int32_t textureCount,
                     const GpuTriangle* triangles, int32_t triangleCount, const GpuImage& output, bool depthOn);

} // namespace strandel
