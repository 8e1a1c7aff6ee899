// Parameter definition: the 120 parameters and the custom panel UI.
#pragma once
#include "AE_Effect.h"

namespace strandel {

PF_Err DefineParameters(PF_InData* in_data, PF_OutData* out_data);

} // namespace strandel
