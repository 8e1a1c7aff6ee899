// EffectMain's body: routes each host command to its handler inside the exception guard.
#pragma once
#include "AE_Effect.h"

namespace strandel {

constexpr PF_ParamIndex kProcessingDeviceParam = 104;

PF_Err DispatchCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                       void* extra) noexcept;

// The generic call an instance receives when the plug-in asks it to render again.
PF_Err HandleRerenderRequest(PF_InData* in_data, PF_ParamDef* params[], PF_LayerDef* output, void* extra);

} // namespace strandel
