// Effect parameter values as scene files write them, applied to and read from an instance.
#pragma once
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/EffectInstance.h"
#include "host/project/Project.h"

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

// The parameter a scene name sets: a curve editor row names its hidden curve parameter.
int SceneParamIndex(EffectInstance& instance, const std::string& name);
// Writes the current values of `indices` into the scene's effect: an entry that already names a
// parameter keeps its name, a new one is named Group/Name (a curve by its editor row).
void StoreSceneParams(EffectInstance& instance, Effect& sceneEffect, const std::set<int>& indices,
                      const LayerNameById& layers);

} // namespace strandel::host
