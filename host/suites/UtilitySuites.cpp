// AEGP Utility and Register suites: general-plug-in registration, hooks and the idle trigger.
#include "AE_GeneralPlug.h"
#include "host/Host.h"
#include "host/suites/SuiteTable.h"
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

// Registration is asked of version 7, the idle trigger of version 13: two structs, two layouts.
template <class Suite>
Suite UtilitySuite()
{
    auto suite = TableOfTraps<Suite>();
    suite.AEGP_RegisterWithAEGP = RegisterWithAEGP;
    suite.AEGP_CauseIdleRoutinesToBeCalled = CauseIdleRoutinesToBeCalled;
    return suite;
}
const AEGP_RegisterSuite5 kRegisterSuite = [] {
    auto suite = TableOfTraps<AEGP_RegisterSuite5>();
    suite.AEGP_RegisterIdleHook = RegisterIdleHook;
    suite.AEGP_RegisterDeathHook = RegisterDeathHook;
    return suite;
}();

} // namespace

void RegisterUtilitySuites(SuiteRegistry& registry)
{
    registry.Serve(UtilitySuite<AEGP_UtilitySuite3>());
    registry.Serve(UtilitySuite<AEGP_UtilitySuite6>());
    registry.Serve(kRegisterSuite);
}

} // namespace strandel::host
