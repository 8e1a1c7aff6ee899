// Every parameter value a frame needs, copied once per frame into one flat, pointer-free record.
#pragma once
#include <cstdint>

#include "curves/CurveModel.h"
#include "path/Vec3.h"

namespace strandel {

// Popup choices, numbered as the popups number them. A stored project may hold a value outside
// a list; each use falls back to the default choice for it.
enum class PlacementMode : uint32_t { PathArray = 1, PathRibbon = 2 };
enum class SourceMode : uint32_t { Sequential = 1, Random = 2 };
enum class OrientationMode : uint32_t { Fixed = 1, FollowPath = 2, FaceCamera = 3 };
enum class ForwardAxis : uint32_t { PlusX = 1, MinusX = 2, PlusY = 3, MinusY = 4, PlusZ = 5, MinusZ = 6 };
enum class Renderer : uint32_t { Auto = 1, Gpu = 2, Cpu = 3 };
enum class Quality : uint32_t { Draft = 1, Normal = 2, High = 3 };
enum class DebugPath : uint32_t { Off = 1, Overlay = 2, PathOnly = 3 };

struct RenderSettings {
    PlacementMode placementMode = PlacementMode::PathArray;
    bool inside = false;
    double spread = 100;
    SourceMode sourceMode = SourceMode::Sequential;
    uint32_t sourceSeed = 1;
    int32_t count = 20;
    double spacing = 100;
    double offset = 0;
    bool loop = false;
    bool reverse = false;
    Vec3 arrayPosition;
    Vec3 arrayRotation; // degrees
    double arrayScale = 100;
    OrientationMode orientationMode = OrientationMode::FaceCamera;
    ForwardAxis forwardAxis = ForwardAxis::PlusZ;
    double roll = 0;
    Vec3 objectRotation;
    double objectScale = 100;
    Vec3 rampRotation;
    double rampScale = 0;
    double rampOpacity = 0;
    RampCurve rampCurves[5]; // rotation X, Y, Z, scale, opacity
    double rampTimeOffset = 0;
    RampCurve rampTimeOffsetCurve;
    int32_t rampShape = kShapeLinear;
    Vec3 gradientStartRotation;
    Vec3 gradientEndRotation;
    double gradientStartScale = 100;
    double gradientEndScale = 100;
    double gradientStartOpacity = 100;
    double gradientEndOpacity = 100;
    RampCurve gradientCurves[5];
    double gradientStartTimeOffset = 0;
    double gradientEndTimeOffset = 0;
    RampCurve gradientTimeOffsetCurve;
    uint32_t randomSeed = 1;
    Vec3 randomRotation;
    double randomScale = 0;
    double timeRandom = 0;
    bool depthSort = true;
    double opacity = 100;
    Renderer renderer = Renderer::Auto;
    Quality quality = Quality::Normal;
    DebugPath debugPath = DebugPath::Off;

    RenderSettings();
};

// Curve indices into rampCurves / gradientCurves.
enum CurveChannel { kCurveRotationX = 0, kCurveRotationY, kCurveRotationZ, kCurveScale, kCurveOpacity };

} // namespace strandel
