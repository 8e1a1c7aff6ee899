// Loads the plug-in binary, registers it through PluginDataEntryFunction2 and
// resolves the entry point by the name it registered.
#pragma once
#include <string>

#include "AE_Effect.h"

namespace strandel::host {

// The ten arguments of the registration callback, as the plug-in passed them.
struct Registration {
    void* hostPtr = nullptr;
    std::string name, matchName, category, entryPointName;
    A_long kind = 0, apiMajor = 0, apiMinor = 0, reservedInfo = 0;
    std::string supportUrl;
    int calls = 0;
};

// A plug-in linked into the running program (tests and benchmarks that also call its internals),
// given by its two entry points instead of a binary to load.
struct LinkedPlugin {
    PF_PluginDataEntryFunc2 dataEntry = nullptr;
    PF_EffectMainFunc main = nullptr;
};

class PluginLibrary {
public:
    // Throws HostError naming the file when it cannot be loaded or lacks the entry points.
    explicit PluginLibrary(const std::string& path);
    explicit PluginLibrary(const LinkedPlugin& linked);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const Registration& registration() const { return registration_; }
    PF_EffectMainFunc entry() const { return entry_; }
    const std::string& path() const { return path_; }

private:
    // Registers the plug-in; `fail` throws with what went wrong.
    template <typename Fail>
    void Register(PF_PluginDataEntryFunc2 dataEntry, Fail fail);

    std::string path_;
    void* handle_ = nullptr;
    Registration registration_;
    PF_EffectMainFunc entry_ = nullptr;
};

} // namespace strandel::host
