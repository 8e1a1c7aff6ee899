// Device code of the GPU renderer: one thread per pixel of a triangle's clipped bounding box. nvcc
// compiles it alone into the fat binary both plug-ins embed; the host side never links it.
#include "render/TriangleKernel.h"

namespace strandel {

static_assert(sizeof(Float4) == sizeof(float4) && alignof(Float4) == alignof(float4));

__global__ void RasterizeTriangleKernel(const float4* texture, int textureWidth, int textureHeight, float4* output,
                                        int outputWidth, int outputHeight, StxCudaVertex v0, StxCudaVertex v1,
                                        StxCudaVertex v2, float opacity, float* depth, int depthOn, int clampColours,
                                        int xMin, int yMin, int xMax, int yMax)
{
    const TriangleKernelArgs<float4> args{texture, textureWidth, textureHeight, output, outputWidth, outputHeight, v0,
                                          v1,      v2,           opacity,       depth,  depthOn,     clampColours, xMin,
                                          yMin,    xMax,         yMax};
    RasterizeTrianglePixel(args, blockIdx.x * blockDim.x + threadIdx.x, blockIdx.y * blockDim.y + threadIdx.y);
}

} // namespace strandel
