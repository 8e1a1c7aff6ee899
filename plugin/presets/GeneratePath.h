// The "Generate Path" button: writes the chosen preset's keyframes onto the Path Layer through
// the host's script engine. Outcomes reach the user as messages, never as error codes.
#pragma once
#include "AE_Effect.h"

namespace strandel {

PF_Err GeneratePath(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]);

} // namespace strandel
