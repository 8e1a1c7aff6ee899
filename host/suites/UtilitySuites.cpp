// AEGP Utility and Register suites: general-plug-in registration, hooks and the idle trigger.
#include "AE_GeneralPlug.h"
#include "host/Host.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

A_Err RegisterWithAEGP(AEGP_GlobalRefcon, const A_char* name, AEGP_PluginID* id)
{
    if (!name || !id) return A_Err_PARAMETER;
    *id = Host::Current().RegisterPlugin(name);
    return A_Err_NONE;
}

A_Err CauseIdleRoutinesToBeCalled()
{
    ++Host::Current().log().idleTriggers;
    return A_Err_NONE;
}

A_Err RegisterIdleHook(AEGP_PluginID id, AEGP_IdleHook hook, AEGP_IdleRefcon refcon)
{
    if (id == 0 || !hook) return A_Err_PARAMETER;
    Host::Current().AddIdleHook({id, hook, refcon});
    return A_Err_NONE;
}

A_Err RegisterDeathHook(AEGP_PluginID id, AEGP_DeathHook hook, AEGP_DeathRefcon refcon)
{
    if (id == 0 || !hook) return A_Err_PARAMETER;
    Host::Current().AddDeathHook({id, hook, refcon});
    return A_Err_NONE;
}

const AEGP_UtilitySuite kUtilitySuite = {RegisterWithAEGP, CauseIdleRoutinesToBeCalled};
const AEGP_RegisterSuite6 kRegisterSuite = {RegisterIdleHook, RegisterDeathHook};

} // namespace

void RegisterUtilitySuites(SuiteRegistry& registry)
{
    registry.Add(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion7, &kUtilitySuite);
    registry.Add(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion13, &kUtilitySuite);
    registry.Add(kAEGPRegisterSuite, kAEGPRegisterSuiteVersion6, &kRegisterSuite);
}

} // namespace strandel::host
