#include "host/SuiteRegistry.h"

#include <cstdlib>
#include <cstring>

#include "host/Host.h"

namespace strandel::host {

void SuiteRegistry::Add(const std::string& name, int32_t version, std::shared_ptr<const void> suite)
{
    std::lock_guard lock(mutex_);
    suites_[{name, version}] = std::move(suite);
}

SPErr SuiteRegistry::Acquire(const char* name, int32_t version, const void** suite)
{
    if (!name || !suite) return kSPSuiteNotFoundError;
    std::lock_guard lock(mutex_);
    Key key{name, version};
    auto it = suites_.find(key);
    if (it == suites_.end() || disabled_.count(key)) {
        *suite = nullptr;
        return kSPSuiteNotFoundError;
    }
    *suite = it->second.get();
    ++outstanding_[key];
    ++acquired_[name];
    return kSPNoError;
}

SPErr SuiteRegistry::Release(const char* name, int32_t version)
{
    if (!name) return kSPSuiteNotFoundError;
    std::lock_guard lock(mutex_);
    auto it = outstanding_.find({name, version});
    if (it == outstanding_.end() || it->second == 0) return kSPSuiteNotFoundError;
    --it->second;
    return kSPNoError;
}

std::vector<std::pair<std::string, int32_t>> SuiteRegistry::ServedPairs() const
{
    std::lock_guard lock(mutex_);
    std::vector<Key> pairs;
    for (const auto& entry : suites_) pairs.push_back(entry.first);
    return pairs;
}

int SuiteRegistry::Outstanding() const
{
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& [key, count] : outstanding_) n += count;
    return n;
}

int SuiteRegistry::AcquireCount(const std::string& name) const
{
    std::lock_guard lock(mutex_);
    auto it = acquired_.find(name);
    return it == acquired_.end() ? 0 : it->second;
}

SPBasicSuite* SuiteRegistry::BasicSuite()
{
    static SPBasicSuite basic = {
        [](const char* name, int32_t version, const void** suite) {
            return Host::Current().suites().Acquire(name, version, suite);
        },
        [](const char* name, int32_t version) { return Host::Current().suites().Release(name, version); },
        [](const char* a, const char* b) -> SPBoolean { return a && b && std::strcmp(a, b) == 0; },
        [](size_t size, void** block) -> SPErr {
            *block = std::malloc(size);
            return *block ? kSPNoError : kSPOutOfMemoryError;
        },
        [](void* block) -> SPErr {
            std::free(block);
            return kSPNoError;
        },
        [](void* block, size_t size, void** out) -> SPErr {
            *out = std::realloc(block, size);
            return *out ? kSPNoError : kSPOutOfMemoryError;
        },
        []() -> SPErr { return kSPNoError; },
    };
    return &basic;
}

} // namespace strandel::host
