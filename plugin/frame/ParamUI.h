// Parameter-panel updates and reactions to the user's parameter changes.
#pragma once
#include "AE_Effect.h"

namespace strandel {

PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]);
PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_UserChangedParamExtra* extra);

} // namespace strandel
