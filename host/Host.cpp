#include "host/Host.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "host/HostError.h"
#include "host/SceneParams.h"
#include "host/project/LayerQueries.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

// The plug-in's C callbacks carry no context, so each host marks the thread it runs the plug-in
// on; a callback from a thread the plug-in started itself belongs to the one host that is alive.
thread_local Host* tCalling = nullptr;
std::mutex gLiveMutex;
std::vector<Host*> gLive;

class CallingScope {
public:
    explicit CallingScope(Host& host) : previous_(std::exchange(tCalling, &host)) {}
    ~CallingScope() { tCalling = previous_; }
    CallingScope(const CallingScope&) = delete;
    CallingScope& operator=(const CallingScope&) = delete;

private:
    Host* previous_;
};

} // namespace

void RecordUnimplementedCall(const char* table, A_long version, std::size_t slot)
{
    Host::Current().log().AddUnimplementedCall(std::string(table) + " version " + std::to_string(version) + ", slot " +
                                               std::to_string(slot));
}

void HostLog::AddUnimplementedCall(std::string what)
{
    std::lock_guard lock(unimplementedMutex_);
    unimplementedCalls_.push_back(std::move(what));
}

std::vector<std::string> HostLog::UnimplementedCalls() const
{
    std::lock_guard lock(unimplementedMutex_);
    return unimplementedCalls_;
}

std::vector<std::string> HostLog::TakeUnimplementedCalls()
{
    std::lock_guard lock(unimplementedMutex_);
    return std::exchange(unimplementedCalls_, {});
}

Host::Host(const HostOptions& options) : options_(options)
{
    RegisterAllSuites(suites_);
    CallingScope calling(*this);
    plugin_ = options.linked ? std::make_unique<PluginLibrary>(*options.linked)
                             : std::make_unique<PluginLibrary>(options.pluginPath);
    std::lock_guard lock(gLiveMutex);
    gLive.push_back(this);
}

Host::~Host()
{
    Shutdown();
    std::lock_guard lock(gLiveMutex);
    gLive.erase(std::find(gLive.begin(), gLive.end(), this));
}

Host& Host::Current()
{
    if (tCalling) return *tCalling;
    std::lock_guard lock(gLiveMutex);
    if (gLive.size() != 1)
        throw HostError("a plug-in callback arrived on a thread no host runs, with " + std::to_string(gLive.size()) +
                        " hosts alive");
    return *gLive.front();
}

void Host::ForEachCaller(const std::function<void(Host&)>& action)
{
    if (tCalling) return action(*tCalling);
    std::lock_guard lock(gLiveMutex);
    for (Host* h : gLive) action(*h);
}

PF_Err Host::Call(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                  void* extra)
{
    if (!plugin_) throw HostError("the plug-in is not loaded");
    CallingScope calling(*this);
    return plugin_->entry()(cmd, in_data, out_data, params, output, extra);
}

template <>
struct TableLabel<PF_InteractCallbacks> {
    static constexpr const char* name = "PF_InteractCallbacks";
    static constexpr A_long version = 0;
};

PF_InData Host::BaseInData(PF_ProgPtr effect_ref) const
{
    // The instance's own callbacks are set by its calls; any other slot reports its use.
    static const PF_InteractCallbacks kInteract = [] {
        auto table = TableOfTraps<PF_InteractCallbacks>();
        std::memset(table.reserved_str, 0, sizeof(table.reserved_str));
        std::memset(table.reserved, 0, sizeof(table.reserved));
        return table;
    }();
    PF_InData in{};
    in.inter = kInteract;
    in.utils = HandleStore::Callbacks();
    in.effect_ref = effect_ref;
    in.version = {13, 29};
    in.appl_id = options_.appId;
    in.num_params = 0; // outside an instance there are no parameters; instance calls set their own
    in.time_scale = 30;
    in.time_step = 1;
    in.local_time_step = 1;
    in.downsample_x = {1, 1};
    in.downsample_y = {1, 1};
    in.pixel_aspect_ratio = {1, 1};
    in.pica_basicP = SuiteRegistry::BasicSuite();
    return in;
}

PF_Err Host::GlobalSetup()
{
    PF_InData in = BaseInData();
    globalOut_ = PF_OutData{};
    PF_Err err = Call(PF_Cmd_GLOBAL_SETUP, &in, &globalOut_, nullptr, nullptr, nullptr);
    globalSetupDone_ = globalSetupDone_ || err == PF_Err_NONE;
    return err;
}

EffectInstance& Host::AddInstance(const Layer* layer, int effectIndex)
{
    auto instance = std::make_unique<EffectInstance>(*this);
    instance->layer = layer;
    instance->effectIndex = effectIndex;
    PF_Err err = instance->Setup();
    if (err != PF_Err_NONE) throw HostError("parameter setup failed with " + ErrorName(err));
    instances_.push_back(std::move(instance));
    return *instances_.back();
}

void Host::Shutdown()
{
    if (!plugin_) return;
    instances_.clear(); // their data goes back through the plug-in's callbacks
    if (globalSetupDone_) {
        PF_InData in = BaseInData();
        PF_OutData out{};
        Call(PF_Cmd_GLOBAL_SETDOWN, &in, &out, nullptr, nullptr, nullptr);
    }
    CallingScope calling(*this);
    for (const DeathHook& h : deathHooks_) h.hook(nullptr, h.refcon);
    deathHooks_.clear();
    idleHooks_.clear();
    plugin_.reset();
}

AEGP_PluginID Host::RegisterPlugin(const std::string& name)
{
    if (registrationGivesNoId_) return 0;
    registeredPlugins_.push_back(name);
    return static_cast<AEGP_PluginID>(1000 + registeredPlugins_.size());
}

void Host::AddIdleHook(const IdleHook& h) { idleHooks_.push_back(h); }
void Host::AddDeathHook(const DeathHook& h) { deathHooks_.push_back(h); }

A_long Host::RunIdleHooks()
{
    A_long smallest = 1000;
    CallingScope calling(*this);
    for (const IdleHook& h : idleHooks_) {
        A_long sleep = 1000;
        h.hook(nullptr, h.refcon, &sleep);
        smallest = std::min(smallest, sleep);
    }
    return smallest;
}

} // namespace strandel::host

namespace strandel::host {

void Host::OpenProject(Project project, std::vector<std::string>* warnings)
{
    instances_.clear();
    items_.clear();
    project_ = std::move(project);
    undo_.Clear();
    render_.cache.Clear(); // its frames name instances that are gone
    ++render_.projectRevision;
    activeComp = project_.comps.empty() ? nullptr : &project_.comps.front();
    for (const Composition& comp : project_.comps) {
        items_.push_back({comp.itemId, &comp, nullptr});
        for (const Layer& layer : comp.layers)
            if (layer.sourceItemId != 0 && layer.type != LayerType::Precomp)
                items_.push_back({layer.sourceItemId, nullptr, &layer});
    }

    std::vector<std::string> problems, clamped;
    for (const Composition& comp : project_.comps) {
        auto layerId = [&](const std::string& name) -> std::optional<A_long> {
            const Layer* l = comp.LayerByName(name);
            return l ? std::optional<A_long>(l->id) : std::nullopt;
        };
        for (const Layer& layer : comp.layers) {
            for (std::size_t e = 0; e < layer.effects.size(); ++e) {
                const Effect& effect = layer.effects[e];
                if (effect.name != registration().name && effect.name != registration().matchName) {
                    problems.push_back(effect.jsonPath + ".name: unknown effect \"" + effect.name +
                                       "\"; this host runs \"" + registration().name + "\"");
                    continue;
                }
                EffectInstance& fx = AddInstance(&layer, static_cast<int>(e));
                for (const EffectParam& p : effect.params) {
                    try {
                        ApplySceneParam(fx, p.name, p.value, layerId, clamped);
                    } catch (const HostError& err) {
                        problems.push_back(p.jsonPath + ": " + err.what());
                    }
                }
            }
        }
    }
    if (warnings) warnings->insert(warnings->end(), clamped.begin(), clamped.end());
    if (!problems.empty()) {
        std::string msg = project_.sceneFile.string() + ": the scene's effect parameters do not fit:";
        for (const std::string& p : problems) msg += "\n  " + p;
        instances_.clear();
        throw HostError(msg);
    }
}

bool Host::Undo()
{
    if (!undo_.UndoLast(project_)) return false;
    ++render_.projectRevision;
    return true;
}

EffectInstance* Host::FindInstance(A_long layerId, int effectIndex) const
{
    for (const auto& fx : instances_)
        if (fx->layer && fx->layer->id == layerId && fx->effectIndex == effectIndex) return fx.get();
    return nullptr;
}

bool Host::OwnsLayer(const void* p) const
{
    for (const Composition& comp : project_.comps)
        for (const Layer& layer : comp.layers)
            if (&layer == p) return true;
    return false;
}

bool Host::OwnsComp(const void* p) const
{
    for (const Composition& comp : project_.comps)
        if (&comp == p) return true;
    return false;
}

const Host::Item* Host::ItemForComp(const Composition& comp) const
{
    for (const Item& item : items_)
        if (item.comp == &comp) return &item;
    return nullptr;
}

const Host::Item* Host::ItemForLayerSource(const Layer& layer) const
{
    if (layer.type == LayerType::Precomp) {
        const Composition* comp = project_.CompByName(layer.comp);
        return comp ? ItemForComp(*comp) : nullptr;
    }
    for (const Item& item : items_)
        if (item.footage == &layer) return &item;
    return nullptr;
}

bool Host::OwnsItem(const void* p) const
{
    for (const Item& item : items_)
        if (&item == p) return true;
    return false;
}

} // namespace strandel::host
