// strandel: renders scene files through the emulated host, presses buttons, draws the panel.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "host/HostError.h"
#include "host/platform/Platform.h"

namespace {

// The scene, the effect that acts and its parameter values: shared by the commands that run the effect.
void AddEffectOptions(CLI::App& command, std::string& scene, std::string& comp, std::string& layer,
                      std::vector<std::string>& sets, const std::string& verb)
{
    command.add_option("scene", scene, "scene file (JSON)")->required();
    command.add_option("--comp", comp, "the comp (default: the layer's, or the first with the effect)");
    command.add_option("--layer", layer, "the layer whose effect " + verb + " (default: the first that carries it)");
    command.add_option("--set", sets, "Param=value, the value as in a scene file (repeatable)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

#if STRANDEL_PANEL
// --click takes ROW X,Y; --drag takes ROW X1,Y1 X2,Y2 ...; --alt holds Alt for the click before
// it. CLI11 gathers each option's values apart, so their order is read from the arguments.
std::vector<strandel::cli::PanelInput> PanelInputs(int argc, char** argv, const std::vector<std::string>& clicks,
                                                   const std::vector<std::string>& drags)
{
    using strandel::cli::PanelInput;
    using strandel::host::HostError;
    // An empty value separates one --drag's values from the next one's.
    std::vector<std::vector<std::string>> dragGroups(drags.empty() ? 0 : 1);
    for (const std::string& value : drags) {
        if (value.empty()) dragGroups.emplace_back();
        else dragGroups.back().push_back(value);
    }
    std::vector<PanelInput> inputs;
    std::size_t nextClick = 0, nextDrag = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--click") {
            inputs.push_back({PanelInput::Click, clicks.at(nextClick), {clicks.at(nextClick + 1)}, false});
            nextClick += 2;
        } else if (arg == "--drag") {
            const std::vector<std::string>& group = dragGroups.at(nextDrag++);
            if (group.size() < 2) throw HostError("--drag takes ROW X1,Y1 X2,Y2 ...");
            inputs.push_back({PanelInput::Drag, group[0], {group.begin() + 1, group.end()}, false});
        } else if (arg == "--alt") {
            if (inputs.empty() || inputs.back().kind != PanelInput::Click)
                throw HostError("--alt belongs after a --click, which it makes an Alt-click");
            inputs.back().alt = true;
        }
    }
    return inputs;
}
#endif

} // namespace

std::string strandel::cli::DefaultPluginPath()
{
    namespace fs = std::filesystem;
    const fs::path here = strandel::host::platform::ExecutableDir();
    const fs::path beside = here / STRANDEL_PLUGIN_FILE;
    const fs::path inBuild = here / STRANDEL_PLUGIN_BUILD_DIR / STRANDEL_PLUGIN_FILE;
    std::error_code ec;
    return (fs::exists(beside, ec) || !fs::exists(inBuild, ec) ? beside : inBuild).lexically_normal().string();
}

int main(int argc, char** argv)
{
    CLI::App app{"Strandel: copies of layers along a 3D path, rendered through an emulated compositor host"};
    app.require_subcommand(1);
    // The same syntax everywhere: on Windows CLI11 would read "/dir/scene.json" as an option.
    app.allow_windows_style_options(false);
    strandel::cli::CommonOptions common;
    app.add_option("--plugin", common.pluginPath, "plug-in binary to load")->capture_default_str();

    strandel::cli::InfoOptions info;
    auto* infoCmd = app.add_subcommand("info", "registration facts, About text and parameter table; with a "
                                               "scene, its comps and layers");
    infoCmd->add_option("scene", info.scenePath, "scene file (JSON)");

    strandel::cli::RenderArgs render;
    auto* renderCmd = app.add_subcommand("render", "renders the effect of one layer, frame by frame, to PNG or "
                                                   "OpenEXR files");
    AddEffectOptions(*renderCmd, render.scenePath, render.comp, render.layer, render.sets, "renders");
    std::int64_t frame = 0;
    auto* frameOpt = renderCmd->add_option("--frame", frame, "one frame");
    renderCmd->add_option("--frames", render.frames, "a range of frames, A-B")->excludes(frameOpt);
    renderCmd->add_option("-o,--output", render.output,
                          "file pattern; [####] is the zero-padded frame number (default out/<scene>_[####].png, "
                          ".exr at 32 bits)");
    renderCmd->add_option("--depth", render.depth, "bits per channel: 8, 16 or 32 (float)")->capture_default_str();
    renderCmd->add_option("--resolution", render.resolution, "full, half, third or quarter")->capture_default_str();
    renderCmd->add_flag("--legacy-render", render.legacy, "render with the plain render command");
    renderCmd->add_option("--threads", render.threads, "frames rendered at once")->capture_default_str();

    strandel::cli::GeneratePathArgs generate;
    auto* generateCmd = app.add_subcommand("generate-path", "presses \"Generate Path\": writes the chosen preset's "
                                                            "keyframes onto the Path Layer into a new scene file");
    AddEffectOptions(*generateCmd, generate.scenePath, generate.comp, generate.layer, generate.sets, "generates");
    generateCmd->add_option("-o,--output", generate.output, "the new scene file");
    generateCmd->add_flag("--in-place", generate.inPlace, "rewrite the input scene instead");

#if STRANDEL_PANEL
    strandel::cli::PanelArgs panel;
    std::vector<std::string> clicks, drags;
    std::int64_t afterRender = 0;
    auto* panelCmd = app.add_subcommand("panel", "draws the effect panel as the compositor shows it, after scripted "
                                                 "clicks and drags on its curve rows; saves the edited scene");
    AddEffectOptions(*panelCmd, panel.scenePath, panel.comp, panel.layer, panel.sets, "is shown");
    auto* afterRenderOpt = panelCmd->add_option("--after-render", afterRender,
                                                "render this frame first, so the device row shows who drew it");
    panelCmd->add_option("--click", clicks, "ROW X,Y: a click in the row's own pixels (repeatable)")
        ->expected(2)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    bool alt = false; // read in order from the arguments, with the clicks
    panelCmd->add_flag("--alt", alt, "with the --click before it: an Alt-click, which deletes a point")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    auto* dragOpt =
        panelCmd->add_option("--drag", drags, "ROW X1,Y1 X2,Y2 ...: press at the first point, drag through the others");
    dragOpt->expected(3, -1)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    dragOpt->inject_separator();
    panelCmd->add_flag("--stored-twirls", panel.storedTwirls,
                       "twirl groups and rows as the effect stores them (by default all are open)");
    panelCmd->add_option("-o,--output", panel.output, "the panel as a PNG file");
    panelCmd->add_option("--save", panel.save, "write the scene with the edited curves and parameters");
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "strandel: " << e.what() << " (see --help)\n";
        return 2;
    }

    try {
        if (*infoCmd) return strandel::cli::RunInfo(common, info);
        if (*generateCmd) return strandel::cli::RunGeneratePath(common, generate);
#if STRANDEL_PANEL
        if (*panelCmd) {
            if (afterRenderOpt->count()) panel.afterRender = afterRender;
            panel.inputs = PanelInputs(argc, argv, clicks, drags);
            return strandel::cli::RunPanel(common, panel);
        }
#endif
        if (*renderCmd) {
            if (frameOpt->count()) render.frame = frame;
            return strandel::cli::RunRender(common, render);
        }
    } catch (const std::exception& e) {
        // Bad scenes, bad libraries, bad arguments: one clear message, nothing rendered.
        std::cerr << "strandel: " << e.what() << "\n";
        return 2;
    }
    return 2;
}
