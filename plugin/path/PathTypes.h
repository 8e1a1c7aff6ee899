// The Path Layer's keyframes and the sampled, arc-length-measured path built from them.
#pragma once
#include <vector>

#include "path/Vec3.h"

namespace strandel {

struct PathKeyframe {
    Vec3 position;
    Vec3 inTangent; // relative to position
    Vec3 outTangent; // relative to position
};

// A carried frame along the path: normal, binormal and the normalised tangent.
struct PathFrame {
    Vec3 normal, binormal, tangent;
};

struct PathSample {
    Vec3 position;
    Vec3 tangent;
    Vec3 normal;
    Vec3 binormal;
    Vec3 frameTangent;
    double arcLength = 0;
};

constexpr std::size_t kPathSampleLimit = 65536;

using PathTable = std::vector<PathSample>;

inline double TotalLength(const PathTable& table) { return table.empty() ? 0.0 : table.back().arcLength; }

} // namespace strandel
