// strandel: renders scene files through the emulated host, presses buttons, draws the panel.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <cstdint>
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
