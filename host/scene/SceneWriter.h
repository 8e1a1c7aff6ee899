// A project back to scene JSON: what was read (unknown fields included) and keys added since.
#pragma once
#include <filesystem>

#include "host/project/Json.h"
#include "host/project/Project.h"

namespace strandel::host {

// Image files are written relative to `destination`'s folder.
Json SceneToJson(const Project& project, const std::filesystem::path& destination);

// Written atomically; errors are FileError.
void SaveScene(const Project& project, const std::filesystem::path& file);

} // namespace strandel::host
