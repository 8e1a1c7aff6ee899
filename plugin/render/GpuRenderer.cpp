#include "render/GpuRenderer.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "render/GpuPass.h"

namespace strandel {
namespace {

StxCudaVertex Narrowed(const ScreenVertex& v)
{
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z), static_cast<float>(v.u),
            static_cast<float>(v.v)};
}

// The frame's drawable entries and the distinct images they use, in first-use order.
struct GpuBatch {
    std::vector<GpuTexture> textures;
    std::vector<std::pair<const PF_EffectWorld*, PF_PixelFormat>> textureKeys; // one per texture
    std::vector<GpuTriangle> triangles;

    uint32_t TextureFor(const SourceQuad& quad)
    {
        const std::pair key{quad.image, quad.format};
        const auto found = std::find(textureKeys.begin(), textureKeys.end(), key);
        if (found != textureKeys.end()) return static_cast<uint32_t>(found - textureKeys.begin());
        const PF_EffectWorld& image = *quad.image;
        textures.push_back({image.data, image.width, image.height, image.rowbytes, FormatCodeOf(quad.format)});
        textureKeys.push_back(key);
        return static_cast<uint32_t>(textures.size() - 1);
    }
};

GpuBatch BuildBatch(const TriangleList& list)
{
    GpuBatch batch;
    batch.triangles.reserve(list.size());
    for (const ScreenTriangle& t : list) {
        if (!t.quad || !t.quad->image || !t.quad->image->data || !(t.opacity > 0)) continue;
        batch.triangles.push_back({batch.TextureFor(*t.quad), Narrowed(t.A), Narrowed(t.B), Narrowed(t.C),
                                   Narrowed(t.D), static_cast<float>(t.opacity)});
    }
    return batch;
}

} // namespace

bool IsGpuAvailable(GpuRuntime& runtime)
{
    int32_t count = 0;
    return runtime.GetDeviceCount(count) == kGpuSuccess && count >= 1;
}

bool IsGpuAvailable()
{
    GpuRuntime* runtime = PluginGpuRuntime();
    return runtime && IsGpuAvailable(*runtime);
}

PF_Err RenderTrianglesGpu(GpuRuntime& runtime, const TriangleList& list, PF_EffectWorld& output,
                          PF_PixelFormat format, bool depthOn)
{
    if (!output.data || list.empty()) return PF_Err_NONE;
    const GpuBatch batch = BuildBatch(list);
    if (batch.textures.empty() || batch.triangles.empty()) return PF_Err_NONE;
    const GpuImage image{output.data, output.width, output.height, output.rowbytes, FormatCodeOf(format)};
    const GpuStatus status =
        RunGpuPass(runtime, batch.textures.data(), static_cast<int32_t>(batch.textures.size()),
                   batch.triangles.data(), static_cast<int32_t>(batch.triangles.size()), image, depthOn);
    return status == kGpuSuccess ? PF_Err_NONE : PF_Err_INTERNAL_STRUCT_DAMAGED;
}

PF_Err RenderTrianglesGpu(const TriangleList& list, PF_EffectWorld& output, PF_PixelFormat format, bool depthOn)
{
    GpuRuntime* runtime = PluginGpuRuntime();
    if (!runtime) return PF_Err_INTERNAL_STRUCT_DAMAGED;
    return RenderTrianglesGpu(*runtime, list, output, format, depthOn);
}

} // namespace strandel
