// The emulated compositor: owns the loaded plug-in, the suites and handles it is served, and
// drives its commands the way the compositor does.
#pragma once
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AE_GeneralPlug.h"
#include "host/EffectInstance.h"
#include "host/HandleStore.h"
#include "host/PluginLibrary.h"
#include "host/SuiteRegistry.h"
#include "host/project/LayerSource.h"
#include "host/project/Project.h"
#include "host/project/UndoHistory.h"
#include "host/render/RenderServices.h"
#include "host/script/ScriptEngine.h"

namespace strandel::host {

constexpr A_long kAppIdCompositor = 0x46585443; // 'FXTC'
constexpr A_long kAppIdVideoEditor = 0x50724D72; // 'PrMr'

struct HostOptions {
    explicit HostOptions(std::string path = {}, A_long app = kAppIdCompositor) : pluginPath(std::move(path)), appId(app)
    {
    }
    std::string pluginPath; // the binary to load, unless `linked` gives the plug-in's entry points
    A_long appId;
    std::optional<LinkedPlugin> linked;
};

// What the plug-in asked of the host outside any project: observable in tests.
struct HostLog {
    std::atomic<int> idleTriggers{0};
    std::atomic<int> forcedRerenders{0};
    std::atomic<int> touchedActiveItem{0};
    std::atomic<int> refreshedWindows{0};
    std::atomic<int> genericCalls{0};
    // Project handles the plug-in holds and has not disposed yet.
    std::atomic<int> liveEffectHandles{0};
    std::atomic<int> liveStreams{0};
    std::atomic<int> liveStreamValues{0};
    std::atomic<int> liveMemHandles{0};
    std::vector<PF_PixelFormat> supportedPixelFormats;
    std::vector<std::string> messages;

    // Calls that reached a function-table slot the emulated host does not implement.
    void AddUnimplementedCall(std::string what);
    std::vector<std::string> UnimplementedCalls() const;
    std::vector<std::string> TakeUnimplementedCalls();

private:
    mutable std::mutex unimplementedMutex_;
    std::vector<std::string> unimplementedCalls_;
};

class Host {
public:
    // Loads the plug-in; throws HostError naming the file when that fails. Hosts are values: a
    // process may run several, each serving the callbacks made on the threads it drives.
    explicit Host(const HostOptions& options);
    ~Host(); // shuts the plug-in down if that has not happened yet
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host a plug-in callback belongs to: the one running the plug-in on this thread.
    static Host& Current();
    // For callbacks that may come from the plug-in's own threads and are harmless to repeat (a
    // wake-up): the host of this thread, or every host alive.
    static void ForEachCaller(const std::function<void(Host&)>& action);

    const Registration& registration() const { return plugin_->registration(); }
    SuiteRegistry& suites() { return suites_; }
    HandleStore& handles() { return handles_; }
    HostLog& log() { return log_; }
    RenderServices& render() { return render_; }
    A_long appId() const { return options_.appId; }

    // Sends one command to EffectMain; the host never lets a plug-in failure escape as a crash.
    PF_Err Call(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                void* extra);
    // An in_data as the host fills it for commands outside any render.
    PF_InData BaseInData(PF_ProgPtr effect_ref = nullptr) const;

    PF_Err GlobalSetup();
    const PF_OutData& globalSetupOutput() const { return globalOut_; }
    // Global setdown, then the death hooks, then the library is unloaded.
    void Shutdown();
    bool loaded() const { return plugin_ != nullptr; }

    // A new instance of the effect with its parameters set up; the host owns it until shutdown.
    EffectInstance& AddInstance(const Layer* layer = nullptr, int effectIndex = 0);

    // The project the plug-in sees. Opening one applies every Strandel effect of the scene to
    // its layer; parameter problems are reported together, naming their place in the scene.
    void OpenProject(Project project, std::vector<std::string>* warnings = nullptr);
    Project& project() { return project_; }
    ImageFileCache& files() { return files_; }
    EffectInstance* FindInstance(A_long layerId, int effectIndex) const;
    bool OwnsLayer(const void* layer) const;
    bool OwnsComp(const void* comp) const;

    // Project items: comps and the footage of image, solid and null layers.
    struct Item {
        A_long id = 0;
        const Composition* comp = nullptr; // a comp item
        const Layer* footage = nullptr; // a footage item: this layer's source
    };
    const Item* ItemForComp(const Composition& comp) const;
    const Item* ItemForLayerSource(const Layer& layer) const;
    bool OwnsItem(const void* item) const;
    const std::deque<Item>& items() const { return items_; }

    // Script edits of the project, grouped for undo; how long one script may run.
    UndoHistory& undo() { return undo_; }
    // Edit > Undo: the last undo group's changes taken back, as a project edit of its own.
    bool Undo();
    std::chrono::milliseconds scriptTimeLimit{10000};
    // Tests: what AEGP_ExecuteScript answers instead of running the script.
    std::optional<ScriptOutcome> stubbedScript;
    // Tests: host calls made to fail, as a host under pressure might.
    struct Faults {
        std::atomic<bool> spatialTangents{false};
        std::atomic<bool> cameraMatrix{false};
        std::atomic<bool> frameRender{false}; // AEGP_RenderAndCheckoutFrame
        std::atomic<bool> worldFillOut{false}; // AEGP_FillOutPFEffectWorld
    } faults;

    // The comp shown in the viewer, and its current time; or a layer's footage shown instead.
    const Composition* activeComp = nullptr;
    const Layer* activeFootage = nullptr;
    double currentSeconds = 0;
    const std::vector<std::unique_ptr<EffectInstance>>& instances() const { return instances_; }

    // General plug-ins registered with the host, and their hooks.
    AEGP_PluginID RegisterPlugin(const std::string& name);
    void SetRegistrationGivesNoId(bool v) { registrationGivesNoId_ = v; }
    // Scripting from before layers had an `id`: scripts must find layers by index.
    bool scriptLayersWithoutId = false;
    struct IdleHook {
        AEGP_PluginID id;
        AEGP_IdleHook hook;
        AEGP_IdleRefcon refcon;
    };
    struct DeathHook {
        AEGP_PluginID id;
        AEGP_DeathHook hook;
        AEGP_DeathRefcon refcon;
    };
    void AddIdleHook(const IdleHook& h);
    void AddDeathHook(const DeathHook& h);
    const std::vector<IdleHook>& idleHooks() const { return idleHooks_; }
    // One pass of the host's idle loop; returns the smallest sleep the hooks asked for.
    A_long RunIdleHooks();

private:
    HostOptions options_;
    SuiteRegistry suites_;
    HandleStore handles_;
    HostLog log_;
    RenderServices render_;
    std::unique_ptr<PluginLibrary> plugin_;
    std::vector<std::unique_ptr<EffectInstance>> instances_;
    Project project_;
    ImageFileCache files_;
    std::deque<Item> items_;
    UndoHistory undo_;
    PF_OutData globalOut_{};
    bool globalSetupDone_ = false;
    bool registrationGivesNoId_ = false;
    std::vector<std::string> registeredPlugins_;
    std::vector<IdleHook> idleHooks_;
    std::vector<DeathHook> deathHooks_;
};

} // namespace strandel::host
