// Where each copy sits on the path, which source it shows, its time offset, and for each of its
// textured quads the final corners and opacity handed to projection.
#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "frame/RenderSettings.h"
#include "layout/SourceTypes.h"
#include "layout/SpriteInstance.h"
#include "path/CameraInfo.h"
#include "path/PathTypes.h"
#include "render/Triangles.h"

namespace strandel {

struct Placement {
    bool placed = false;
    double pathFraction = 0; // x: position along the path, 0..1
    double indexFraction = 0; // u: i / (Count - 1), never reversed
    double gradientFraction = 0; // g: input of the Path Gradient curves
};

// Independent HashRandom streams per copy; the seeds are the Random "Seed" or, for the source, "Source Seed".
constexpr uint32_t kRandomRotationXChannel = 11;
constexpr uint32_t kRandomRotationYChannel = 12;
constexpr uint32_t kRandomRotationZChannel = 13;
constexpr uint32_t kRandomScaleChannel = 21;
constexpr uint32_t kSourceChoiceChannel = 0x534F5552;

Placement PlaceInstance(const RenderSettings& settings, int32_t index);
// index / (count - 1), or 0 for a single copy: the input of the Ramp curves.
double IndexFraction(int32_t count, int32_t index);
// Index into a list of n usable sources, or -1 when n < 1.
int32_t ChooseSource(const RenderSettings& settings, int32_t index, int32_t sourceCount);
uint32_t HashRandom(uint32_t seed, uint32_t index, uint32_t channel);
double SignedRandom(uint32_t seed, uint32_t index, uint32_t channel);
double InstanceTimeOffset(const RenderSettings& settings, int32_t index, double indexFraction, double gradientFraction);
bool HasTimeOffsets(const RenderSettings& settings);

InstanceList BuildInstances(const PathTable& path, const SourceList& sources, const RenderSettings& settings,
                            const CameraInfo& camera);
void SortInstancesByDepth(InstanceList& instances);

struct Basis {
    Vec3 x, y, z;
};
Basis OrientationBasis(const RenderSettings& settings, const CameraInfo& camera, const SpriteInstance& instance);
Vec3 RotateAboutAxis(const Vec3& v, const Vec3& axis, double radians);
Basis Orthonormalize(const Vec3& x, const Vec3& y, const Vec3& z);
Vec3 PerpendicularPart(const Vec3& v, const Vec3& unitT, const Vec3& fallback);

// A copy's final axes (after orientation and rotations), size factor and opacity.
struct SpritePose {
    Basis axes;
    double scale = 0;
    double opacity = 0;
};
// Empty when the copy is too small or too transparent to draw.
std::optional<SpritePose> PoseSprite(const SpriteInstance& instance, const RenderSettings& settings,
                                     const CameraInfo& camera);
// The quad's local corners taken to world space around the copy's position.
std::array<Vec3, 4> QuadWorldCorners(const Vec3& position, const SpritePose& pose, const SourceQuad& quad);

// True when the triangle list grew.
bool PlaceSprite(const SpriteInstance& instance, const SourceQuad& quad, const RenderSettings& settings,
                 const CameraInfo& camera, TriangleList& list);

} // namespace strandel
