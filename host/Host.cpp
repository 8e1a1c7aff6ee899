#include "host/Host.h"

#include <cassert>

#include "host/HostError.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {
std::atomic<Host*> gCurrent{nullptr};
} // namespace

Host::Host(const HostOptions& options) : options_(options)
{
    Host* expected = nullptr;
    if (!gCurrent.compare_exchange_strong(expected, this)) throw HostError("only one emulated host may run at a time");
    RegisterAllSuites(suites_);
    try {
        plugin_ = std::make_unique<PluginLibrary>(options.pluginPath);
    } catch (...) {
        gCurrent.store(nullptr);
        throw;
    }
}

Host::~Host()
{
    Shutdown();
    gCurrent.store(nullptr);
}

Host& Host::Current()
{
    Host* h = gCurrent.load();
    assert(h && "a host callback ran without a host");
    return *h;
}

PF_Err Host::Call(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                  void* extra)
{
    if (!plugin_) throw HostError("the plug-in is not loaded");
    return plugin_->entry()(cmd, in_data, out_data, params, output, extra);
}

PF_InData Host::BaseInData(PF_ProgPtr effect_ref) const
{
    PF_InData in{};
    in.utils = HandleStore::Callbacks();
    in.effect_ref = effect_ref;
    in.version = {13, 29};
    in.appl_id = options_.appId;
    in.num_params = 121;
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

EffectInstance& Host::AddInstance()
{
    auto instance = std::make_unique<EffectInstance>(*this);
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
    for (const IdleHook& h : idleHooks_) {
        A_long sleep = 1000;
        h.hook(nullptr, h.refcon, &sleep);
        smallest = std::min(smallest, sleep);
    }
    return smallest;
}

} // namespace strandel::host
