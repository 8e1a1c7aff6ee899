// The pixel formats of the worlds the host lends, found by their pixel memory: the plug-in
// may ask about its own copy of a world record, whose address the host never saw.
#pragma once
#include <cstddef>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "AE_Effect.h"
#include "host/image/Image.h"

namespace strandel::host {

PF_PixelFormat PixelFormatOf(PixelDepth depth);

class WorldFormats {
public:
    void Add(const void* pixels, PF_PixelFormat format);
    void Remove(const void* pixels);
    std::optional<PF_PixelFormat> Find(const void* pixels) const;
    // Worlds lent and not yet taken back; zero between frames.
    std::size_t LiveCount() const;

private:
    mutable std::mutex mutex_;
    std::unordered_map<const void*, PF_PixelFormat> formats_;
};

// An image lent to the plug-in as a world, known to `formats` for as long as it lives.
class LentImage {
public:
    LentImage(WorldFormats& formats, Image image);
    ~LentImage();
    LentImage(const LentImage&) = delete;
    LentImage& operator=(const LentImage&) = delete;

    PF_EffectWorld& World() { return world_; }
    const Image& Pixels() const { return image_; }
    // The image, no longer lent; this object is left empty.
    Image Take();

private:
    WorldFormats& formats_;
    Image image_;
    PF_EffectWorld world_;
};

} // namespace strandel::host
