// The host's abort callback as an abort check; a check made without in_data never aborts.
#pragma once
#include "AE_Effect.h"
#include "frame/AbortCheck.h"

namespace strandel {

inline AbortCheck HostAbortCheck(const PF_InData* in_data)
{
    if (!in_data || !in_data->inter.abort) return AbortCheck();
    return AbortCheck([in_data] { return in_data->inter.abort(in_data->effect_ref) != PF_Err_NONE; });
}

} // namespace strandel
