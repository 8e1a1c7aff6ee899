// Reading animated properties: a plain value, or {"value" | "keys", ...} with keyframes.
#pragma once
#include <cmath>
#include <optional>
#include <string>

#include "host/project/AnimatedProperty.h"
#include "host/scene/JsonReading.h"

namespace strandel::host {

struct PropertyRule {
    int minCount = 1; // components: 1 for a scalar (a plain number)
    int maxCount = 1;
    Vec3 fill; // components a shorter vector leaves out
    bool spatial = false; // position: tangents, expression and separated dimensions
    // Only for scalars: the range a value must lie in and its description.
    double low = -HUGE_VAL;
    double high = HUGE_VAL;
    const char* range = nullptr;
};

// Reports each key whose time is not after the previous key's; keys without a readable
// time are left to the caller's checks.
void CheckKeyTimes(JsonReader& reader, const Json& keys, const std::string& path);

std::optional<AnimatedProperty> ReadProperty(JsonReader& reader, const Json& v, const std::string& path,
                                             const PropertyRule& rule);

} // namespace strandel::host
