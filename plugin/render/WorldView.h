// The host's images as the renderer's plain views.
#pragma once
#include "AE_Effect.h"
#include "render/Image.h"

namespace strandel {

// 128-bit worlds are float, 64-bit ones 16-bit; anything else is read as 8-bit.
inline PixelFormat PixelFormatOf(PF_PixelFormat format)
{
    if (format == PF_PixelFormat_ARGB128) return PixelFormat::ArgbFloat;
    if (format == PF_PixelFormat_ARGB64) return PixelFormat::Argb16;
    return PixelFormat::Argb8;
}

inline ImageView ViewOf(const PF_EffectWorld& world, PF_PixelFormat format)
{
    return {reinterpret_cast<std::byte*>(world.data), world.rowbytes, world.width, world.height, PixelFormatOf(format)};
}

} // namespace strandel
