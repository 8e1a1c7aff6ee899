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
    std::vector<std::pair<const std::byte*, PixelFormat>> textureKeys; // one per texture
    std::vector<GpuTriangle> triangles;

    uint32_t TextureFor(const SourceQuad& quad)
    {
        const ImageView& image = quad.image;
        const std::pair key{static_cast<const std::byte*>(image.data), image.format};
        const auto found = std::find(textureKeys.begin(), textureKeys.end(), key);
        if (found != textureKeys.end()) return static_cast<uint32_t>(found - textureKeys.begin());
        textures.push_back(
            {image.data, image.width, image.height, static_cast<int32_t>(image.rowBytes), FormatCodeOf(image.format)});
        textureKeys.push_back(key);
        return static_cast<uint32_t>(textures.size() - 1);
    }
};

GpuBatch BuildBatch(const TriangleList& list)
{
    GpuBatch batch;
    batch.triangles.reserve(list.size());
    for (const ScreenTriangle& t : list) {
        if (!t.quad || !t.quad->image.data || !(t.opacity > 0)) continue;
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

bool RenderTrianglesGpu(GpuRuntime& runtime, const TriangleList& list, const ImageView& output, bool depthOn)
{
    if (!output.data || list.empty()) return true;
    const GpuBatch batch = BuildBatch(list);
    if (batch.textures.empty() || batch.triangles.empty()) return true;
    const GpuImage image{output.data, output.width, output.height, static_cast<int32_t>(output.rowBytes),
                         FormatCodeOf(output.format)};
    const GpuStatus status =
        RunGpuPass(runtime, batch.textures.data(), static_cast<int32_t>(batch.textures.size()), batch.triangles.data(),
                   static_cast<int32_t>(batch.triangles.size()), image, depthOn);
    return status == kGpuSuccess;
}

bool RenderTrianglesGpu(const TriangleList& list, const ImageView& output, bool depthOn)
{
    GpuRuntime* runtime = PluginGpuRuntime();
    return runtime && RenderTrianglesGpu(*runtime, list, output, depthOn);
}

} // namespace strandel
