// A stored curve record of any length and content, as a project file hands it over: through
// unflatten and every other arbitrary-data selector, and into evaluation.
#include <cstring>
#include <limits>

#include "curves/CurveModel.h"
#include "fuzz/FuzzInput.h"
#include "support/CurveTestSupport.h"

namespace {

using namespace strandel;
using fuzz::Require;

RampCurve Held(const test::FakeHandles& host, PF_Handle h)
{
    const std::vector<unsigned char> bytes = host.Bytes(h);
    Require(bytes.size() == kCurveRecordSize);
    RampCurve curve;
    std::memcpy(&curve, bytes.data(), kCurveRecordSize);
    return curve;
}

// Every rule a repaired record keeps; small tolerances where a handle end is a sum of doubles.
void RequireRepaired(const RampCurve& c)
{
    Require(c.version == 1 && c.flags <= 1 && c.reserved == 0);
    Require(c.pointCount >= 2 && c.pointCount <= kMaxCurvePoints);
    const int last = c.pointCount - 1;
    const CurvePoint* p = c.points;
    Require(p[0].x == 0 && p[last].x == 1);
    Require(p[0].inDx == 0 && p[0].inDy == 0 && p[last].outDx == 0 && p[last].outDy == 0);
    const double eps = 1e-12;
    for (int i = 0; i <= last; ++i) {
        Require(p[i].x >= 0 && p[i].x <= 1 && p[i].y >= 0 && p[i].y <= 1);
        if (i > 0) {
            Require(p[i].inDx <= 0 && p[i].x + p[i].inDx >= p[i - 1].x - eps);
            Require(p[i].y + p[i].inDy >= -eps && p[i].y + p[i].inDy <= 1 + eps);
        }
        if (i == last) break;
        const CurvePoint& next = p[i + 1];
        Require(p[i].x + 0.000001 < next.x);
        Require(p[i].outDx >= 0 && p[i].x + p[i].outDx <= next.x + eps);
        Require(p[i].y + p[i].outDy >= -eps && p[i].y + p[i].outDy <= 1 + eps);
        // x(u) of the segment never turns back, or evaluation could not invert it.
        const double x[4] = {p[i].x, p[i].x + p[i].outDx, next.x + next.inDx, next.x};
        double previous = x[0];
        for (int k = 1; k <= 64; ++k) {
            const double u = k / 64.0, v = 1 - u;
            const double at = v * v * v * x[0] + 3 * v * v * u * x[1] + 3 * v * u * u * x[2] + u * u * u * x[3];
            Require(at >= previous - 1e-12);
            previous = at;
        }
    }
    const CurvePoint zero{};
    for (int i = c.pointCount; i < kMaxCurvePoints; ++i) Require(std::memcmp(&p[i], &zero, sizeof zero) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    test::FakeHandles host;
    PF_Handle loaded = nullptr;
    Require(test::Unflatten(host, data, static_cast<A_u_long>(size), &loaded) == PF_Err_NONE && loaded);
    const RampCurve curve = Held(host, loaded);
    RequireRepaired(curve);

    // What is loaded is already repaired: repairing again, or saving and loading, changes nothing.
    RampCurve again = curve;
    NormalizeCurve(again);
    Require(test::SameBytes(again, curve));
    unsigned char flat[kCurveRecordSize];
    Require(test::Flatten(host, loaded, flat, sizeof flat) == PF_Err_NONE);
    PF_Handle reloaded = nullptr;
    Require(test::Unflatten(host, flat, sizeof flat, &reloaded) == PF_Err_NONE);
    Require(test::SameBytes(Held(host, reloaded), curve));

    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (double t : {nan, -inf, -1.0, 0.0, 1e-300, 0.25, 0.5, 0.999999, 1.0, 2.0, inf}) {
        const double y = EvaluateCurve(curve, t);
        Require(y >= 0 && y <= 1);
    }
    for (int i = 0; i <= 64; ++i) {
        const double y = EvaluateCurve(curve, i / 64.0);
        Require(y >= 0 && y <= 1);
    }

    // The raw bytes as a handle of their own length: every selector that reads a handle.
    auto ok = [&](PF_ArbParamsExtra call) { return CurveArbCallback(&host.in_data, &call) == PF_Err_NONE; };
    const PF_Handle raw = host.Make(data, size);
    PF_Handle copied = nullptr, interpolated = nullptr;
    PF_ArbParamsExtra copy = test::ArbCall(PF_Arbitrary_COPY_FUNC);
    copy.u.copy_func_params = {nullptr, raw, &copied};
    Require(ok(copy) && copied);
    PF_ArbParamsExtra interp = test::ArbCall(PF_Arbitrary_INTERP_FUNC);
    const double tF = size ? data[0] / 255.0 : 0.5;
    interp.u.interp_func_params = {nullptr, raw, loaded, tF, &interpolated};
    Require(ok(interp) && interpolated);
    PF_ArbCompareResult same = PF_ArbCompare_NOT_EQUAL;
    PF_ArbParamsExtra compare = test::ArbCall(PF_Arbitrary_COMPARE_FUNC);
    compare.u.compare_func_params = {nullptr, copied, raw, &same};
    Require(ok(compare) && same == PF_ArbCompare_EQUAL);
    A_u_long flatSize = 0, printSize = 0;
    PF_ArbParamsExtra sizeCall = test::ArbCall(PF_Arbitrary_FLAT_SIZE_FUNC);
    sizeCall.u.flat_size_func_params = {nullptr, raw, &flatSize};
    Require(ok(sizeCall) && flatSize == kCurveRecordSize);
    PF_ArbParamsExtra printSizeCall = test::ArbCall(PF_Arbitrary_PRINT_SIZE_FUNC);
    printSizeCall.u.print_size_func_params = {nullptr, raw, &printSize};
    Require(ok(printSizeCall));
    char text[64];
    const A_u_long textSize = size > 1 ? data[1] % sizeof text : 0;
    PF_ArbParamsExtra print = test::ArbCall(PF_Arbitrary_PRINT_FUNC);
    print.u.print_func_params = {nullptr, 0, raw, textSize, text};
    Require(ok(print) && (textSize == 0 || std::memchr(text, '\0', textSize) != nullptr));
    // Any selector and parameter ID, with empty records: refused or harmless.
    ok(test::ArbCall(static_cast<PF_FunctionSelector>(size > 2 ? data[2] : 0),
                     static_cast<A_short>(size > 3 ? data[3] : 0)));
    for (PF_Handle h : {loaded, reloaded, raw, copied, interpolated}) {
        PF_ArbParamsExtra dispose = test::ArbCall(PF_Arbitrary_DISPOSE_FUNC);
        dispose.u.dispose_func_params = {nullptr, h};
        Require(ok(dispose));
    }
    Require(host.LiveHandles() == 0 && host.LockedHandles() == 0 && host.badCalls == 0);
    return 0;
}
