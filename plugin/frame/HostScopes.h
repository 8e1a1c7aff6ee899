// Host handles released on every path out of the scope that obtained them.
#pragma once
#include "AE_GeneralPlug.h"
#include "frame/SuiteCache.h"

namespace strandel {

class StreamScope {
public:
    explicit StreamScope(SuiteCache& suites) : suites_(suites) {}
    ~StreamScope()
    {
        if (stream) suites_.Get<AEGP_StreamSuite11>().AEGP_DisposeStream(stream);
    }
    StreamScope(const StreamScope&) = delete;
    StreamScope& operator=(const StreamScope&) = delete;
    AEGP_StreamRefH stream = nullptr;

private:
    SuiteCache& suites_;
};

class EffectScope {
public:
    explicit EffectScope(SuiteCache& suites) : suites_(suites) {}
    ~EffectScope()
    {
        if (effect) suites_.Get<AEGP_EffectSuite5>().AEGP_DisposeEffect(effect);
    }
    EffectScope(const EffectScope&) = delete;
    EffectScope& operator=(const EffectScope&) = delete;
    AEGP_EffectRefH effect = nullptr;

private:
    SuiteCache& suites_;
};

// A stream value the host filled; disposed only when a call actually produced it.
class StreamValueScope {
public:
    explicit StreamValueScope(SuiteCache& suites) : suites_(suites) {}
    ~StreamValueScope()
    {
        if (filled) suites_.Get<AEGP_StreamSuite11>().AEGP_DisposeStreamValue(&value);
    }
    StreamValueScope(const StreamValueScope&) = delete;
    StreamValueScope& operator=(const StreamValueScope&) = delete;
    AEGP_StreamValue2 value{};
    bool filled = false;

private:
    SuiteCache& suites_;
};

} // namespace strandel
