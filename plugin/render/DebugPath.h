// Draws the sampled path as a thick white polyline, projected like the sprites.
#pragma once
#include <optional>

#include "path/CameraInfo.h"
#include "path/PathTypes.h"
#include "render/Projection.h"

namespace strandel {

// Output pixel position of a world point; fails at or behind depth 0.001 and for non-finite results.
std::optional<ScreenPoint> ProjectPathPoint(const CameraInfo& camera, const Vec3& point);

// Stamps a disc of the given radius, blended on its own, at every pixel step along each projected
// segment; segments with an end that does not project are skipped.
void DrawDebugPath(const PathTable& path, const CameraInfo& camera, const ImageView& output, double alpha, int radius);

} // namespace strandel
