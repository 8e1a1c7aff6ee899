// No exception may reach the host: thrown host error codes pass through, anything else is 512.
#pragma once
#include "AE_Effect.h"

namespace strandel {

template <class Handler>
PF_Err GuardCommand(Handler&& handler) noexcept
{
    try {
        return handler();
    } catch (PF_Err err) {
        return err;
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}

} // namespace strandel
