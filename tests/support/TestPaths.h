// Where a test finds the binaries and data it needs: relative to its own executable, so that a
// build folder works wherever it is moved or copied. The relative paths come from the build.
#pragma once
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/platform/Platform.h"

namespace strandel::test {

inline std::filesystem::path Beside(const std::string& relative)
{
    return (host::platform::ExecutableDir() / relative).lexically_normal();
}
// A file of the build's data folder: "examples/helix.json", "golden/wave.png", "facts-win64.tsv".
inline std::filesystem::path DataFile(const std::string& relative)
{
    return Beside(std::string(STRANDEL_DATA_DIR) + "/" + relative);
}
// The example scenes' names ("helix", ...), sorted: a new example becomes new test cases.
inline std::vector<std::string> ExampleScenes()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(DataFile("examples")))
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}
inline std::string PluginPath() { return Beside(STRANDEL_PLUGIN_PATH).string(); }
// The Windows plug-in, or "" where the build has no MinGW-w64 cross compiler.
inline std::string AexPath() { return *STRANDEL_AEX_PATH ? Beside(STRANDEL_AEX_PATH).string() : std::string(); }

} // namespace strandel::test
