// StxRendererCUDA.cu as the host side sees it: the fat binary nvcc makes of it (sm_75 code and
// compute_75 PTX), which the build embeds when nvcc is present, and the kernel's symbol in it.
#pragma once
#include <cstddef>

namespace strandel {

extern const unsigned char kGpuKernelImage[];
extern const std::size_t kGpuKernelImageSize;

// nvcc's name for RasterizeTriangleKernel, which encodes its namespace and parameter types.
constexpr const char* kRasterizeTriangleKernelSymbol =
    "_ZN8strandel23RasterizeTriangleKernelEPK6float4iiPS0_iiNS_13StxCudaVertexES4_S4_fPfiiiiii";

} // namespace strandel
