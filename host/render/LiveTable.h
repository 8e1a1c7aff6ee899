// Objects the host hands to the plug-in as opaque handles and keeps until they come back.
// A handle the table does not hold finds nothing, so a stale or foreign one fails the call.
#pragma once
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>

namespace strandel::host {

template <class T>
class LiveTable {
public:
    void* Add(std::unique_ptr<T> item)
    {
        std::lock_guard lock(mutex_);
        void* handle = item.get();
        items_[handle] = std::move(item);
        return handle;
    }

    T* Find(const void* handle) const
    {
        std::lock_guard lock(mutex_);
        auto it = items_.find(handle);
        return it == items_.end() ? nullptr : it->second.get();
    }

    template <class Pred>
    T* FindIf(Pred pred) const
    {
        std::lock_guard lock(mutex_);
        for (const auto& [handle, item] : items_)
            if (pred(*item)) return item.get();
        return nullptr;
    }

    // Destroys the object; false when the handle was not live.
    bool Remove(const void* handle)
    {
        std::unique_ptr<T> item;
        std::lock_guard lock(mutex_);
        auto it = items_.find(handle);
        if (it == items_.end()) return false;
        item = std::move(it->second);
        items_.erase(it);
        return true;
    }

    std::size_t LiveCount() const
    {
        std::lock_guard lock(mutex_);
        return items_.size();
    }

private:
    mutable std::mutex mutex_;
    std::map<const void*, std::unique_ptr<T>> items_;
};

} // namespace strandel::host
