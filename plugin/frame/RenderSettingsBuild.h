// The render settings read from the effect's parameters.
#pragma once
#include "AE_Effect.h"
#include "frame/RenderSettings.h"

namespace strandel {

RenderSettings BuildSettingsFromParams(const PF_InData* in_data, PF_ParamDef* const* params);
// Checks the parameters out and in again; the record is untouched on failure.
PF_Err BuildSettingsByCheckout(const PF_InData* in_data, RenderSettings& settings);

} // namespace strandel
