// A suite held for the scope through the host's basic suite, as the plug-in's suite cache holds it.
#pragma once
#include <gtest/gtest.h>

#include "SPBasic.h"
#include "host/SuiteRegistry.h"

namespace strandel::test {

template <class Suite>
class Acquired {
public:
    Acquired()
    {
        const void* suite = nullptr;
        EXPECT_EQ(Basic()->AcquireSuite(SPSuiteId<Suite>::name, SPSuiteId<Suite>::version, &suite), kSPNoError)
            << SPSuiteId<Suite>::name << " " << SPSuiteId<Suite>::version;
        suite_ = static_cast<const Suite*>(suite);
    }
    ~Acquired() { Basic()->ReleaseSuite(SPSuiteId<Suite>::name, SPSuiteId<Suite>::version); }
    Acquired(const Acquired&) = delete;
    Acquired& operator=(const Acquired&) = delete;
    const Suite* operator->() const { return suite_; }

private:
    static SPBasicSuite* Basic() { return host::SuiteRegistry::BasicSuite(); }
    const Suite* suite_ = nullptr;
};

} // namespace strandel::test
