// The curve record: its evaluation and repair, the host handles that hold it, and the curve
// parameters of the effect.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "frame/ParamIndex.h"
#include "frame/Registration.h"
#include "frame/RenderSettingsBuild.h"
#include "support/CurveTestSupport.h"

namespace strandel {
namespace {

using test::ArbCall;
using test::HandleHolds;
using test::SameBytes;
using test::ThreePoints;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// 28 halvings leave the Bezier parameter within 2^-28; y moves at most 3 per unit of it.
constexpr double kBisectionTolerance = 2e-8;

struct Point2 {
    double x, y;
};

Point2 Lerp(Point2 a, Point2 b, double u) { return {a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u}; }

// De Casteljau: a forward route to points on a segment, independent of the evaluator's inversion.
Point2 PointOnSegment(Point2 p0, Point2 p1, Point2 p2, Point2 p3, double u)
{
    const Point2 a = Lerp(p0, p1, u), b = Lerp(p1, p2, u), c = Lerp(p2, p3, u);
    const Point2 d = Lerp(a, b, u), e = Lerp(b, c, u);
    return Lerp(d, e, u);
}

TEST(CurveEvaluation, ShapesAndSegmentsMatchForwardEvaluationAndTheEndsHold)
{
    struct Shape {
        int shape;
        Point2 p1, p2; // absolute control points of the single segment
    };
    const double third = 1.0 / 3.0;
    const Point2 origin{0, 0}, corner{1, 1};
    for (const Shape& s : {Shape{1, {third, third}, {1 - third, 1 - third}}, Shape{2, {0.42, 0}, {1, 1}},
                           Shape{3, {0, 0}, {0.58, 1}}, Shape{4, {0.42, 0}, {0.58, 1}}}) {
        const RampCurve c = MakeShapeCurve(s.shape, false);
        EXPECT_FALSE(c.Edited());
        EXPECT_TRUE(MakeShapeCurve(s.shape, true).Edited());
        for (double u = 0.05; u < 1; u += 0.1) {
            const Point2 on = PointOnSegment(origin, s.p1, s.p2, corner, u);
            EXPECT_NEAR(EvaluateCurve(c, on.x), on.y, kBisectionTolerance) << "shape " << s.shape << " u " << u;
        }
    }
    for (int other : {0, 5, -1, 1000}) {
        EXPECT_TRUE(test::SameBytes(MakeShapeCurve(other, true), MakeDefaultCurve(true))) << other;
    }
    RampCurve broken = MakeShapeCurve(kShapeEaseIn, false);
    broken.version = 9; // read as the identity
    EXPECT_NEAR(EvaluateCurve(broken, 0.25), 0.25, kBisectionTolerance);

    // Straight handles at the thirds make each segment a straight line: (0,0)-(0.25,0.75)-(1,1).
    RampCurve c = MakeDefaultCurve(true);
    c.pointCount = 3;
    c.points[0] = {0, 0, 0, 0, 0.25 / 3, 0.75 / 3};
    c.points[1] = {0.25, 0.75, -0.25 / 3, -0.75 / 3, 0.75 / 3, 0.25 / 3};
    c.points[2] = {1, 1, -0.75 / 3, -0.25 / 3, 0, 0};
    const Point2 expected[] = {{0.125, 0.375}, {0.25, 0.75}, {0.625, 0.875}, {0.8125, 0.9375}};
    for (const Point2& e : expected) EXPECT_NEAR(EvaluateCurve(c, e.x), e.y, kBisectionTolerance) << e.x;

    const RampCurve ends = test::ThreePoints(false); // y runs from 0.1 to 0.9
    for (double below : {0.0, -0.001, -5.0, -kInf, kNaN}) EXPECT_EQ(EvaluateCurve(ends, below), 0.1) << below;
    for (double above : {1.0, 1.001, 7.0, kInf}) EXPECT_EQ(EvaluateCurve(ends, above), 0.9) << above;
}

void AddPointAfterMiddle(RampCurve& c, double x)
{
    c.points[3] = c.points[2];
    c.points[2] = {x, 0.5, 0.0, 0.0, 0.0, 0.0};
    c.pointCount = 4;
}

// Version 1, the edited bit, two points, a reserved zero; then (0, 0) with its out-handle at the
// thirds and (1, 1) with its in-handle at the thirds, as little-endian doubles; the rest zero.
TEST(RampCurveRecord, DefaultCurveBytesAreTheStoredForm)
{
    const uint32_t header[4] = {1, 1, 2, 0};
    const uint64_t third = 0x3FD5555555555555ull, minusThird = 0xBFD5555555555555ull, one = 0x3FF0000000000000ull;
    const uint64_t points[12] = {0, 0, 0, 0, third, third, one, one, minusThird, minusThird, 0, 0};
    unsigned char expected[kCurveRecordSize] = {};
    for (int i = 0; i < 16; ++i) expected[i] = static_cast<unsigned char>(header[i / 4] >> (8 * (i % 4)));
    for (int i = 0; i < 96; ++i) expected[16 + i] = static_cast<unsigned char>(points[i / 8] >> (8 * (i % 8)));
    const RampCurve c = MakeDefaultCurve(true);
    EXPECT_EQ(std::memcmp(&c, expected, kCurveRecordSize), 0);
}

// Crossed bounds: the upper one wins, and a value not above it takes the lower one.
TEST(RampCurveRecord, ClampTestsUpperBoundFirstAndPassesNaN)
{
    const double cases[][4] = {{2, 0, 1, 1},         {-2, 0, 1, 0},        {0.5, 0, 1, 0.5},
                               {0.5, 0.7, 0.2, 0.2}, {0.1, 0.7, 0.2, 0.7}, {-kInf, 0, 1, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampUpperFirst(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_TRUE(std::isnan(ClampUpperFirst(kNaN, 0.0, 1.0)));
}

TEST(RampCurveRecord, InvalidRecordsRevertToDefaultKeepingEditedBit)
{
    using Breakage = std::function<void(RampCurve&)>;
    const std::vector<std::pair<const char*, Breakage>> breakages = {
        // clang-format off
        {"count 1", [](RampCurve& c) { c.pointCount = 1; }}, {"count -3", [](RampCurve& c) { c.pointCount = -3; }},
        {"version 2", [](RampCurve& c) { c.version = 2; }}, {"version 0", [](RampCurve& c) { c.version = 0; }},
        {"NaN x", [](RampCurve& c) { c.points[1].x = kNaN; }}, {"NaN y", [](RampCurve& c) { c.points[0].y = kNaN; }},
        {"NaN in dx", [](RampCurve& c) { c.points[2].inDx = kNaN; }}, {"inf in dy", [](RampCurve& c) { c.points[1].inDy = kInf; }},
        {"inf out dx", [](RampCurve& c) { c.points[0].outDx = -kInf; }}, {"NaN out dy", [](RampCurve& c) { c.points[1].outDy = kNaN; }},
        {"points too close", [](RampCurve& c) { c.points[1].x = 0.5; AddPointAfterMiddle(c, 0.5000005); }},
        {"middle x above 1", [](RampCurve& c) { c.points[1].x = 1.2; }}, {"middle x below 0", [](RampCurve& c) { c.points[1].x = -0.5; }},
        {"x decreasing", [](RampCurve& c) { AddPointAfterMiddle(c, 0.3); }},
        // clang-format on
    };
    for (bool edited : {false, true}) {
        for (const auto& [name, breakRecord] : breakages) {
            RampCurve c = ThreePoints(edited);
            breakRecord(c);
            EXPECT_FALSE(NormalizeCurve(c)) << name;
            EXPECT_TRUE(SameBytes(c, MakeDefaultCurve(edited))) << name << " edited " << edited;
        }
    }
}

TEST(RampCurveRecord, RepairClampsIntoTheUnitSquareAndSegments)
{
    RampCurve c = ThreePoints(true);
    c.flags = 0xF0F1u;
    c.reserved = 77;
    c.points[0] = {0.2, -0.5, 0.3, 0.3, 0.9, 2.0}; // x forced to 0, y to 0; out-handle past point 1
    c.points[1] = {0.4, 1.5, -0.7, -3.0, -0.1, 0.3}; // y to 1; in-handle past point 0, going below 0
    c.points[2] = {0.7, 0.5, 0.1, 0.9, 0.4, 0.4}; // x forced to 1; in dx positive
    ASSERT_TRUE(NormalizeCurve(c));
    EXPECT_EQ(c.flags, 1u);
    EXPECT_EQ(c.reserved, 0u);
    const CurvePoint expected[3] = {
        {0.0, 0.0, 0.0, 0.0, 0.4, 1.0}, // out dx ends exactly at x_1; out dy cut at y = 1
        {0.4, 1.0, -0.4, -1.0, 0.0, 0.0}, // in-handle ends at point 0 and y = 0; out dy cut at y = 1
        {1.0, 0.5, 0.0, 0.5, 0.0, 0.0}, // in dy cut at y = 1; the last out-handle is zeroed
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&c.points[i], &expected[i], sizeof(CurvePoint)), 0) << "point " << i;
    }
    RampCurve again = c;
    EXPECT_TRUE(NormalizeCurve(again));
    EXPECT_TRUE(SameBytes(again, c)); // repair is idempotent
}

class CurveArbCallbackTest : public ::testing::Test {
protected:
    PF_Err Call(PF_ArbParamsExtra& extra) { return CurveArbCallback(&host.in_data, &extra); }
    PF_Handle Holding(const RampCurve& c) { return host.Make(&c, kCurveRecordSize); }
    PF_Err Dispose(PF_Handle h)
    {
        PF_ArbParamsExtra dispose = ArbCall(PF_Arbitrary_DISPOSE_FUNC);
        dispose.u.dispose_func_params.arbH = h;
        return Call(dispose);
    }

    test::FakeHandles host;
    const RampCurve custom = test::ThreePoints(true);
};

// A record shorter than a whole one reads as the default curve; a broken one is stored repaired.
TEST_F(CurveArbCallbackTest, HandlesHoldTheWholeRepairedRecordAndNoneAreLeft)
{
    unsigned char longer[kCurveRecordSize + 116];
    std::memset(longer, 0xAB, sizeof longer);
    std::memcpy(longer, &custom, kCurveRecordSize);
    for (std::size_t size : {kCurveRecordSize - 1, kCurveRecordSize, sizeof longer}) {
        const RampCurve expected = size < kCurveRecordSize ? MakeDefaultCurve(false) : custom;
        const PF_Handle source = host.Make(longer, size);
        const CurveRead read = ReadCurveHandle(&host.in_data, source);
        EXPECT_EQ(read.ok, size >= kCurveRecordSize) << size;
        EXPECT_TRUE(SameBytes(read.curve, expected)) << size;
        PF_Handle copied = nullptr;
        PF_ArbParamsExtra copy = ArbCall(PF_Arbitrary_COPY_FUNC);
        copy.u.copy_func_params = {nullptr, source, &copied};
        ASSERT_EQ(Call(copy), PF_Err_NONE);
        EXPECT_NE(copied, source);
        EXPECT_TRUE(HandleHolds(host, copied, expected)) << size;
        EXPECT_EQ(Dispose(source), PF_Err_NONE);
        EXPECT_EQ(Dispose(copied), PF_Err_NONE);
    }
    PF_Handle made = nullptr, repaired = nullptr;
    PF_ArbParamsExtra create = ArbCall(PF_Arbitrary_NEW_FUNC);
    create.u.new_func_params.arbPH = &made;
    ASSERT_EQ(Call(create), PF_Err_NONE);
    EXPECT_TRUE(HandleHolds(host, made, MakeDefaultCurve(false)));
    RampCurve broken = custom;
    broken.version = 3;
    ASSERT_EQ(NewCurveHandle(&host.in_data, broken, &repaired), PF_Err_NONE);
    EXPECT_TRUE(HandleHolds(host, repaired, MakeDefaultCurve(true)));
    for (PF_Handle h : {made, repaired, PF_Handle{}}) EXPECT_EQ(Dispose(h), PF_Err_NONE);
    EXPECT_EQ(host.LiveHandles(), 0);

    // A handle that cannot be filled is neither read nor handed out, and none is left behind.
    host.failLock = true;
    EXPECT_FALSE(ReadCurveHandle(&host.in_data, Holding(custom)).ok);
    const int live = host.LiveHandles();
    made = nullptr;
    EXPECT_EQ(Call(create), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(NewCurveHandle(&host.in_data, custom, &made), PF_Err_OUT_OF_MEMORY);
    host.failLock = false;
    host.failNew = true;
    EXPECT_EQ(NewCurveHandle(&host.in_data, custom, &made), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(host.LiveHandles(), live);
    EXPECT_EQ(host.LockedHandles(), 0);
    EXPECT_EQ(host.badCalls, 0);
}

TEST_F(CurveArbCallbackTest, FlattenNeedsTheWholeRecordAndUnflattenUsesItsFirstBytes)
{
    const PF_Handle h = Holding(custom);
    PF_ArbParamsExtra size = ArbCall(PF_Arbitrary_FLAT_SIZE_FUNC);
    A_u_long flatSize = 0;
    size.u.flat_size_func_params = {nullptr, h, &flatSize};
    EXPECT_EQ(Call(size), PF_Err_NONE);
    EXPECT_EQ(flatSize, kCurveRecordSize);

    unsigned char buffer[kCurveRecordSize + 116];
    std::memset(buffer, 0x5A, sizeof buffer);
    EXPECT_EQ(test::Flatten(host, h, buffer, kCurveRecordSize - 1), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(buffer[0], 0x5A);
    ASSERT_EQ(test::Flatten(host, h, buffer, kCurveRecordSize), PF_Err_NONE);
    EXPECT_EQ(std::memcmp(buffer, &custom, kCurveRecordSize), 0);
    EXPECT_EQ(buffer[kCurveRecordSize], 0x5A);

    for (A_u_long bytes : {A_u_long(kCurveRecordSize - 1), A_u_long(kCurveRecordSize), A_u_long(sizeof buffer)}) {
        PF_Handle out = nullptr;
        ASSERT_EQ(test::Unflatten(host, buffer, bytes, &out), PF_Err_NONE) << bytes;
        EXPECT_TRUE(HandleHolds(host, out, bytes < kCurveRecordSize ? MakeDefaultCurve(false) : custom)) << bytes;
    }
}

TEST_F(CurveArbCallbackTest, InterpolationHoldsEachKeyUntilHalfwayAndCompareLooksAtRepairedRecords)
{
    const RampCurve right = MakeShapeCurve(kShapeEaseOut, true);
    const PF_Handle leftH = Holding(custom), rightH = Holding(right);
    for (double t : {0.0, 0.4999, 0.5, 0.9}) {
        PF_Handle out = nullptr;
        PF_ArbParamsExtra interp = ArbCall(PF_Arbitrary_INTERP_FUNC);
        interp.u.interp_func_params = {nullptr, leftH, rightH, t, &out};
        ASSERT_EQ(Call(interp), PF_Err_NONE);
        EXPECT_TRUE(HandleHolds(host, out, t < 0.5 ? custom : right)) << t;
    }

    RampCurve unrepaired = custom;
    unrepaired.reserved = 99;
    unrepaired.points[7].y = 0.3; // beyond the count
    for (const auto& [other, expected] : {std::pair{custom, PF_ArbCompare_EQUAL},
                                          {unrepaired, PF_ArbCompare_EQUAL},
                                          {MakeDefaultCurve(true), PF_ArbCompare_NOT_EQUAL}}) {
        PF_ArbCompareResult result = -1;
        PF_ArbParamsExtra compare = ArbCall(PF_Arbitrary_COMPARE_FUNC);
        compare.u.compare_func_params = {nullptr, leftH, Holding(other), &result};
        EXPECT_EQ(Call(compare), PF_Err_NONE);
        EXPECT_EQ(result, expected);
    }
}

TEST_F(CurveArbCallbackTest, PrintsAFixedLabelWithinTheBufferAndRefusesToScan)
{
    A_u_long printSize = 0;
    PF_ArbParamsExtra size = ArbCall(PF_Arbitrary_PRINT_SIZE_FUNC);
    size.u.print_size_func_params.print_sizePLu = &printSize;
    EXPECT_EQ(Call(size), PF_Err_NONE);
    EXPECT_EQ(printSize, 32u);
    const std::pair<A_u_long, std::string> cases[] = {
        {32, "Ramp Custom Curve"}, {18, "Ramp Custom Curve"}, {17, "Ramp Custom Curv"}, {5, "Ramp"}, {1, ""}, {0, "#"}};
    for (const auto& [bufferSize, expected] : cases) {
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        buffer[1] = '\0';
        PF_ArbParamsExtra print = ArbCall(PF_Arbitrary_PRINT_FUNC);
        print.u.print_func_params = {nullptr, 0, nullptr, bufferSize, buffer};
        EXPECT_EQ(Call(print), PF_Err_NONE);
        EXPECT_EQ(std::string(buffer), expected) << bufferSize;
        if (bufferSize > 1) {
            EXPECT_EQ(buffer[bufferSize], '#') << "written past the buffer";
        }
    }
    PF_ArbParamsExtra scan = ArbCall(PF_Arbitrary_SCAN_FUNC);
    EXPECT_EQ(Call(scan), PF_Err_CANNOT_PARSE_KEYFRAME_TEXT);
}

TEST_F(CurveArbCallbackTest, AnswersOnlyItsOwnParametersAndSelectors)
{
    A_u_long flatSize = 0;
    auto flatSizeFor = [&](A_short id) {
        PF_ArbParamsExtra extra = ArbCall(PF_Arbitrary_FLAT_SIZE_FUNC, id);
        extra.u.flat_size_func_params.flat_data_sizePLu = &flatSize;
        return Call(extra);
    };
    for (A_short id : {147, 148, 149, 150, 151, 157, 158, 159, 160, 161, 169, 170, 171})
        EXPECT_EQ(flatSizeFor(id), PF_Err_NONE) << id;
    for (A_short id : {0, 1, 146, 152, 156, 162, 168, 172, -147})
        EXPECT_EQ(flatSizeFor(id), PF_Err_UNRECOGNIZED_PARAM_TYPE) << id;
    for (PF_FunctionSelector selector : {11, 12, -1, 1000}) {
        PF_ArbParamsExtra extra = ArbCall(selector);
        EXPECT_EQ(Call(extra), PF_Err_UNRECOGNIZED_PARAM_TYPE) << selector;
    }
}

// Every entry that takes host records refuses missing ones, touching nothing.
TEST_F(CurveArbCallbackTest, MissingArgumentsAreRefusedAsBadCallbackParams)
{
    PF_InData noUtils{};
    PF_OutData out{};
    PF_ParamDef data{};
    PF_Handle h = nullptr;
    const RampCurve curve = custom;
    std::array<PF_ParamDef, kParamCountWithInput> defs{};
    std::array<PF_ParamDef*, kParamCountWithInput> params{};
    for (std::size_t i = 0; i < defs.size(); ++i) params[i] = &defs[i];
    for (PF_FunctionSelector selector :
         {PF_Arbitrary_NEW_FUNC, PF_Arbitrary_COPY_FUNC, PF_Arbitrary_FLAT_SIZE_FUNC, PF_Arbitrary_UNFLATTEN_FUNC,
          PF_Arbitrary_INTERP_FUNC, PF_Arbitrary_COMPARE_FUNC, PF_Arbitrary_PRINT_SIZE_FUNC}) {
        PF_ArbParamsExtra extra = ArbCall(selector); // every record pointer left out
        EXPECT_EQ(Call(extra), PF_Err_BAD_CALLBACK_PARAM) << selector;
    }
    const std::pair<const char*, std::function<PF_Err()>> calls[] = {
        // clang-format off
        {"arb: no in_data", [&] { PF_ArbParamsExtra e = ArbCall(PF_Arbitrary_NEW_FUNC); return CurveArbCallback(nullptr, &e); }},
        {"arb: no extra", [&] { return CurveArbCallback(&host.in_data, nullptr); }},
        {"arb: dispose without utils",
         [&] { PF_ArbParamsExtra e = ArbCall(PF_Arbitrary_DISPOSE_FUNC); e.u.dispose_func_params.arbH = Holding(curve);
               return CurveArbCallback(&noUtils, &e); }},
        {"arb: flatten", [&] { return test::Flatten(host, Holding(curve), nullptr, kCurveRecordSize); }},
        {"arb: unflatten to nowhere", [&] { return test::Unflatten(host, &curve, kCurveRecordSize, nullptr); }},
        {"new handle: no in_data", [&] { return NewCurveHandle(nullptr, curve, &h); }},
        {"new handle: no utils", [&] { return NewCurveHandle(&noUtils, curve, &h); }},
        {"new handle: nowhere to put it", [&] { return NewCurveHandle(&host.in_data, curve, nullptr); }},
        {"write: no in_data", [&] { return WriteCurveParam(nullptr, &data, curve, true); }},
        {"write: no utils", [&] { return WriteCurveParam(&noUtils, &data, curve, true); }},
        {"write: no parameter", [&] { return WriteCurveParam(&host.in_data, nullptr, curve, true); }},
        {"mark edited: not a curve row", [&] { return MarkCurveEdited(&host.in_data, &out, params.data(), kParamRampScale); }},
        {"commit: no shape popup", [&] { params[kParamRampShape] = nullptr; return CommitCurvePreset(&host.in_data, params.data()); }},
        {"settings by checkout: no in_data", [&] { RenderSettings s; return BuildSettingsByCheckout(nullptr, s); }},
        {"About: no out_data", [&] { return WriteAbout(nullptr); }},
        // clang-format on
    };
    for (const auto& [what, call] : calls) EXPECT_EQ(call(), PF_Err_BAD_CALLBACK_PARAM) << what;
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(host.badCalls, 0);
}

// The ramp's rotation, scale and opacity curves are the ones that follow the Curve popup.
bool FollowsPopup(PF_ParamIndex data) { return data <= kParamRampOpacityCurveData; }

class CurveSlotsTest : public ::testing::Test {
protected:
    CurveSlotsTest()
    {
        for (std::size_t i = 0; i < defs.size(); ++i) params[i] = &defs[i];
        for (PF_ParamIndex i = kParamCurveDataFirst; i <= kParamLast; ++i) Store(i, MakeDefaultCurve(false));
        defs[kParamRampShape].u.pd.value = kShapeLinear;
    }
    void Store(PF_ParamIndex index, const RampCurve& c) { defs[index].u.arb_d.value = host.Make(&c, kCurveRecordSize); }
    bool Holds(PF_ParamIndex index, const RampCurve& c) { return HandleHolds(host, defs[index].u.arb_d.value, c); }
    bool Changed(PF_ParamIndex index) { return (defs[index].uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) != 0; }

    test::FakeHandles host;
    std::array<PF_ParamDef, kParamCountWithInput> defs{};
    std::array<PF_ParamDef*, kParamCountWithInput> params{};
    const RampCurve custom = test::ThreePoints(true);
};

TEST_F(CurveSlotsTest, CommitWritesThePresetIntoUneditedRampCurvesOnlyAndCarriesOnPastAFailure)
{
    Store(kParamRampRotationYCurveData, custom);
    defs[kParamRampShape].u.pd.value = kShapeEaseIn;
    ASSERT_EQ(CommitCurvePreset(&host.in_data, params.data()), PF_Err_NONE);
    const RampCurve committed = MakeShapeCurve(kShapeEaseIn, true);
    for (PF_ParamIndex data = kParamCurveDataFirst; data <= kParamLast; ++data) {
        const bool written = data != kParamRampRotationYCurveData && FollowsPopup(data);
        const RampCurve kept = data == kParamRampRotationYCurveData ? custom : MakeDefaultCurve(false);
        EXPECT_TRUE(Holds(data, written ? committed : kept)) << data;
        EXPECT_EQ(Changed(data), written) << data;
    }
    EXPECT_EQ(defs[kParamRampShape].u.pd.value, kShapeLinear);
    EXPECT_TRUE(Changed(kParamRampShape));
    // Popup already Linear, or out of range: nothing moves.
    for (PF_ParamValue value : {1, 0, 5}) {
        for (auto& def : defs) def.uu.change_flags = 0;
        defs[kParamRampShape].u.pd.value = value;
        EXPECT_EQ(CommitCurvePreset(&host.in_data, params.data()), PF_Err_NONE);
        EXPECT_EQ(defs[kParamRampShape].u.pd.value, value);
        for (PF_ParamIndex i = 0; i <= kParamLast; ++i) EXPECT_FALSE(Changed(i)) << i;
    }

    for (PF_ParamIndex data = kParamCurveDataFirst; FollowsPopup(data); ++data) Store(data, MakeDefaultCurve(false));
    params[kParamRampRotationXCurveData] = nullptr;
    defs[kParamRampShape].u.pd.value = kShapeEaseInOut;
    EXPECT_EQ(CommitCurvePreset(&host.in_data, params.data()), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(Holds(kParamRampOpacityCurveData, MakeShapeCurve(kShapeEaseInOut, true)));
    EXPECT_EQ(defs[kParamRampShape].u.pd.value, kShapeLinear);
    EXPECT_EQ(host.LockedHandles(), 0);
}

TEST_F(CurveSlotsTest, WriteFixesTheHandleSizeOrCreatesTheHandle)
{
    PF_ParamDef& data = defs[kParamGradientRotationXCurveData];
    host.utils.host_dispose_handle(data.u.arb_d.value);
    data.u.arb_d.value = host.Make(&custom, 100);
    ASSERT_EQ(WriteCurveParam(&host.in_data, &data, custom, false), PF_Err_NONE);
    EXPECT_TRUE(Holds(kParamGradientRotationXCurveData, custom));
    EXPECT_FALSE(Changed(kParamGradientRotationXCurveData));

    const int live = host.LiveHandles();
    PF_ParamDef missing{};
    RampCurve broken = custom;
    broken.pointCount = 0;
    ASSERT_EQ(WriteCurveParam(&host.in_data, &missing, broken, true), PF_Err_NONE);
    EXPECT_TRUE(HandleHolds(host, missing.u.arb_d.value, MakeDefaultCurve(true))); // written repaired
    EXPECT_EQ(host.LiveHandles(), live + 1);
    EXPECT_TRUE(missing.uu.change_flags & PF_ChangeFlag_CHANGED_VALUE);
    EXPECT_TRUE(SameBytes(ReadCurveParam(&host.in_data, &missing), MakeDefaultCurve(true)));
    EXPECT_TRUE(SameBytes(ReadCurveParam(&host.in_data, nullptr), MakeDefaultCurve(false)));

    host.failLock = true;
    EXPECT_EQ(WriteCurveParam(&host.in_data, &data, custom, true), PF_Err_OUT_OF_MEMORY);
    host.failLock = false;
    host.failResize = true;
    unsigned char longer[900] = {};
    std::memcpy(longer, &custom, kCurveRecordSize);
    data.u.arb_d.value = host.Make(longer, sizeof longer);
    EXPECT_EQ(WriteCurveParam(&host.in_data, &data, custom, true), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.badCalls, 0);
}

} // namespace
} // namespace strandel
