// The stand-in driver as tests reach it: opened by the driver's own name, as the plug-in opens it,
// so that both get the library the search path leads to. The GPU tests run with the stand-in's
// folder first on that path.
#pragma once
#include <dlfcn.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/standin/StandInControl.h"
#include "render/DriverRuntime.h"

namespace strandel::test {

// Calls `entry` of the stand-in the library search found.
#define STX_STANDIN(entry) reinterpret_cast<decltype(&entry)>(Symbol(#entry))

class StandIn {
public:
    // Resets the stand-in to one device.
    StandIn() : handle_(dlopen(kCudaDriverLibrary, RTLD_NOW)) { Reset(1); }
    ~StandIn()
    {
        if (handle_) dlclose(handle_);
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    void Reset(int devices) { STX_STANDIN(StandInReset)(devices); }
    void FailCall(std::size_t position, int status)
    {
        STX_STANDIN(StandInFailCall)(static_cast<int>(position), status);
    }
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        for (int i = 0; i < STX_STANDIN(StandInCallCount)(); ++i) calls.emplace_back(STX_STANDIN(StandInCallName)(i));
        return calls;
    }
    long CallsTo(const std::string& entry) const
    {
        const std::vector<std::string> calls = Calls();
        return std::count(calls.begin(), calls.end(), entry);
    }
    std::vector<StandInLaunch> Launches() const
    {
        std::vector<StandInLaunch> launches(static_cast<std::size_t>(STX_STANDIN(StandInLaunchCount)()));
        for (std::size_t i = 0; i < launches.size(); ++i)
            STX_STANDIN(StandInGetLaunch)(static_cast<int>(i), &launches[i]);
        return launches;
    }
    int Misuse() const { return STX_STANDIN(StandInMisuse)(); }
    int LiveBuffers() const { return STX_STANDIN(StandInLiveBuffers)(); }
    // Modules loaded and primary contexts retained, together: what a runtime holds while it lives.
    int HeldByRuntimes() const { return STX_STANDIN(StandInLiveModules)() + STX_STANDIN(StandInRetainedContexts)(); }

private:
    void* Symbol(const char* name) const
    {
        if (void* entry = handle_ ? dlsym(handle_, name) : nullptr) return entry;
        throw std::runtime_error(std::string(kCudaDriverLibrary) + " on the library path is not the stand-in driver");
    }

    void* handle_;
};

#undef STX_STANDIN

} // namespace strandel::test
