// strandel: renders scene files through the emulated host, presses buttons, draws the panel.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/Commands.h"
#include "host/HostError.h"

int main(int argc, char** argv)
{
    CLI::App app{"Strandel: copies of layers along a 3D path, rendered through an emulated compositor host"};
    app.require_subcommand(1);
    strandel::cli::CommonOptions common;
    app.add_option("--plugin", common.pluginPath, "plug-in binary to load")->capture_default_str();

    strandel::cli::InfoOptions info;
    auto* infoCmd = app.add_subcommand("info", "registration facts, About text and parameter table; with a "
                                               "scene, its comps and layers");
    infoCmd->add_option("scene", info.scenePath, "scene file (JSON)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    }

    try {
        if (*infoCmd) return strandel::cli::RunInfo(common, info);
    } catch (const std::exception& e) {
        // Bad scenes, bad libraries, bad arguments: one clear message, nothing rendered.
        std::cerr << "strandel: " << e.what() << "\n";
        return 2;
    }
    return 2;
}
