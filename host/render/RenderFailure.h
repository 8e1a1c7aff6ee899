// A render inside the host (a precomp's effects, a nested frame) that failed with a plug-in
// error; the callback that asked for it answers with that error.
#pragma once
#include <new>
#include <stdexcept>

#include "AE_Effect.h"
#include "host/HostError.h"

namespace strandel::host {

struct RenderFailure : std::runtime_error {
    explicit RenderFailure(PF_Err code) : std::runtime_error(ErrorName(code)), err(code) {}
    PF_Err err;
};

// Runs `work` and turns what it throws into the error code a host callback returns.
template <class Work> PF_Err GuardRender(Work&& work) noexcept
{
    try {
        work();
        return PF_Err_NONE;
    } catch (const RenderFailure& failure) {
        return failure.err;
    } catch (const std::bad_alloc&) {
        return PF_Err_OUT_OF_MEMORY;
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}

} // namespace strandel::host
