#include "host/HandleStore.h"

#include <cstdlib>
#include <cstring>

#include "host/Host.h"
#include "host/suites/SuiteTable.h"

namespace strandel::host {

// A PF_Handle points at `data`, the block's first member, as host handles point at their memory.
struct HandleStore::Block {
    void* data;
    std::size_t size;
    int locks;
};

HandleStore::~HandleStore()
{
    for (Block* b : live_) {
        std::free(b->data);
        delete b;
    }
}

HandleStore::Block* HandleStore::Find(PF_Handle h) const
{
    auto b = reinterpret_cast<Block*>(h);
    return live_.count(b) ? b : nullptr;
}

PF_Handle HandleStore::New(std::size_t size)
{
    std::lock_guard lock(mutex_);
    if (failNew_ > 0) {
        --failNew_;
        return nullptr;
    }
    void* data = std::calloc(size ? size : 1, 1);
    if (!data) return nullptr;
    auto* b = new Block{data, size, 0};
    live_.insert(b);
    return reinterpret_cast<PF_Handle>(b);
}

void* HandleStore::Lock(PF_Handle h)
{
    std::lock_guard lock(mutex_);
    Block* b = Find(h);
    if (!b) return nullptr;
    if (failLock_ > 0) {
        --failLock_;
        return nullptr;
    }
    ++b->locks;
    return b->data;
}

void HandleStore::Unlock(PF_Handle h)
{
    std::lock_guard lock(mutex_);
    if (Block* b = Find(h); b && b->locks > 0) --b->locks;
}

void HandleStore::Dispose(PF_Handle h)
{
    std::lock_guard lock(mutex_);
    if (Block* b = Find(h)) {
        live_.erase(b);
        std::free(b->data);
        delete b;
    }
}

std::size_t HandleStore::Size(PF_Handle h) const
{
    std::lock_guard lock(mutex_);
    Block* b = Find(h);
    return b ? b->size : 0;
}

PF_Err HandleStore::Resize(std::size_t size, PF_Handle* h)
{
    std::lock_guard lock(mutex_);
    Block* b = h ? Find(*h) : nullptr;
    if (!b) return PF_Err_BAD_CALLBACK_PARAM;
    if (b->locks > 0) return PF_Err_INTERNAL_STRUCT_DAMAGED; // memory of a locked handle cannot move
    void* data = std::realloc(b->data, size ? size : 1);
    if (!data) return PF_Err_OUT_OF_MEMORY;
    if (size > b->size) std::memset(static_cast<char*>(data) + b->size, 0, size - b->size);
    b->data = data;
    b->size = size;
    return PF_Err_NONE;
}

bool HandleStore::Owns(PF_Handle h) const
{
    std::lock_guard lock(mutex_);
    return Find(h) != nullptr;
}

std::size_t HandleStore::LiveCount() const
{
    std::lock_guard lock(mutex_);
    return live_.size();
}

template <>
struct TableLabel<PF_UtilCallbacks> {
    static constexpr const char* name = "PF_UtilCallbacks";
    static constexpr A_long version = 0;
};

PF_UtilCallbacks* HandleStore::Callbacks()
{
    static PF_UtilCallbacks callbacks = [] {
        auto table = TableOfTraps<PF_UtilCallbacks>();
        table.get_batch_func_is_deprecated = nullptr;
        table.ansi.ansi_procs[0] = 0;
        table.reserved[0] = 0;
        table.host_new_handle = [](A_HandleSize size) { return Host::Current().handles().New(size); };
        table.host_lock_handle = [](PF_Handle h) { return Host::Current().handles().Lock(h); };
        table.host_unlock_handle = [](PF_Handle h) { Host::Current().handles().Unlock(h); };
        table.host_dispose_handle = [](PF_Handle h) { Host::Current().handles().Dispose(h); };
        table.host_get_handle_size = [](PF_Handle h) -> A_HandleSize { return Host::Current().handles().Size(h); };
        table.host_resize_handle = [](A_HandleSize size, PF_Handle* h) {
            return Host::Current().handles().Resize(size, h);
        };
        return table;
    }();
    return &callbacks;
}

} // namespace strandel::host
