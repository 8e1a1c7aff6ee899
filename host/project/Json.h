// Scene JSON keeps its field order, so a written scene reads like the one that was loaded.
#pragma once
#include <nlohmann/json.hpp>

namespace strandel::host {
using Json = nlohmann::ordered_json;
}
