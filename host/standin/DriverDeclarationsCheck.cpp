// The driver declarations both plug-ins and the stand-in are built from, against the toolkit's
// cuda.h: a parameter of the wrong type or width would pass every test with the stand-in and
// corrupt the stack with NVIDIA's driver.
#include <cuda.h>

#include <tuple>
#include <type_traits>

#include "render/CudaDriverApi.h"

namespace {

namespace cuda = strandel::cuda;

template <class Ours, class Theirs>
struct SameCall : std::false_type {
};
template <class... A, class... B>
struct SameCall<cuda::Result(A...), CUresult(B...)> : std::is_same<std::tuple<A...>, std::tuple<B...>> {
};

#define STX_CHECK(entry) static_assert(SameCall<cuda::entry##_t, decltype(::entry)>::value, #entry)
STX_CHECK(cuInit);
STX_CHECK(cuDeviceGetCount);
STX_CHECK(cuDeviceGet);
STX_CHECK(cuDevicePrimaryCtxRetain);
STX_CHECK(cuDevicePrimaryCtxRelease_v2);
STX_CHECK(cuCtxPushCurrent_v2);
STX_CHECK(cuCtxPopCurrent_v2);
STX_CHECK(cuModuleLoadData);
STX_CHECK(cuModuleGetFunction);
STX_CHECK(cuModuleUnload);
STX_CHECK(cuMemAlloc_v2);
STX_CHECK(cuMemFree_v2);
STX_CHECK(cuMemcpyHtoD_v2);
STX_CHECK(cuMemcpyDtoH_v2);
STX_CHECK(cuLaunchKernel);
STX_CHECK(cuCtxSynchronize);
#undef STX_CHECK

static_assert(sizeof(CUresult) == sizeof(cuda::Result));
static_assert(cuda::kSuccess == CUDA_SUCCESS && cuda::kErrorInvalidValue == CUDA_ERROR_INVALID_VALUE &&
              cuda::kErrorNoDevice == CUDA_ERROR_NO_DEVICE && cuda::kErrorNotFound == CUDA_ERROR_NOT_FOUND);

} // namespace
