// Global setup and setdown: version and flags, general-plug-in registration, idle and death
// hooks, and the wake-up thread that keeps the host calling idle hooks.
#pragma once
#include <chrono>

#include "AE_GeneralPlug.h"

namespace strandel {

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data);
void GlobalSetdown();
A_Err DeathHook(AEGP_GlobalRefcon global_refcon, AEGP_DeathRefcon refcon);

using WakeUpCallback = A_Err (*)();
// Starts the wake-up thread at most once per process; false when nothing was started.
bool StartWakeUpThread(WakeUpCallback callback);
bool WakeUpThreadRunning();
// 16 ms while instances of the effect are known to exist, 250 ms otherwise.
std::chrono::milliseconds WakeUpInterval(bool found);

} // namespace strandel
