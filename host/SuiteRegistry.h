// The suites the host serves, by name and version, behind its basic suite.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "SPBasic.h"

namespace strandel::host {

class SuiteRegistry {
public:
    // Serves the struct under the (name, version) pair the host's table gives it.
    template <class Suite>
    void Serve(const Suite& suite)
    {
        Add(SPSuiteId<Suite>::name, SPSuiteId<Suite>::version, std::make_shared<const Suite>(suite));
    }
    // Tests: behave as a host without this suite (or without this version of it).
    void Disable(const std::string& name, int32_t version) { disabled_.insert({name, version}); }
    void Enable(const std::string& name, int32_t version) { disabled_.erase({name, version}); }

    SPErr Acquire(const char* name, int32_t version, const void** suite);
    SPErr Release(const char* name, int32_t version);

    // Every (name, version) pair served, disabled ones included.
    std::vector<std::pair<std::string, int32_t>> ServedPairs() const;

    // Acquisitions not yet released; zero after every well-behaved command.
    int Outstanding() const;
    int AcquireCount(const std::string& name) const;

    // The basic suite handed to the plug-in; it routes to the current host's registry.
    static SPBasicSuite* BasicSuite();

private:
    void Add(const std::string& name, int32_t version, std::shared_ptr<const void> suite);

    using Key = std::pair<std::string, int32_t>;
    mutable std::mutex mutex_;
    std::map<Key, std::shared_ptr<const void>> suites_;
    std::set<Key> disabled_;
    std::map<Key, int> outstanding_;
    std::map<std::string, int> acquired_;
};

} // namespace strandel::host
