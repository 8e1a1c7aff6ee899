// Effect parameter values as scene files write them, applied to and read from an instance.
#pragma once
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "host/EffectInstance.h"

namespace strandel::host {

// Layer names of the effect's comp resolve to layer IDs and back.
using LayerIdByName = std::function<std::optional<A_long>(const std::string&)>;
using LayerNameById = std::function<std::optional<std::string>(A_long)>;

// Resolves `name` (panel name or Group/Name; a curve editor row names its curve) and sets the
// value or keys. Throws HostError saying what was expected; out-of-range numbers are clamped
// with a warning.
void ApplySceneParam(EffectInstance& instance, const std::string& name, const nlohmann::json& value,
                     const LayerIdByName& layers, std::vector<std::string>& warnings);

// The scene form of a parameter's current value (the inverse of ApplySceneParam).
nlohmann::json SceneParamValue(EffectInstance& instance, int index, const LayerNameById& layers);

} // namespace strandel::host
