#include "frame/SuiteCache.h"

#include <cstring>

namespace strandel {

SuiteCache::SuiteCache(const SPBasicSuite* basic) : basic_(basic)
{
    if (!basic_ || !basic_->AcquireSuite || !basic_->ReleaseSuite) throw PF_Err{PF_Err_BAD_CALLBACK_PARAM};
}

SuiteCache::~SuiteCache()
{
    for (std::size_t i = 0; i < used_; ++i) basic_->ReleaseSuite(slots_[i].name, slots_[i].version);
}

const void* SuiteCache::Acquire(const char* name, int32_t version)
{
    for (std::size_t i = 0; i < used_; ++i)
        if (slots_[i].version == version && std::strcmp(slots_[i].name, name) == 0) return slots_[i].suite;
    if (used_ == slots_.size()) return nullptr;
    const void* suite = nullptr;
    if (basic_->AcquireSuite(name, version, &suite) != kSPNoError || !suite) return nullptr;
    slots_[used_++] = {name, version, suite};
    return suite;
}

} // namespace strandel
