// Polls the host's abort callback; a check made without in_data never aborts.
#pragma once
#include "AE_Effect.h"

namespace strandel {

struct AbortCheck {
    const PF_InData* in_data = nullptr;

    bool operator()() const
    {
        return in_data && in_data->inter.abort && in_data->inter.abort(in_data->effect_ref) != PF_Err_NONE;
    }
};

} // namespace strandel
