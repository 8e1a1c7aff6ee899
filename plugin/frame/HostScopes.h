// Host handles released on every path out of the scope that obtained them.
#pragma once
#include "AE_GeneralPlug.h"
#include "frame/SuiteCache.h"

namespace strandel {

template <class Suite, class Handle, A_Err (*Suite::*Dispose)(Handle)>
class HandleScope {
public:
    explicit HandleScope(SuiteCache& suites) : suites_(suites) {}
    ~HandleScope()
    {
        // The suite that gave the handle is already in the cache, so this cannot throw.
        if (const Suite* suite = suites_.TryGet<Suite>(); suite && handle) (suite->*Dispose)(handle);
    }
    HandleScope(const HandleScope&) = delete;
    HandleScope& operator=(const HandleScope&) = delete;

    Handle handle = nullptr;

private:
    SuiteCache& suites_;
};

using StreamScope = HandleScope<AEGP_StreamSuite6, AEGP_StreamRefH, &AEGP_StreamSuite6::AEGP_DisposeStream>;
using EffectScope = HandleScope<AEGP_EffectSuite5, AEGP_EffectRefH, &AEGP_EffectSuite5::AEGP_DisposeEffect>;
using MemHandleScope = HandleScope<AEGP_MemorySuite1, AEGP_MemHandle, &AEGP_MemorySuite1::AEGP_FreeMemHandle>;

// A stream value the host filled; disposed only when a call actually produced it.
class StreamValueScope {
public:
    explicit StreamValueScope(SuiteCache& suites) : suites_(suites) {}
    ~StreamValueScope()
    {
        if (const auto* streams = suites_.TryGet<AEGP_StreamSuite6>(); streams && filled)
            streams->AEGP_DisposeStreamValue(&value);
    }
    StreamValueScope(const StreamValueScope&) = delete;
    StreamValueScope& operator=(const StreamValueScope&) = delete;
    AEGP_StreamValue2 value{};
    bool filled = false;

private:
    SuiteCache& suites_;
};

} // namespace strandel
