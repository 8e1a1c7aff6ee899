// The frame's usable source layers, each as textured quads in its local space.
#pragma once
#include <cstdint>
#include <vector>

#include "render/SourceQuad.h"

namespace strandel {

struct SourceEntry {
    int32_t slot = -1; // 0..4 for "Source Layer 1".."Source Layer 5"
    std::vector<SourceQuad> quads;
};

using SourceList = std::vector<SourceEntry>;

} // namespace strandel
