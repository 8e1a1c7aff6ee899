// A usable source layer as a list of textured quads in the source's local space.
#pragma once
#include <cstdint>
#include <vector>

#include "path/Vec3.h"
#include "render/Image.h"

namespace strandel {

struct SourceQuad {
    ImageView image; // pixels owned by the host or the source slot
    Vec3 corners[4]; // top-left, top-right, bottom-right, bottom-left
    double uMin = 0, vMin = 0, uMax = 0, vMax = 0;
};

struct SourceEntry {
    int32_t slot = -1; // 0..4 for "Source Layer 1".."Source Layer 5"
    std::vector<SourceQuad> quads;
};

using SourceList = std::vector<SourceEntry>;

} // namespace strandel
