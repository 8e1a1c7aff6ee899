// The stand-in driver as tests reach it: opened by the driver's own name, as the plug-in opens it,
// so that both get the library the search path leads to. The GPU tests run with the stand-in's
// folder first on that path.
#pragma once
#include <dlfcn.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "render/DriverRuntime.h"
#include "host/standin/StandInControl.h"

namespace strandel::test {

class StandIn {
public:
    // Resets the stand-in to one device.
    StandIn() : handle_(dlopen(kCudaDriverLibrary, RTLD_NOW))
    {
        const auto bind = [this](const char* name, auto*& entry) {
            entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(handle_ ? dlsym(handle_, name) : nullptr);
            return entry != nullptr;
        };
#define STX_BIND(entry) bind(#entry, entry##_)
        if (!(STX_BIND(StandInReset) && STX_BIND(StandInFailCall) && STX_BIND(StandInCallCount) &&
              STX_BIND(StandInCallName) && STX_BIND(StandInMisuse) && STX_BIND(StandInLiveBuffers) &&
              STX_BIND(StandInLiveModules) && STX_BIND(StandInRetainedContexts) && STX_BIND(StandInLaunchCount) &&
              STX_BIND(StandInGetLaunch)))
            throw std::runtime_error(std::string(kCudaDriverLibrary) + " on the library path is not the stand-in driver");
#undef STX_BIND
        Reset(1);
    }
    ~StandIn() { dlclose(handle_); }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    void Reset(int devices) { StandInReset_(devices); }
    void FailCall(std::size_t position, int status) { StandInFailCall_(static_cast<int>(position), status); }
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        for (int i = 0; i < StandInCallCount_(); ++i) calls.emplace_back(StandInCallName_(i));
        return calls;
    }
    int CallsTo(const std::string& entry) const
    {
        int n = 0;
        for (const std::string& call : Calls()) n += call == entry;
        return n;
    }
    std::vector<StandInLaunch> Launches() const
    {
        std::vector<StandInLaunch> launches(static_cast<std::size_t>(StandInLaunchCount_()));
        for (std::size_t i = 0; i < launches.size(); ++i) StandInGetLaunch_(static_cast<int>(i), &launches[i]);
        return launches;
    }
    int Misuse() const { return StandInMisuse_(); }
    int LiveBuffers() const { return StandInLiveBuffers_(); }
    // Modules loaded and primary contexts retained, together: what a runtime holds while it lives.
    int HeldByRuntimes() const { return StandInLiveModules_() + StandInRetainedContexts_(); }

private:
    void* handle_;
    decltype(&StandInReset) StandInReset_ = nullptr;
    decltype(&StandInFailCall) StandInFailCall_ = nullptr;
    decltype(&StandInCallCount) StandInCallCount_ = nullptr;
    decltype(&StandInCallName) StandInCallName_ = nullptr;
    decltype(&StandInMisuse) StandInMisuse_ = nullptr;
    decltype(&StandInLiveBuffers) StandInLiveBuffers_ = nullptr;
    decltype(&StandInLiveModules) StandInLiveModules_ = nullptr;
    decltype(&StandInRetainedContexts) StandInRetainedContexts_ = nullptr;
    decltype(&StandInLaunchCount) StandInLaunchCount_ = nullptr;
    decltype(&StandInGetLaunch) StandInGetLaunch_ = nullptr;
};

} // namespace strandel::test
