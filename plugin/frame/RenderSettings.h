// Every parameter value a frame needs, copied once per frame into one flat, pointer-free record.
#pragma once
#include <cstdint>

#include "curves/RampCurve.h"
#include "path/Vec3.h"

namespace strandel {

struct RenderSettings {
    uint32_t placementMode = 1; // 1 Path Array, 2 Path Ribbon
    bool inside = false;
    double spread = 100;
    uint32_t sourceMode = 1; // 1 Sequential, 2 Random
    uint32_t sourceSeed = 1;
    int32_t count = 20;
    double spacing = 100;
    double offset = 0;
    bool loop = false;
    bool reverse = false;
    Vec3 arrayPosition;
    Vec3 arrayRotation; // degrees
    double arrayScale = 100;
    uint32_t orientationMode = 3; // 1 Fixed, 2 Follow Path, 3 Face Camera
    uint32_t forwardAxis = 5;     // 1 +X, 2 -X, 3 +Y, 4 -Y, 5 +Z, 6 -Z
    double roll = 0;
    Vec3 objectRotation;
    double objectScale = 100;
    Vec3 rampRotation;
    double rampScale = 0;
    double rampOpacity = 0;
    RampCurve rampCurves[5]; // rotation X, Y, Z, scale, opacity
    double rampTimeOffset = 0;
    RampCurve rampTimeOffsetCurve;
    int32_t rampShape = 1; // 1 Linear, 2 Ease In, 3 Ease Out, 4 Ease In-Out
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
    uint32_t renderer = 1; // 1 Auto, 2 GPU, 3 CPU
    uint32_t quality = 2;  // 1 Draft, 2 Normal, 3 High
    uint32_t debugPath = 1; // 1 Off, 2 Overlay, 3 Path Only

    RenderSettings();
};

// Curve indices into rampCurves / gradientCurves.
enum CurveChannel { kCurveRotationX = 0, kCurveRotationY, kCurveRotationZ, kCurveScale, kCurveOpacity };

} // namespace strandel
