// The one way plug-in code reaches host suites during a call: acquire on first use by the (name,
// version) pair the host serves that struct under (SPSuiteId), release everything when the scope ends.
#pragma once
#include <array>
#include <cstdint>

#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "DrawbotSuite.h"

namespace strandel {

class SuiteCache {
public:
    // Throws PF_Err_BAD_CALLBACK_PARAM when basic is null.
    explicit SuiteCache(const SPBasicSuite* basic);
    ~SuiteCache();
    SuiteCache(const SuiteCache&) = delete;
    SuiteCache& operator=(const SuiteCache&) = delete;

    // Throws PF_Err_BAD_CALLBACK_PARAM when the host cannot supply the suite.
    template <class Suite>
    const Suite& Get()
    {
        auto suite = TryGet<Suite>();
        if (!suite) throw PF_Err{PF_Err_BAD_CALLBACK_PARAM};
        return *suite;
    }
    // Null when the host cannot supply the suite.
    template <class Suite>
    const Suite* TryGet()
    {
        return static_cast<const Suite*>(Acquire(SPSuiteId<Suite>::name, SPSuiteId<Suite>::version));
    }

    const SPBasicSuite* Basic() const { return basic_; }

private:
    const void* Acquire(const char* name, int32_t version);

    struct Slot {
        const char* name = nullptr;
        int32_t version = 0;
        const void* suite = nullptr;
    };
    const SPBasicSuite* basic_;
    std::array<Slot, 24> slots_{};
    std::size_t used_ = 0;
};

} // namespace strandel
