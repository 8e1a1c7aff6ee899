// The three render commands and the frame pipeline they share.
#pragma once
#include "AE_Effect.h"

namespace strandel {

PF_Err SmartPreRender(PF_InData* in_data, PF_PreRenderExtra* extra);
PF_Err SmartRender(PF_InData* in_data, PF_SmartRenderExtra* extra);
PF_Err Render(PF_InData* in_data, PF_ParamDef* params[], PF_LayerDef* output);

} // namespace strandel
