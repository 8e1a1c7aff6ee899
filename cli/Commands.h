// The subcommands of the strandel command line.
#pragma once
#include <string>

namespace strandel::cli {

struct CommonOptions {
#ifdef STRANDEL_DEFAULT_PLUGIN
    std::string pluginPath = STRANDEL_DEFAULT_PLUGIN;
#else
    std::string pluginPath;
#endif
};

struct InfoOptions {
    std::string scenePath;
};

int RunInfo(const CommonOptions& common, const InfoOptions& options);

} // namespace strandel::cli
