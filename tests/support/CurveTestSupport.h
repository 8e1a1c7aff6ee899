// Curves and callback records shared by the curve tests.
#pragma once
#include <cstring>

#include "curves/CurveParams.h"
#include "support/FakeHandles.h"

namespace strandel::test {

inline bool SameBytes(const RampCurve& a, const RampCurve& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// (0, 0.1) -> (0.4, 0.6) -> (1, 0.9), every handle well inside its segment.
inline RampCurve ThreePoints(bool edited)
{
    RampCurve c{};
    c.version = 1;
    c.flags = edited ? 1u : 0u;
    c.pointCount = 3;
    c.points[0] = {0.0, 0.1, 0.0, 0.0, 0.1, 0.2};
    c.points[1] = {0.4, 0.6, -0.1, -0.1, 0.2, 0.1};
    c.points[2] = {1.0, 0.9, -0.2, 0.0, 0.0, 0.0};
    return c;
}

// The record a handle holds, byte for byte (the default curve's bytes never match a short handle).
inline bool HandleHolds(const FakeHandles& host, PF_Handle h, const RampCurve& curve)
{
    const std::vector<unsigned char> bytes = host.Bytes(h);
    return bytes.size() == kCurveRecordSize && std::memcmp(bytes.data(), &curve, kCurveRecordSize) == 0;
}

inline PF_ArbParamsExtra ArbCall(PF_FunctionSelector selector, A_short id = 147)
{
    PF_ArbParamsExtra extra{};
    extra.which_function = selector;
    extra.id = id;
    return extra;
}

inline PF_Err Unflatten(FakeHandles& host, const void* bytes, A_u_long size, PF_Handle* out)
{
    PF_ArbParamsExtra call = ArbCall(PF_Arbitrary_UNFLATTEN_FUNC);
    call.u.unflatten_func_params = {nullptr, size, bytes, out};
    return CurveArbCallback(&host.in_data, &call);
}

inline PF_Err Flatten(FakeHandles& host, PF_Handle h, void* buffer, A_u_long size)
{
    PF_ArbParamsExtra call = ArbCall(PF_Arbitrary_FLATTEN_FUNC);
    call.u.flatten_func_params = {nullptr, h, size, buffer};
    return CurveArbCallback(&host.in_data, &call);
}

} // namespace strandel::test
