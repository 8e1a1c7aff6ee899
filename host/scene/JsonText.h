// Parsing scene text. Malformed JSON is refused with its line and column and the JSON path
// the parser had reached; numbers too large for a double are refused as non-finite.
#pragma once
#include <filesystem>
#include <string_view>

#include "host/project/Json.h"

namespace strandel::host {

// Throws SceneError.
Json ParseSceneText(std::string_view text, const std::filesystem::path& file);

} // namespace strandel::host
