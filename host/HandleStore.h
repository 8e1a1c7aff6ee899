// The host's memory handles (PF_Handle), with accounting so tests can demand zero leaks.
#pragma once
#include <cstddef>
#include <mutex>
#include <unordered_set>

#include "AE_Effect.h"

namespace strandel::host {

class HandleStore {
public:
    ~HandleStore();

    PF_Handle New(std::size_t size);
    void* Lock(PF_Handle h);
    void Unlock(PF_Handle h);
    void Dispose(PF_Handle h);
    std::size_t Size(PF_Handle h) const;
    PF_Err Resize(std::size_t size, PF_Handle* h);
    bool Owns(PF_Handle h) const;

    std::size_t LiveCount() const;
    // Tests: make the next allocations or locks fail.
    void FailNextNew(int count = 1) { failNew_ = count; }
    void FailNextLock(int count = 1) { failLock_ = count; }

    // The PF_UtilCallbacks table that routes to the store of the current host.
    static PF_UtilCallbacks* Callbacks();

private:
    struct Block;
    Block* Find(PF_Handle h) const;

    mutable std::mutex mutex_;
    std::unordered_set<Block*> live_;
    int failNew_ = 0, failLock_ = 0;
};

} // namespace strandel::host
