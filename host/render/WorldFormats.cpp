#include "host/render/WorldFormats.h"

namespace strandel::host {

PF_PixelFormat PixelFormatOf(PixelDepth depth)
{
    switch (depth) {
    case PixelDepth::Eight: return PF_PixelFormat_ARGB32;
    case PixelDepth::Sixteen: return PF_PixelFormat_ARGB64;
    case PixelDepth::Float: return PF_PixelFormat_ARGB128;
    }
    return PF_PixelFormat_INVALID;
}

void WorldFormats::Add(const void* pixels, PF_PixelFormat format)
{
    std::lock_guard lock(mutex_);
    formats_[pixels] = format;
}

void WorldFormats::Remove(const void* pixels)
{
    std::lock_guard lock(mutex_);
    formats_.erase(pixels);
}

std::optional<PF_PixelFormat> WorldFormats::Find(const void* pixels) const
{
    std::lock_guard lock(mutex_);
    auto it = formats_.find(pixels);
    if (it == formats_.end()) return std::nullopt;
    return it->second;
}

std::size_t WorldFormats::LiveCount() const
{
    std::lock_guard lock(mutex_);
    return formats_.size();
}

LentImage::LentImage(WorldFormats& formats, Image image)
    : formats_(formats), image_(std::move(image)), world_(image_.AsEffectWorld())
{
    // An empty image has no pixel memory to be known by.
    if (!image_.Empty()) formats_.Add(world_.data, PixelFormatOf(image_.Depth()));
}

Image LentImage::Take()
{
    if (!image_.Empty()) formats_.Remove(world_.data);
    Image out = std::move(image_);
    image_ = Image();
    world_ = PF_EffectWorld{};
    return out;
}

LentImage::~LentImage()
{
    if (!image_.Empty()) formats_.Remove(world_.data);
}

} // namespace strandel::host
