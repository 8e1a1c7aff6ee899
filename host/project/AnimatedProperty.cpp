#include "host/project/AnimatedProperty.h"

#include <algorithm>

namespace strandel::host {
namespace {

Vec3 CubicBezier(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3, double s)
{
    const double u = 1 - s;
    return p0 * (u * u * u) + p1 * (3 * u * u * s) + p2 * (3 * u * s * s) + p3 * (s * s * s);
}

} // namespace

Vec3 AnimatedProperty::ValueAt(double seconds) const
{
    if (keys.empty()) return value;
    if (seconds <= keys.front().time) return keys.front().value;
    if (seconds >= keys.back().time) return keys.back().value;
    const auto next =
        std::upper_bound(keys.begin(), keys.end(), seconds, [](double t, const Keyframe& key) { return t < key.time; });
    const Keyframe& k1 = *next;
    const Keyframe& k0 = *(next - 1);
    if (k0.outInterpolation == Interpolation::Hold) return k0.value;
    const double s = (seconds - k0.time) / (k1.time - k0.time);
    if (spatial) return CubicBezier(k0.value, k0.value + k0.outTangent, k1.value + k1.inTangent, k1.value, s);
    return k0.value + (k1.value - k0.value) * s;
}

void AnimatedProperty::SetKey(const Keyframe& key)
{
    const auto at =
        std::lower_bound(keys.begin(), keys.end(), key.time, [](const Keyframe& k, double t) { return k.time < t; });
    if (at != keys.end() && at->time == key.time) *at = key;
    else keys.insert(at, key);
    value = keys.front().value;
    specified = true;
    // Keys set from outside carry full vectors; keep their z when the scene gave only x and y.
    if (dimensions == 2) dimensions = 3;
}

AnimatedProperty ConstantProperty(const Vec3& value, int dimensions, bool spatial)
{
    AnimatedProperty property;
    property.value = value;
    property.dimensions = dimensions;
    property.spatial = spatial;
    return property;
}

} // namespace strandel::host
