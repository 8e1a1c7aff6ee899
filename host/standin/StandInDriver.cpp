// A stand-in for the CUDA driver, built into a test folder as libcuda.so.1 and, for Windows, as
// nvcuda.dll: the entry points the GPU runtime uses, with device memory in host memory and each
// launch running the kernel body on the CPU for every thread of its grid. It refuses, and counts
// as misuse, what a real driver would refuse or fault on.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "frame/Platform.h"
#include "host/standin/StandInControl.h"
#include "render/CudaDriverApi.h"
#include "render/StxRendererCUDA.h"

struct CUctx_st {};
struct CUfunc_st {};
struct CUmod_st {
    std::string_view image;
    CUfunc_st kernel;
};

namespace strandel::test {
namespace {

using cuda::Result;
constexpr Result kErrorNotInitialized = 3, kErrorInvalidDevice = 101, kErrorInvalidImage = 200,
                 kErrorInvalidContext = 201, kErrorInvalidHandle = 400;

struct Buffer {
    std::unique_ptr<Float4[]> storage; // Float4 elements keep device memory's alignment
    std::size_t bytes = 0;
};

struct Driver {
    std::mutex mutex;
    int devices = 1;
    bool initialised = false;
    int retained = 0;
    std::map<const CUmod_st*, std::unique_ptr<CUmod_st>> modules;
    std::map<std::uintptr_t, Buffer> buffers; // by start address
    std::vector<const char*> calls;
    std::map<int, Result> failures; // by position in calls
    std::vector<StandInLaunch> launches;
    int misuse = 0;

    // [address, address + bytes) lies in one live buffer.
    bool IsDeviceRange(std::uintptr_t address, std::size_t bytes) const
    {
        auto after = buffers.upper_bound(address);
        if (after == buffers.begin()) return false;
        const auto& [start, buffer] = *std::prev(after);
        return address - start + bytes <= buffer.bytes;
    }

    bool IsKernel(const CUfunc_st* function) const
    {
        for (const auto& [key, module] : modules)
            if (&module->kernel == function) return true;
        return false;
    }
};

// Never destroyed: runtimes held in static objects let go of their modules and contexts while
// the process exits, after this library's own static objects would be gone.
Driver& TheDriver()
{
    static Driver* const driver = new Driver;
    return *driver;
}

// Device 0's primary context, and the contexts current on this thread, innermost last.
CUctx_st gPrimaryContext;
thread_local std::vector<CUctx_st*> tCurrent;

// One entry point's call: logged, and holding the driver's lock while it lives.
struct Call {
    explicit Call(const char* name) : lock(TheDriver().mutex), d(TheDriver())
    {
        const auto failure = d.failures.find(static_cast<int>(d.calls.size()));
        if (failure != d.failures.end()) injected = failure->second;
        d.calls.push_back(name);
    }
    Result Misuse(Result status)
    {
        ++d.misuse;
        return status;
    }
    bool HasContext() const { return !tCurrent.empty() && tCurrent.back() == &gPrimaryContext && d.retained > 0; }

    std::unique_lock<std::mutex> lock;
    Driver& d;
    std::optional<Result> injected; // the status this call is to answer instead
};

template <class T>
T Parameter(void** parameters, int index)
{
    T value;
    std::memcpy(&value, parameters[index], sizeof value);
    return value;
}

// The kernel's parameters, read at the sizes of its parameter types.
TriangleKernelArgs<Float4> Unpack(void** p)
{
    return {Parameter<const Float4*>(p, 0), Parameter<int>(p, 1),           Parameter<int>(p, 2),
            Parameter<Float4*>(p, 3),       Parameter<int>(p, 4),           Parameter<int>(p, 5),
            Parameter<StxCudaVertex>(p, 6), Parameter<StxCudaVertex>(p, 7), Parameter<StxCudaVertex>(p, 8),
            Parameter<float>(p, 9),         Parameter<float*>(p, 10),       Parameter<int>(p, 11),
            Parameter<int>(p, 12),          Parameter<int>(p, 13),          Parameter<int>(p, 14),
            Parameter<int>(p, 15),          Parameter<int>(p, 16)};
}

std::uintptr_t Address(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

// Where a device would fault: the kernel reads the texture and the output, and the depth buffer
// when it is given.
bool ReadsOnlyLiveBuffers(const Driver& d, const TriangleKernelArgs<Float4>& a)
{
    const auto pixels = [](int width, int height) {
        return static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
    };
    const std::size_t outputPixels = pixels(a.outputWidth, a.outputHeight);
    return (!a.texture ||
            d.IsDeviceRange(Address(a.texture), pixels(a.textureWidth, a.textureHeight) * sizeof(Float4))) &&
           d.IsDeviceRange(Address(a.output), outputPixels * sizeof(Float4)) &&
           (!a.depth || d.IsDeviceRange(Address(a.depth), outputPixels * sizeof(float)));
}

// A fat binary's header: its magic number, then after two 16-bit fields the size of what follows.
std::optional<std::string_view> FatBinary(const void* image)
{
    constexpr uint32_t kMagic = 0xBA55ED50;
    uint32_t magic = 0;
    uint64_t size = 0;
    std::memcpy(&magic, image, sizeof magic);
    std::memcpy(&size, static_cast<const char*>(image) + 8, sizeof size);
    if (magic != kMagic) return std::nullopt;
    return std::string_view(static_cast<const char*>(image), 16 + size);
}

} // namespace
} // namespace strandel::test

using namespace strandel;
using namespace strandel::test;

// Declared through the runtime's own function types, so that a definition that strays from them
// does not compile.
STX_EXPORT cuda::cuInit_t cuInit;
STX_EXPORT cuda::cuDeviceGetCount_t cuDeviceGetCount;
STX_EXPORT cuda::cuDeviceGet_t cuDeviceGet;
STX_EXPORT cuda::cuDevicePrimaryCtxRetain_t cuDevicePrimaryCtxRetain;
STX_EXPORT cuda::cuDevicePrimaryCtxRelease_v2_t cuDevicePrimaryCtxRelease_v2;
STX_EXPORT cuda::cuCtxPushCurrent_v2_t cuCtxPushCurrent_v2;
STX_EXPORT cuda::cuCtxPopCurrent_v2_t cuCtxPopCurrent_v2;
STX_EXPORT cuda::cuModuleLoadData_t cuModuleLoadData;
STX_EXPORT cuda::cuModuleGetFunction_t cuModuleGetFunction;
STX_EXPORT cuda::cuModuleUnload_t cuModuleUnload;
STX_EXPORT cuda::cuMemAlloc_v2_t cuMemAlloc_v2;
STX_EXPORT cuda::cuMemFree_v2_t cuMemFree_v2;
STX_EXPORT cuda::cuMemcpyHtoD_v2_t cuMemcpyHtoD_v2;
STX_EXPORT cuda::cuMemcpyDtoH_v2_t cuMemcpyDtoH_v2;
#if !defined(STANDIN_WITHOUT_SYNCHRONIZE)
STX_EXPORT cuda::cuCtxSynchronize_t cuCtxSynchronize;
#endif
STX_EXPORT cuda::cuLaunchKernel_t cuLaunchKernel;

extern "C" {

Result cuInit(unsigned int flags)
{
    Call call("cuInit");
    if (call.injected) return *call.injected;
    if (flags != 0) return call.Misuse(cuda::kErrorInvalidValue);
    if (call.d.devices < 1) return cuda::kErrorNoDevice;
    call.d.initialised = true;
    return cuda::kSuccess;
}

Result cuDeviceGetCount(int* count)
{
    Call call("cuDeviceGetCount");
    if (call.injected) return *call.injected;
    if (!call.d.initialised) return call.Misuse(kErrorNotInitialized);
    *count = call.d.devices;
    return cuda::kSuccess;
}

Result cuDeviceGet(int* device, int ordinal)
{
    Call call("cuDeviceGet");
    if (call.injected) return *call.injected;
    if (!call.d.initialised) return call.Misuse(kErrorNotInitialized);
    if (ordinal < 0 || ordinal >= call.d.devices) return call.Misuse(kErrorInvalidDevice);
    *device = ordinal;
    return cuda::kSuccess;
}

Result cuDevicePrimaryCtxRetain(CUctx_st** context, int device)
{
    Call call("cuDevicePrimaryCtxRetain");
    if (call.injected) return *call.injected;
    if (!call.d.initialised) return call.Misuse(kErrorNotInitialized);
    if (device != 0) return call.Misuse(kErrorInvalidDevice);
    ++call.d.retained;
    *context = &gPrimaryContext;
    return cuda::kSuccess;
}

Result cuDevicePrimaryCtxRelease_v2(int device)
{
    Call call("cuDevicePrimaryCtxRelease_v2");
    if (device != 0 || call.d.retained < 1) return call.Misuse(kErrorInvalidContext);
    --call.d.retained;
    return call.injected.value_or(cuda::kSuccess);
}

Result cuCtxPushCurrent_v2(CUctx_st* context)
{
    Call call("cuCtxPushCurrent_v2");
    if (call.injected) return *call.injected;
    if (context != &gPrimaryContext || call.d.retained < 1) return call.Misuse(kErrorInvalidContext);
    tCurrent.push_back(context);
    return cuda::kSuccess;
}

Result cuCtxPopCurrent_v2(CUctx_st** context)
{
    Call call("cuCtxPopCurrent_v2");
    if (call.injected) return *call.injected;
    if (tCurrent.empty()) return call.Misuse(kErrorInvalidContext);
    *context = tCurrent.back();
    tCurrent.pop_back();
    return cuda::kSuccess;
}

Result cuModuleLoadData(CUmod_st** module, const void* image)
{
    Call call("cuModuleLoadData");
    if (call.injected) return *call.injected;
    if (!call.HasContext()) return call.Misuse(kErrorInvalidContext);
    const auto fatBinary = FatBinary(image);
    if (!fatBinary) return call.Misuse(kErrorInvalidImage);
    auto loaded = std::make_unique<CUmod_st>();
    loaded->image = *fatBinary;
    *module = loaded.get();
    call.d.modules.emplace(loaded.get(), std::move(loaded));
    return cuda::kSuccess;
}

Result cuModuleGetFunction(CUfunc_st** function, CUmod_st* module, const char* name)
{
    Call call("cuModuleGetFunction");
    if (call.injected) return *call.injected;
    if (!call.HasContext()) return call.Misuse(kErrorInvalidContext);
    if (!call.d.modules.count(module)) return call.Misuse(kErrorInvalidHandle);
    // The kernel's symbol, as the machine code's string table holds it.
    if (module->image.find(std::string_view(name, std::strlen(name) + 1)) == std::string_view::npos ||
        std::strcmp(name, kRasterizeTriangleKernelSymbol) != 0)
        return call.Misuse(cuda::kErrorNotFound);
    *function = &module->kernel;
    return cuda::kSuccess;
}

Result cuModuleUnload(CUmod_st* module)
{
    Call call("cuModuleUnload");
    if (!call.d.modules.erase(module)) return call.Misuse(kErrorInvalidHandle);
    return call.injected.value_or(cuda::kSuccess);
}

Result cuMemAlloc_v2(unsigned long long* pointer, std::size_t bytes)
{
    Call call("cuMemAlloc_v2");
    if (call.injected) return *call.injected;
    if (!call.HasContext()) return call.Misuse(kErrorInvalidContext);
    if (bytes == 0) return call.Misuse(cuda::kErrorInvalidValue);
    Buffer buffer;
    buffer.storage = std::make_unique<Float4[]>((bytes + sizeof(Float4) - 1) / sizeof(Float4));
    buffer.bytes = bytes;
    *pointer = Address(buffer.storage.get());
    call.d.buffers.emplace(*pointer, std::move(buffer));
    return cuda::kSuccess;
}

Result cuMemFree_v2(unsigned long long pointer)
{
    Call call("cuMemFree_v2");
    if (!call.d.buffers.erase(pointer)) return call.Misuse(cuda::kErrorInvalidValue);
    return call.injected.value_or(cuda::kSuccess);
}

Result cuMemcpyHtoD_v2(unsigned long long destination, const void* source, std::size_t bytes)
{
    Call call("cuMemcpyHtoD_v2");
    if (call.injected) return *call.injected;
    if (!call.HasContext()) return call.Misuse(kErrorInvalidContext);
    if (!call.d.IsDeviceRange(destination, bytes)) return call.Misuse(cuda::kErrorInvalidValue);
    std::memcpy(reinterpret_cast<void*>(destination), source, bytes);
    return cuda::kSuccess;
}

Result cuMemcpyDtoH_v2(void* destination, unsigned long long source, std::size_t bytes)
{
    Call call("cuMemcpyDtoH_v2");
    if (call.injected) return *call.injected;
    if (!call.HasContext()) return call.Misuse(kErrorInvalidContext);
    if (!call.d.IsDeviceRange(source, bytes)) return call.Misuse(cuda::kErrorInvalidValue);
    std::memcpy(destination, reinterpret_cast<const void*>(source), bytes);
    return cuda::kSuccess;
}

#if !defined(STANDIN_WITHOUT_SYNCHRONIZE)
Result cuCtxSynchronize()
{
    Call call("cuCtxSynchronize");
    if (call.injected) return *call.injected;
    return call.HasContext() ? cuda::kSuccess : call.Misuse(kErrorInvalidContext);
}
#endif

Result cuLaunchKernel(CUfunc_st* function, unsigned int gridX, unsigned int gridY, unsigned int gridZ,
                      unsigned int blockX, unsigned int blockY, unsigned int blockZ, unsigned int sharedBytes,
                      CUstream_st* stream, void** parameters, void** extra)
{
    TriangleKernelArgs<Float4> args;
    {
        Call call("cuLaunchKernel");
        if (call.injected) return *call.injected;
        if (!call.HasContext()) return call.Misuse(kErrorInvalidContext);
        if (!call.d.IsKernel(function)) return call.Misuse(kErrorInvalidHandle);
        // The renderer's shape: 16 x 16 threads a block, a flat grid, the default stream.
        if (gridX < 1 || gridY < 1 || gridZ != 1 || blockX != kTriangleBlockSide || blockY != kTriangleBlockSide ||
            blockZ != 1 || sharedBytes != 0 || stream || !parameters || extra)
            return call.Misuse(cuda::kErrorInvalidValue);
        args = Unpack(parameters);
        if (!ReadsOnlyLiveBuffers(call.d, args)) return call.Misuse(cuda::kErrorInvalidValue);
        call.d.launches.push_back({gridX, gridY, args});
    }
    // Unlocked: the launches of frames on other threads run at the same time.
    const int side = kTriangleBlockSide;
    for (unsigned int by = 0; by < gridY; ++by)
        for (unsigned int bx = 0; bx < gridX; ++bx)
            for (int ty = 0; ty < side; ++ty)
                for (int tx = 0; tx < side; ++tx)
                    RasterizeTrianglePixel(args, static_cast<int>(bx) * side + tx, static_cast<int>(by) * side + ty);
    return cuda::kSuccess;
}

} // extern "C"

// The test controls.
namespace {

template <class Fn>
auto Locked(Fn&& fn)
{
    Driver& d = TheDriver();
    const std::lock_guard<std::mutex> lock(d.mutex);
    return fn(d);
}

} // namespace

STX_EXPORT void StandInReset(int devices)
{
    Locked([&](Driver& d) {
        d.devices = devices;
        d.calls.clear();
        d.failures.clear();
        d.launches.clear();
        d.misuse = 0;
    });
}

STX_EXPORT void StandInFailCall(int position, int status)
{
    Locked([&](Driver& d) { d.failures[position] = status; });
}

STX_EXPORT int StandInCallCount()
{
    return Locked([](Driver& d) { return static_cast<int>(d.calls.size()); });
}

STX_EXPORT const char* StandInCallName(int position)
{
    return Locked([&](Driver& d) { return d.calls.at(position); });
}

STX_EXPORT int StandInMisuse()
{
    return Locked([](Driver& d) { return d.misuse; });
}

STX_EXPORT int StandInLiveBuffers()
{
    return Locked([](Driver& d) { return static_cast<int>(d.buffers.size()); });
}

STX_EXPORT int StandInLiveModules()
{
    return Locked([](Driver& d) { return static_cast<int>(d.modules.size()); });
}

STX_EXPORT int StandInRetainedContexts()
{
    return Locked([](Driver& d) { return d.retained; });
}

STX_EXPORT int StandInLaunchCount()
{
    return Locked([](Driver& d) { return static_cast<int>(d.launches.size()); });
}

STX_EXPORT bool StandInGetLaunch(int index, StandInLaunch* launch)
{
    return Locked([&](Driver& d) {
        if (index < 0 || index >= static_cast<int>(d.launches.size())) return false;
        *launch = d.launches[index];
        return true;
    });
}
