// Scene files (JSON) into a project. The whole scene is checked before anything is returned:
// a scene with problems throws SceneError listing all of them and yields no project.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/project/Project.h"

namespace strandel::host {

struct LoadedScene {
    Project project;
    std::vector<std::string> warnings; // unknown fields, kept and written back
};

LoadedScene LoadScene(const std::filesystem::path& file);
// `file` names the scene in messages and anchors relative image paths.
LoadedScene ParseScene(std::string_view text, const std::filesystem::path& file);

} // namespace strandel::host
