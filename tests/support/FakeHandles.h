// In-memory host handles for tests: fills a PF_UtilCallbacks and a PF_InData, counts live and
// locked handles for leak checks, and fails allocation, locking or resizing on request.
// The callbacks carry no context, so one instance at a time is the active one.
#pragma once
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "AE_Effect.h"

namespace strandel::test {

class FakeHandles {
public:
    PF_UtilCallbacks utils{};
    PF_InData in_data{};
    bool failNew = false, failLock = false, failResize = false;
    int badCalls = 0; // calls on a handle that is not live (double dispose, stale handle)

    FakeHandles()
    {
        Active() = this;
        utils.host_new_handle = [](A_HandleSize size) { return Active()->New(size); };
        utils.host_lock_handle = [](PF_Handle h) {
            Block* b = Active()->FindOrCount(h);
            return b && !Active()->failLock ? (++b->locks, b->data) : nullptr;
        };
        utils.host_unlock_handle = [](PF_Handle h) {
            Block* b = Active()->FindOrCount(h);
            if (b && b->locks > 0) --b->locks;
            else if (b) ++Active()->badCalls;
        };
        utils.host_dispose_handle = [](PF_Handle h) {
            if (Active()->FindOrCount(h)) Active()->blocks_.erase(h);
        };
        utils.host_get_handle_size = [](PF_Handle h) -> A_HandleSize {
            Block* b = Active()->FindOrCount(h);
            return b ? b->bytes.size() : 0;
        };
        utils.host_resize_handle = [](A_HandleSize size, PF_Handle* h) -> PF_Err {
            Block* b = h ? Active()->FindOrCount(*h) : nullptr;
            if (!b) return PF_Err_BAD_CALLBACK_PARAM;
            if (Active()->failResize) return PF_Err_OUT_OF_MEMORY;
            b->bytes.resize(static_cast<std::size_t>(size), 0xCD);
            b->data = b->bytes.data();
            return PF_Err_NONE;
        };
        in_data.utils = &utils;
    }
    ~FakeHandles() { Active() = nullptr; }
    FakeHandles(const FakeHandles&) = delete;
    FakeHandles& operator=(const FakeHandles&) = delete;

    int LiveHandles() const { return static_cast<int>(blocks_.size()); }
    int LockedHandles() const
    {
        int locked = 0;
        for (const auto& [h, block] : blocks_) locked += block->locks > 0;
        return locked;
    }

    // A handle holding a copy of the given bytes, made without going through the callbacks.
    PF_Handle Make(const void* bytes, std::size_t size)
    {
        PF_Handle h = New(size);
        if (size) std::memcpy(*h, bytes, size);
        return h;
    }
    std::vector<unsigned char> Bytes(PF_Handle h) const
    {
        auto it = blocks_.find(h);
        return it == blocks_.end() ? std::vector<unsigned char>{} : it->second->bytes;
    }

private:
    // The handle is the address of `data`, which always points at the current storage.
    struct Block {
        void* data = nullptr;
        std::vector<unsigned char> bytes;
        int locks = 0;
    };

    static FakeHandles*& Active()
    {
        static FakeHandles* active = nullptr;
        return active;
    }
    Block* FindOrCount(PF_Handle h)
    {
        auto it = blocks_.find(h);
        return it != blocks_.end() ? it->second.get() : (++badCalls, nullptr);
    }
    PF_Handle New(A_HandleSize size)
    {
        if (failNew) return nullptr;
        auto block = std::make_unique<Block>();
        block->bytes.assign(static_cast<std::size_t>(size), 0xCD);
        block->data = block->bytes.data();
        PF_Handle h = &block->data;
        blocks_[h] = std::move(block);
        return h;
    }

    std::map<PF_Handle, std::unique_ptr<Block>> blocks_;
};

} // namespace strandel::test
