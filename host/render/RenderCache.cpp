#include "host/render/RenderCache.h"

#include <algorithm>

namespace strandel::host {
namespace {

std::size_t ImageBytes(const Image& image) { return static_cast<std::size_t>(image.RowBytes()) * image.Height(); }

} // namespace

void RenderCache::Erase(std::map<FrameKey, Entry>::iterator it)
{
    bytes_ -= ImageBytes(it->second.image);
    order_.erase(std::find(order_.begin(), order_.end(), it->first));
    frames_.erase(it);
}

std::optional<Image> RenderCache::Find(const FrameKey& key, std::uint64_t invalidations)
{
    std::lock_guard lock(mutex_);
    auto it = frames_.find(key);
    if (it == frames_.end()) return std::nullopt;
    if (it->second.invalidations != invalidations) {
        Erase(it);
        return std::nullopt;
    }
    ++hits_;
    return it->second.image;
}

void RenderCache::Store(const FrameKey& key, const Image& image, std::uint64_t invalidations)
{
    const std::size_t size = ImageBytes(image);
    std::lock_guard lock(mutex_);
    if (auto it = frames_.find(key); it != frames_.end()) Erase(it);
    if (size > budget_) return;
    while (bytes_ + size > budget_) Erase(frames_.find(order_.front()));
    frames_.emplace(key, Entry{image, invalidations});
    order_.push_back(key);
    bytes_ += size;
}

void RenderCache::Clear()
{
    std::lock_guard lock(mutex_);
    frames_.clear();
    order_.clear();
    bytes_ = 0;
}

std::size_t RenderCache::Size() const
{
    std::lock_guard lock(mutex_);
    return frames_.size();
}

int RenderCache::Hits() const
{
    std::lock_guard lock(mutex_);
    return hits_;
}

} // namespace strandel::host
