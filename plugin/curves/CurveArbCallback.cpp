#include <algorithm>
#include <cstring>

#include "curves/CurveParams.h"

namespace strandel {
namespace {

// Stable IDs of the thirteen curve-data parameters.
constexpr A_short kCurveDataIds[] = {147, 148, 149, 150, 151, 157, 158, 159, 160, 161, 169, 170, 171};
constexpr char kPrintedCurve[] = "Ramp Custom Curve";
constexpr A_u_long kPrintSize = 32;

bool IsCurveDataId(A_short id) { return std::ranges::find(kCurveDataIds, id) != std::ranges::end(kCurveDataIds); }

RampCurve ReadCurve(const PF_InData* in_data, PF_Handle handle) { return ReadCurveHandle(in_data, handle).curve; }

RampCurve Unflatten(const void* bytes, A_u_long size)
{
    if (!bytes || size < kCurveRecordSize) return MakeDefaultCurve(false);
    RampCurve curve;
    std::memcpy(&curve, bytes, kCurveRecordSize);
    NormalizeCurve(curve);
    return curve;
}

PF_Err Dispose(const PF_InData* in_data, PF_Handle handle)
{
    if (!handle) return PF_Err_NONE;
    const PF_UtilCallbacks* utils = in_data->utils;
    if (!utils || !utils->host_dispose_handle) return PF_Err_BAD_CALLBACK_PARAM;
    utils->host_dispose_handle(handle);
    return PF_Err_NONE;
}

PF_Err Flatten(const PF_InData* in_data, PF_Handle handle, void* buffer, A_u_long size)
{
    if (!buffer || size < kCurveRecordSize) return PF_Err_BAD_CALLBACK_PARAM;
    const RampCurve curve = ReadCurve(in_data, handle);
    std::memcpy(buffer, &curve, kCurveRecordSize);
    return PF_Err_NONE;
}

PF_Err Compare(const PF_InData* in_data, PF_Handle a, PF_Handle b, PF_ArbCompareResult* result)
{
    if (!result) return PF_Err_BAD_CALLBACK_PARAM;
    const RampCurve left = ReadCurve(in_data, a);
    const RampCurve right = ReadCurve(in_data, b);
    *result = std::memcmp(&left, &right, kCurveRecordSize) == 0 ? PF_ArbCompare_EQUAL : PF_ArbCompare_NOT_EQUAL;
    return PF_Err_NONE;
}

PF_Err WriteSize(A_u_long* out, A_u_long size)
{
    if (!out) return PF_Err_BAD_CALLBACK_PARAM;
    *out = size;
    return PF_Err_NONE;
}

// Always terminated, truncated to the buffer.
void Print(A_char* buffer, A_u_long size)
{
    if (!buffer || size == 0) return;
    const std::size_t n = std::min<std::size_t>(size - 1, sizeof kPrintedCurve - 1);
    std::memcpy(buffer, kPrintedCurve, n);
    buffer[n] = '\0';
}

} // namespace

// A null out-handle pointer reaches NewCurveHandle, which refuses it.
PF_Err CurveArbCallback(PF_InData* in_data, PF_ArbParamsExtra* extra)
{
    if (!in_data || !extra) return PF_Err_BAD_CALLBACK_PARAM;
    if (!IsCurveDataId(extra->id)) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    const auto& u = extra->u;
    switch (extra->which_function) {
    case PF_Arbitrary_NEW_FUNC: return NewCurveHandle(in_data, MakeDefaultCurve(false), u.new_func_params.arbPH);
    case PF_Arbitrary_DISPOSE_FUNC: return Dispose(in_data, u.dispose_func_params.arbH);
    case PF_Arbitrary_COPY_FUNC: {
        const auto& f = u.copy_func_params;
        return NewCurveHandle(in_data, ReadCurve(in_data, f.src_arbH), f.dst_arbPH);
    }
    case PF_Arbitrary_FLAT_SIZE_FUNC: return WriteSize(u.flat_size_func_params.flat_data_sizePLu, kCurveRecordSize);
    case PF_Arbitrary_FLATTEN_FUNC: {
        const auto& f = u.flatten_func_params;
        return Flatten(in_data, f.arbH, f.flat_dataPV, f.buf_sizeLu);
    }
    case PF_Arbitrary_UNFLATTEN_FUNC: {
        const auto& f = u.unflatten_func_params;
        return NewCurveHandle(in_data, Unflatten(f.flat_dataPV, f.buf_sizeLu), f.arbPH);
    }
    case PF_Arbitrary_INTERP_FUNC: {
        // Curves do not blend: each keyframe's curve holds until halfway.
        const auto& f = u.interp_func_params;
        return NewCurveHandle(in_data, ReadCurve(in_data, f.tF < 0.5 ? f.left_arbH : f.right_arbH), f.interpPH);
    }
    case PF_Arbitrary_COMPARE_FUNC: {
        const auto& f = u.compare_func_params;
        return Compare(in_data, f.a_arbH, f.b_arbH, f.compareP);
    }
    case PF_Arbitrary_PRINT_SIZE_FUNC: return WriteSize(u.print_size_func_params.print_sizePLu, kPrintSize);
    case PF_Arbitrary_PRINT_FUNC:
        Print(u.print_func_params.print_bufferPC, u.print_func_params.print_sizeLu);
        return PF_Err_NONE;
    case PF_Arbitrary_SCAN_FUNC: return PF_Err_CANNOT_PARSE_KEYFRAME_TEXT;
    default: return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
}

} // namespace strandel
