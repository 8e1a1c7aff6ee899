// One placed copy of a source along the path.
#pragma once
#include <cstdint>
#include <vector>

#include "layout/SourceTypes.h"
#include "path/Vec3.h"

namespace strandel {

struct SpriteInstance {
    const SourceEntry* frame = nullptr; // the source frame it shows; not owned
    int32_t source = 0; // index into the frame's source list
    // The path at the copy's distance (a PathSample without its arc length).
    Vec3 position, tangent, normal, binormal, frameTangent;
    double depth = 0; // camera-space z of position
    double pathFraction = 0;
    double gradientFraction = 0;
    double timeOffset = 0; // seconds
    int32_t index = 0;
};

using InstanceList = std::vector<SpriteInstance>;

} // namespace strandel
