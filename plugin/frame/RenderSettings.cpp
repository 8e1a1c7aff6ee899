#include "frame/RenderSettings.h"

namespace strandel {
namespace {

// Version 1, two all-zero points: a placeholder that building the record always replaces.
RampCurve EmptyCurve()
{
    RampCurve c{};
    c.version = 1;
    c.pointCount = 2;
    return c;
}

} // namespace

RenderSettings::RenderSettings()
{
    for (RampCurve& c : rampCurves) c = EmptyCurve();
    rampTimeOffsetCurve = EmptyCurve();
    for (RampCurve& c : gradientCurves) c = EmptyCurve();
    gradientTimeOffsetCurve = EmptyCurve();
}

} // namespace strandel
