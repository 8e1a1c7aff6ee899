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
    std::string comp; // default: the layer's, or the first comp with the effect
    std::string layer; // default: the first layer that carries the effect
    std::optional<std::int64_t> frame; // one frame
    std::string frames; // "A-B", when given
    std::string output; // [####]: the frame number; default out/<scene>_[####].png (.exr at 32 bits)
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

// Mouse input for a custom row, in the row's own pixels: a click at one point, or a press at the
// first point dragged through the others. `alt` holds Alt (Option) down.
struct PanelInput {
    enum Kind { Click, Drag } kind = Click;
    std::string row; // panel name or Group/Name
    std::vector<std::string> points; // "X,Y"
    bool alt = false;
};

struct PanelArgs {
    std::string scenePath;
    std::string comp;
    std::string layer;
    std::vector<std::string> sets; // "Param=value", set in the panel before it is drawn
    std::optional<std::int64_t> afterRender; // a frame rendered first, for the device row
    std::vector<PanelInput> inputs; // in command-line order
    bool storedTwirls = false;
    std::string output; // the panel PNG
    std::string save; // the edited scene
};

// 0: panel drawn and/or scene saved; 1: the effect failed an event, a frame or a row's
// drawing; 2: bad arguments, scene or scripted input (nothing written).
int RunPanel(const CommonOptions& common, const PanelArgs& args);

} // namespace strandel::cli
