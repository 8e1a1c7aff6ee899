// Device code of the GPU renderer: one thread per pixel of a triangle's clipped bounding box.
#include "render/StxRendererCUDA.h"

namespace strandel {

static_assert(sizeof(Float4) == sizeof(float4) && alignof(Float4) == alignof(float4));

__global__ void RasterizeTriangleKernel(const float4* texture, int textureWidth, int textureHeight, float4* output,
                                        int outputWidth, int outputHeight, StxCudaVertex v0, StxCudaVertex v1,
                                        StxCudaVertex v2, float opacity, float* depth, int depthOn,
                                        int clampColours, int xMin, int yMin, int xMax, int yMax)
{
    const TriangleKernelArgs<float4> args{texture, textureWidth, textureHeight, output, outputWidth, outputHeight,
                                          v0,      v1,           v2,            opacity, depth,      depthOn,
                                          clampColours, xMin,    yMin,          xMax,    yMax};
    RasterizeTrianglePixel(args, blockIdx.x * blockDim.x + threadIdx.x, blockIdx.y * blockDim.y + threadIdx.y);
}

void LaunchRasterizeTriangleKernel(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& a)
{
    // Device addresses travel in the host twin of float4; the layouts are the same.
    const dim3 blocks(grid.x, grid.y, 1), threads(kTriangleBlockSide, kTriangleBlockSide, 1);
    RasterizeTriangleKernel<<<blocks, threads, 0, 0>>>(
        reinterpret_cast<const float4*>(a.texture), a.textureWidth, a.textureHeight,
        reinterpret_cast<float4*>(a.output), a.outputWidth, a.outputHeight, a.v0, a.v1, a.v2, a.opacity, a.depth,
        a.depthOn, a.clampColours, a.xMin, a.yMin, a.xMax, a.yMax);
}

} // namespace strandel
