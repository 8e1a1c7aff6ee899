// Each group of suites registers its tables with the host's registry.
#pragma once
#include "host/SuiteRegistry.h"

namespace strandel::host {

void RegisterUtilitySuites(SuiteRegistry& registry);
void RegisterEffectSuites(SuiteRegistry& registry);
void RegisterProjectSuites(SuiteRegistry& registry);
void RegisterStreamSuites(SuiteRegistry& registry);
void RegisterRenderSuites(SuiteRegistry& registry);
void RegisterMemorySuites(SuiteRegistry& registry);
void RegisterPanelSuites(SuiteRegistry& registry);
#if STRANDEL_PANEL
// The DRAWBOT suites, drawn with cairo; without them a custom row gets no drawing.
void RegisterDrawbotSuites(SuiteRegistry& registry);
#endif

inline void RegisterAllSuites(SuiteRegistry& registry)
{
    RegisterUtilitySuites(registry);
    RegisterEffectSuites(registry);
    RegisterProjectSuites(registry);
    RegisterStreamSuites(registry);
    RegisterRenderSuites(registry);
    RegisterMemorySuites(registry);
    RegisterPanelSuites(registry);
#if STRANDEL_PANEL
    RegisterDrawbotSuites(registry);
#endif
}

} // namespace strandel::host
