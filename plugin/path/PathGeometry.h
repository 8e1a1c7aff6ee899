// The Path Layer's keyframes flattened into an arc-length table with carried frames, and queries on it.
#pragma once
#include <vector>

#include "frame/AbortCheck.h"
#include "frame/RenderSettings.h"
#include "path/CameraInfo.h"
#include "path/PathTypes.h"

namespace strandel {

// v / |v|, or the fallback unchanged when v is negligible.
Vec3 NormalizeOr(const Vec3& v, const Vec3& fallback);
// Rotates about X, then Y, then Z; angles in degrees, negligible ones skipped.
Vec3 RotateEulerDegrees(const Vec3& v, const Vec3& degrees);

// Adds p with direction t, or only refreshes the last tangent when p coincides with the last point.
// False when the table is already at kPathSampleLimit.
bool AppendPathSample(PathTable& table, const Vec3& p, const Vec3& t);
// Samples the open polyline of cubic segments to within tolerance pixels; empty when degenerate.
PathTable FlattenKeyframes(const std::vector<PathKeyframe>& keys, double tolerance, const AbortCheck& abort = {});
void ComputePathFrames(PathTable& table);
PathFrame InitialFrame(const Vec3& t);
// Carries the previous frame onto the new tangent without letting it flip over.
PathFrame TransportFrame(const PathFrame& previous, const Vec3& t);

// Flattens at the tolerance of settings.quality, then scales and rotates about the arc-length midpoint.
PathTable BuildPath(const std::vector<PathKeyframe>& keys, const RenderSettings& settings,
                    const AbortCheck& abort = {});
// Moves every sample by settings.arrayPosition along the camera's axes.
void ApplyArrayPosition(PathTable& table, const CameraInfo& camera, const RenderSettings& settings);
// The sample interpolated at distance s, clamped to the ends (NaN counts as the start); O(log n), no allocation.
// An empty table gives a zero sample.
PathSample SamplePathAtDistance(const PathTable& table, double s);

} // namespace strandel
