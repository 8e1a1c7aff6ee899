#include "render/DriverRuntime.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdint>
#include <type_traits>
#include <utility>

#include "render/CudaDriverApi.h"
#include "render/StxRendererCUDA.h"

namespace strandel {
namespace {

void* OpenLibrary(const char* name)
{
#if defined(_WIN32)
    // A machine without the driver must not get a "DLL not found" box from a render thread.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE library = LoadLibraryA(name);
    SetThreadErrorMode(previousMode, nullptr);
    return reinterpret_cast<void*>(library);
#else
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
#endif
}

void* FindSymbol(void* library, const char* name)
{
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

// The driver's entry points; each member is named after its entry point and typed by it.
struct DriverApi {
    cuda::cuInit_t* cuInit = nullptr;
    cuda::cuDeviceGetCount_t* cuDeviceGetCount = nullptr;
    cuda::cuDeviceGet_t* cuDeviceGet = nullptr;
    cuda::cuDevicePrimaryCtxRetain_t* cuDevicePrimaryCtxRetain = nullptr;
    cuda::cuDevicePrimaryCtxRelease_v2_t* cuDevicePrimaryCtxRelease_v2 = nullptr;
    cuda::cuCtxPushCurrent_v2_t* cuCtxPushCurrent_v2 = nullptr;
    cuda::cuCtxPopCurrent_v2_t* cuCtxPopCurrent_v2 = nullptr;
    cuda::cuModuleLoadData_t* cuModuleLoadData = nullptr;
    cuda::cuModuleGetFunction_t* cuModuleGetFunction = nullptr;
    cuda::cuModuleUnload_t* cuModuleUnload = nullptr;
    cuda::cuMemAlloc_v2_t* cuMemAlloc_v2 = nullptr;
    cuda::cuMemFree_v2_t* cuMemFree_v2 = nullptr;
    cuda::cuMemcpyHtoD_v2_t* cuMemcpyHtoD_v2 = nullptr;
    cuda::cuMemcpyDtoH_v2_t* cuMemcpyDtoH_v2 = nullptr;
    cuda::cuLaunchKernel_t* cuLaunchKernel = nullptr;
    cuda::cuCtxSynchronize_t* cuCtxSynchronize = nullptr;

    // Whether the library has every entry point.
    bool Bind(void* library)
    {
        const auto bind = [library](const char* name, auto*& entry) {
            entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(FindSymbol(library, name));
            return entry != nullptr;
        };
#define STX_BIND(entry) bind(#entry, entry)
        return STX_BIND(cuInit) && STX_BIND(cuDeviceGetCount) && STX_BIND(cuDeviceGet) &&
               STX_BIND(cuDevicePrimaryCtxRetain) && STX_BIND(cuDevicePrimaryCtxRelease_v2) &&
               STX_BIND(cuCtxPushCurrent_v2) && STX_BIND(cuCtxPopCurrent_v2) && STX_BIND(cuModuleLoadData) &&
               STX_BIND(cuModuleGetFunction) && STX_BIND(cuModuleUnload) && STX_BIND(cuMemAlloc_v2) &&
               STX_BIND(cuMemFree_v2) && STX_BIND(cuMemcpyHtoD_v2) && STX_BIND(cuMemcpyDtoH_v2) &&
               STX_BIND(cuLaunchKernel) && STX_BIND(cuCtxSynchronize);
#undef STX_BIND
    }
};

thread_local GpuStatus tLastError = kGpuSuccess;

GpuStatus Recorded(GpuStatus status)
{
    if (status != kGpuSuccess) tLastError = status;
    return status;
}

cuda::DevicePointer DeviceAddress(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

// The driver reads each kernel parameter through a pointer to it.
template <class T>
void* Parameter(const T& value)
{
    return const_cast<T*>(&value);
}

} // namespace

struct DriverRuntime::Session {
    DriverApi api;
    cuda::Device device = 0;
    cuda::Context context = nullptr;
    cuda::Module module = nullptr;
    cuda::Function kernel = nullptr;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session()
    {
        if (module) InContext([this] { return api.cuModuleUnload(module); }, true);
        if (context) api.cuDevicePrimaryCtxRelease_v2(device);
    }

    // Whatever it acquired before a failure is released by the destructor.
    cuda::Result Start(const char* library, const void* image)
    {
        void* handle = OpenLibrary(library);
        if (!handle) return cuda::kErrorNoDevice;
        if (!api.Bind(handle)) return cuda::kErrorNotFound;
        if (cuda::Result result = api.cuInit(0)) return result;
        if (cuda::Result result = api.cuDeviceGet(&device, 0)) return result;
        cuda::Context retained = nullptr;
        if (cuda::Result result = api.cuDevicePrimaryCtxRetain(&retained, device)) return result;
        context = retained;
        return InContext([&] {
            cuda::Module loaded = nullptr;
            if (cuda::Result result = api.cuModuleLoadData(&loaded, image)) return result;
            module = loaded;
            return api.cuModuleGetFunction(&kernel, module, kRasterizeTriangleKernelSymbol);
        });
    }

    // op() with the context current on this thread; the first failure among making it current, op
    // and restoring the thread's own. A release runs even when the context cannot be made
    // current: the driver knows a buffer's or a module's context by the handle alone.
    template <class Op>
    cuda::Result InContext(Op&& op, bool release = false) const
    {
        if (cuda::Result pushed = api.cuCtxPushCurrent_v2(context)) {
            if (release) op();
            return pushed;
        }
        const cuda::Result result = op();
        cuda::Context popped = nullptr;
        const cuda::Result restored = api.cuCtxPopCurrent_v2(&popped);
        return result != cuda::kSuccess ? result : restored;
    }
};

DriverRuntime::DriverRuntime(std::string library, const void* image) : library_(std::move(library)), image_(image) {}

DriverRuntime::~DriverRuntime() = default;

const DriverRuntime::Session* DriverRuntime::Started()
{
    std::call_once(started_, [this] {
        auto session = std::make_unique<Session>();
        startStatus_ = session->Start(library_.c_str(), image_);
        if (startStatus_ == kGpuSuccess) session_ = std::move(session);
    });
    return session_.get();
}

template <class Op>
GpuStatus DriverRuntime::OnDevice(Op&& op, bool release)
{
    const Session* session = Started();
    if (!session) return Recorded(startStatus_);
    return Recorded(session->InContext([&] { return op(*session); }, release));
}

GpuStatus DriverRuntime::GetDeviceCount(int32_t& count)
{
    count = 0;
    const Session* session = Started();
    if (!session) return Recorded(startStatus_);
    int devices = 0;
    const GpuStatus status = session->api.cuDeviceGetCount(&devices);
    if (status == kGpuSuccess) count = devices;
    return Recorded(status);
}

GpuStatus DriverRuntime::Malloc(void** devicePointer, std::size_t bytes)
{
    cuda::DevicePointer allocated = 0;
    bool gotMemory = false;
    const GpuStatus status = OnDevice([&](const Session& s) {
        const cuda::Result result = s.api.cuMemAlloc_v2(&allocated, bytes);
        gotMemory = result == cuda::kSuccess;
        return result;
    });
    void* memory = reinterpret_cast<void*>(static_cast<std::uintptr_t>(allocated));
    if (status == kGpuSuccess) *devicePointer = memory;
    // The thread's own context could not be restored: a failed call hands out nothing.
    else if (gotMemory) Free(memory);
    return status;
}

GpuStatus DriverRuntime::Memcpy(void* destination, const void* source, std::size_t bytes, CopyDirection direction)
{
    return OnDevice([&](const Session& s) {
        return direction == CopyDirection::HostToDevice
                   ? s.api.cuMemcpyHtoD_v2(DeviceAddress(destination), source, bytes)
                   : s.api.cuMemcpyDtoH_v2(destination, DeviceAddress(source), bytes);
    });
}

void DriverRuntime::LaunchRasterizeTriangle(const LaunchGrid& grid, const TriangleKernelArgs<Float4>& a)
{
    // In the kernel's parameter order; device buffers travel as the addresses Malloc gave out.
    void* parameters[] = {Parameter(a.texture),      Parameter(a.textureWidth), Parameter(a.textureHeight),
                          Parameter(a.output),       Parameter(a.outputWidth),  Parameter(a.outputHeight),
                          Parameter(a.v0),           Parameter(a.v1),           Parameter(a.v2),
                          Parameter(a.opacity),      Parameter(a.depth),        Parameter(a.depthOn),
                          Parameter(a.clampColours), Parameter(a.xMin),         Parameter(a.yMin),
                          Parameter(a.xMax),         Parameter(a.yMax)};
    OnDevice([&](const Session& s) {
        return s.api.cuLaunchKernel(s.kernel, grid.x, grid.y, 1, kTriangleBlockSide, kTriangleBlockSide, 1, 0, nullptr,
                                    parameters, nullptr);
    });
}

GpuStatus DriverRuntime::PeekAtLastError() { return tLastError; }

void DriverRuntime::ClearLastError() { tLastError = kGpuSuccess; }

GpuStatus DriverRuntime::DeviceSynchronize()
{
    return OnDevice([](const Session& s) { return s.api.cuCtxSynchronize(); });
}

GpuStatus DriverRuntime::Free(void* devicePointer)
{
    return OnDevice([&](const Session& s) { return s.api.cuMemFree_v2(DeviceAddress(devicePointer)); }, true);
}

} // namespace strandel
