// One textured quad of a source layer, in the source's local space.
#pragma once
#include "path/Vec3.h"
#include "render/Image.h"

namespace strandel {

struct SourceQuad {
    ImageView image; // pixels owned by the host or the source slot
    Vec3 corners[4]; // top-left, top-right, bottom-right, bottom-left
    double uMin = 0, vMin = 0, uMax = 0, vMax = 0;
};

} // namespace strandel
