// The subcommands of the strandel command line.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace strandel::cli {

// The plug-in beside the command, or in a build folder's plug-in folder beside the command's.
std::string DefaultPluginPath();

struct CommonOptions {
    std::string pluginPath = DefaultPluginPath();
};

struct InfoOptions {
    std::string scenePath;
};

int RunInfo(const CommonOptions& common, const InfoOptions& options);

struct RenderArgs {
    std::string scenePath;
    std::string comp;                  // default: the layer's, or the first comp with the effect
    std::string layer;                 // default: the first layer that carries the effect
    std::optional<std::int64_t> frame; // one frame
    std::string frames;                // "A-B", when given
    std::string output;                // [####]: the frame number; default out/<scene>_[####].png (.exr at 32 bits)
    int depth = 8;
    std::string resolution = "full";
    bool legacy = false;
    int threads = 1;
    std::vector<std::string> sets; // "Param=value"
};

// 0: every frame written; 1: a frame failed (those written are kept); 2: bad arguments or scene.
int RunRender(const CommonOptions& common, const RenderArgs& args);

struct GeneratePathArgs {
    std::string scenePath;
    std::string comp;
    std::string layer;
    std::vector<std::string> sets; // "Param=value", applied before the button is pressed
    std::string output;
    bool inPlace = false;
};

// 0: keys written and the scene saved; 1: the plug-in refused or failed (its message says why);
// 2: bad arguments or scene.
int RunGeneratePath(const CommonOptions& common, const GeneratePathArgs& args);

} // namespace strandel::cli
