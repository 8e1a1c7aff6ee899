// The curve editor rows and the "Processing Device" row of the effect panel.
#pragma once
#include "AE_Effect.h"

namespace strandel {

PF_Err CurveEditorEvent(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event);
PF_Err DrawProcessingDeviceRow(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event);

} // namespace strandel
