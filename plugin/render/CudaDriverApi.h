// The few CUDA driver types and entry points the GPU renderer uses, declared here so that neither
// plug-in needs a CUDA header or library to build: the driver is loaded by name at run time. Each
// function type is named after its entry point; the build checks them against cuda.h where the
// toolkit is installed.
#pragma once
#include <cstddef>

struct CUctx_st;
struct CUmod_st;
struct CUfunc_st;
struct CUstream_st;

namespace strandel::cuda {

using Result = int;
using Device = int;
using DevicePointer = unsigned long long;
using Context = CUctx_st*;
using Module = CUmod_st*;
using Function = CUfunc_st*;
using Stream = CUstream_st*;

constexpr Result kSuccess = 0;
constexpr Result kErrorInvalidValue = 1;
constexpr Result kErrorNoDevice = 100;
constexpr Result kErrorNotFound = 500;

using cuInit_t = Result(unsigned int flags);
using cuDeviceGetCount_t = Result(int* count);
using cuDeviceGet_t = Result(Device* device, int ordinal);
using cuDevicePrimaryCtxRetain_t = Result(Context* context, Device device);
using cuDevicePrimaryCtxRelease_v2_t = Result(Device device);
using cuCtxPushCurrent_v2_t = Result(Context context);
using cuCtxPopCurrent_v2_t = Result(Context* context);
using cuModuleLoadData_t = Result(Module* module, const void* image);
using cuModuleGetFunction_t = Result(Function* function, Module module, const char* name);
using cuModuleUnload_t = Result(Module module);
using cuMemAlloc_v2_t = Result(DevicePointer* pointer, std::size_t bytes);
using cuMemFree_v2_t = Result(DevicePointer pointer);
using cuMemcpyHtoD_v2_t = Result(DevicePointer destination, const void* source, std::size_t bytes);
using cuMemcpyDtoH_v2_t = Result(void* destination, DevicePointer source, std::size_t bytes);
using cuLaunchKernel_t = Result(Function function, unsigned int gridX, unsigned int gridY, unsigned int gridZ,
                                unsigned int blockX, unsigned int blockY, unsigned int blockZ, unsigned int sharedBytes,
                                Stream stream, void** parameters, void** extra);
using cuCtxSynchronize_t = Result();

} // namespace strandel::cuda
