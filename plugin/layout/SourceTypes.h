// A usable source layer as a list of textured quads in the source's local space.
#pragma once
#include <cstdint>
#include <vector>

#include "AE_Effect.h"
#include "path/Vec3.h"

namespace strandel {

struct SourceQuad {
    const PF_EffectWorld* image = nullptr; // owned by the host or the source slot
    PF_PixelFormat format = PF_PixelFormat_ARGB32;
    Vec3 corners[4]; // top-left, top-right, bottom-right, bottom-left
    double uMin = 0, vMin = 0, uMax = 0, vMax = 0;
};

struct SourceEntry {
    int32_t slot = -1; // 0..4 for "Source Layer 1".."Source Layer 5"
    std::vector<SourceQuad> quads;
};

using SourceList = std::vector<SourceEntry>;

} // namespace strandel
