#include "curves/CurveParams.h"

#include <cstring>

namespace strandel {
namespace {

bool FunctionsPresent(const PF_UtilCallbacks* u)
{
    return u && u->host_new_handle && u->host_lock_handle && u->host_unlock_handle && u->host_dispose_handle &&
           u->host_get_handle_size;
}

} // namespace

CurveRead ReadCurveHandle(const PF_InData* in_data, PF_Handle handle)
{
    const CurveRead fallback{MakeDefaultCurve(false), false};
    const PF_UtilCallbacks* utils = in_data ? in_data->utils : nullptr;
    if (!FunctionsPresent(utils) || !handle || utils->host_get_handle_size(handle) < kCurveRecordSize) {
        return fallback;
    }
    const void* bytes = utils->host_lock_handle(handle);
    if (!bytes) return fallback;
    CurveRead read{};
    std::memcpy(&read.curve, bytes, kCurveRecordSize);
    utils->host_unlock_handle(handle);
    NormalizeCurve(read.curve);
    read.ok = true;
    return read;
}

PF_Err NewCurveHandle(const PF_InData* in_data, const RampCurve& curve, PF_Handle* out_handle)
{
    const PF_UtilCallbacks* utils = in_data ? in_data->utils : nullptr;
    if (!FunctionsPresent(utils) || !out_handle) return PF_Err_BAD_CALLBACK_PARAM;
    RampCurve repaired = curve;
    NormalizeCurve(repaired);
    PF_Handle handle = utils->host_new_handle(kCurveRecordSize);
    if (!handle) return PF_Err_OUT_OF_MEMORY;
    void* bytes = utils->host_lock_handle(handle);
    if (!bytes) {
        utils->host_dispose_handle(handle);
        return PF_Err_OUT_OF_MEMORY;
    }
    std::memcpy(bytes, &repaired, kCurveRecordSize);
    utils->host_unlock_handle(handle);
    *out_handle = handle;
    return PF_Err_NONE;
}

} // namespace strandel
