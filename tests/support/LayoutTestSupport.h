// Settings, path frames and quads shared by the layout tests.
#pragma once
#include "curves/RampCurve.h"
#include "frame/RenderSettings.h"
#include "layout/SpriteInstance.h"

namespace strandel {

// Default settings with every curve the identity (a fresh record holds placeholder curves).
inline RenderSettings LinearCurves()
{
    RenderSettings s;
    for (RampCurve& c : s.rampCurves) c = MakeDefaultCurve(false);
    for (RampCurve& c : s.gradientCurves) c = MakeDefaultCurve(false);
    s.rampTimeOffsetCurve = MakeDefaultCurve(false);
    s.gradientTimeOffsetCurve = MakeDefaultCurve(false);
    return s;
}

// A path heading (0.6, 0.8, 0) with the normal on world Z, so B = T x N = (0.8, -0.6, 0).
inline SpriteInstance SlantedInstance(const Vec3& position = {})
{
    SpriteInstance instance;
    instance.position = position;
    instance.tangent = instance.frameTangent = {0.6, 0.8, 0};
    instance.normal = {0, 0, 1};
    instance.binormal = {0.8, -0.6, 0};
    return instance;
}

} // namespace strandel
