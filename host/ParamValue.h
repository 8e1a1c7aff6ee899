// A parameter's value as the host keeps it, in the units the effect panel shows.
#pragma once
#include <variant>
#include <vector>

#include "AE_Effect.h"
#include "path/Vec3.h"

namespace strandel::host {

// Numbers: slider value, angle in degrees, checkbox 0/1, popup choice (1-based).
// Layers: the layer's ID (0 = none). Curves and other arbitrary data: a host handle.
using ParamValue = std::variant<double, Vec3, A_long, PF_Handle>;

struct ParamKey {
    double time = 0; // seconds
    ParamValue value;
};

// One key is a constant; several are keyframes.
struct ParamTrack {
    std::vector<ParamKey> keys;
};

} // namespace strandel::host
