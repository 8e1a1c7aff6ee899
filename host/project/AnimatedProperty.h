// A layer property that is either one value or keyframes, and its value at a time.
#pragma once
#include <vector>

#include "host/project/Json.h"
#include "path/Vec3.h"

namespace strandel::host {

enum class Interpolation { Linear, Bezier, Hold };

struct Keyframe {
    double time = 0; // seconds
    Vec3 value; // scalars in x
    // Spatial tangents, relative to value; only spatial properties (position) use them.
    Vec3 inTangent;
    Vec3 outTangent;
    Interpolation inInterpolation = Interpolation::Linear;
    Interpolation outInterpolation = Interpolation::Linear;
    Json extra = Json::object(); // fields the host does not know, kept for writing back

    bool operator==(const Keyframe&) const = default;
};

struct AnimatedProperty {
    Vec3 value; // with keys: the first key's value
    std::vector<Keyframe> keys; // strictly increasing times
    bool spatial = false;
    int dimensions = 3; // components the scene gives (1 for scalars); z of a 2-vector is the default
    bool specified = false; // given by the scene or a script, rather than a default
    bool expression = false;
    bool separated = false;
    Json extra = Json::object();

    bool operator==(const AnimatedProperty&) const = default;

    // Before the first key its value, after the last the last. Between keys the segment
    // parameter runs linearly in time; a spatial property follows the cubic Bezier through
    // the keys' tangents, others interpolate linearly; a key with hold out keeps its value.
    Vec3 ValueAt(double seconds) const;
    double ScalarAt(double seconds) const { return ValueAt(seconds).x; }

    // Adds a key or replaces the one at the same time, keeping times in order.
    void SetKey(const Keyframe& key);
};

AnimatedProperty ConstantProperty(const Vec3& value, int dimensions, bool spatial = false);

} // namespace strandel::host
