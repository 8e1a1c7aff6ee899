// Built-in curve shapes, evaluation, curve parameters and the host's arbitrary-data callbacks.
#pragma once
#include "AE_Effect.h"
#include "curves/RampCurve.h"

namespace strandel {

PF_Err CurveArbCallback(PF_InData* in_data, PF_ArbParamsExtra* extra);

} // namespace strandel
