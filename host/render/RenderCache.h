// Rendered frames kept for reuse. A frame is found again only under the same key (effect,
// time, depth, downsample, protocol, parameter values and the bytes the plug-in mixed in) and
// only while the host's invalidation count has not moved since it was stored: touching the
// item or forcing a rerender moves it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include "host/image/Image.h"

namespace strandel::host {

struct FrameKey {
    const void* effect = nullptr;
    std::int64_t frame = 0;
    PixelDepth depth = PixelDepth::Eight;
    int downsample = 1;
    bool legacy = false;
    std::string params; // the instance's parameter values, as bytes
    std::string mixIn; // what the plug-in passed to GuidMixInPtr

    auto Tie() const { return std::tie(effect, frame, depth, downsample, legacy, params, mixIn); }
    bool operator<(const FrameKey& other) const { return Tie() < other.Tie(); }
    bool operator==(const FrameKey& other) const { return Tie() == other.Tie(); }
};

class RenderCache {
public:
    explicit RenderCache(std::size_t budgetBytes = std::size_t{256} << 20) : budget_(budgetBytes) {}

    std::optional<Image> Find(const FrameKey& key, std::uint64_t invalidations);
    // The oldest frames make room once the budget is spent.
    void Store(const FrameKey& key, const Image& image, std::uint64_t invalidations);

    void Clear();
    std::size_t Size() const;
    int Hits() const;

private:
    struct Entry {
        Image image;
        std::uint64_t invalidations;
    };
    void Erase(std::map<FrameKey, Entry>::iterator it);

    std::size_t budget_;
    mutable std::mutex mutex_;
    std::map<FrameKey, Entry> frames_;
    std::deque<FrameKey> order_; // oldest first
    std::size_t bytes_ = 0;
    int hits_ = 0;
};

} // namespace strandel::host
