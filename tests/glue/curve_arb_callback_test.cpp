#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/CurveTestSupport.h"

namespace strandel {
namespace {

using test::ArbCall;
using test::HandleHolds;

class CurveArbCallbackTest : public ::testing::Test {
protected:
    PF_Err Call(PF_ArbParamsExtra& extra) { return CurveArbCallback(&host.in_data, &extra); }
    PF_Handle Holding(const RampCurve& c) { return host.Make(&c, kCurveRecordSize); }

    test::FakeHandles host;
    const RampCurve custom = test::ThreePoints(true);
};

TEST_F(CurveArbCallbackTest, NewCopyDisposeLeaveNoHandles)
{
    PF_Handle made = nullptr, copied = nullptr;
    PF_ArbParamsExtra create = ArbCall(PF_Arbitrary_NEW_FUNC);
    create.u.new_func_params.arbPH = &made;
    ASSERT_EQ(Call(create), PF_Err_NONE);
    EXPECT_TRUE(HandleHolds(host, made, MakeDefaultCurve(false)));

    const PF_Handle source = Holding(custom);
    PF_ArbParamsExtra copy = ArbCall(PF_Arbitrary_COPY_FUNC);
    copy.u.copy_func_params = {nullptr, source, &copied};
    ASSERT_EQ(Call(copy), PF_Err_NONE);
    EXPECT_NE(copied, source);
    EXPECT_TRUE(HandleHolds(host, copied, custom));

    PF_Handle fromShort = nullptr;
    const PF_Handle shortSource = host.Make(&custom, 100);
    copy.u.copy_func_params = {nullptr, shortSource, &fromShort};
    ASSERT_EQ(Call(copy), PF_Err_NONE);
    EXPECT_TRUE(HandleHolds(host, fromShort, MakeDefaultCurve(false)));

    for (PF_Handle h : {made, copied, source, shortSource, fromShort, PF_Handle{}}) {
        PF_ArbParamsExtra dispose = ArbCall(PF_Arbitrary_DISPOSE_FUNC);
        dispose.u.dispose_func_params.arbH = h;
        EXPECT_EQ(Call(dispose), PF_Err_NONE);
    }
    EXPECT_EQ(host.LiveHandles(), 0);
    EXPECT_EQ(host.LockedHandles(), 0);
    EXPECT_EQ(host.badCalls, 0);

    host.failLock = true; // a handle that cannot be filled is not handed out
    made = nullptr;
    EXPECT_EQ(Call(create), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(host.LiveHandles(), 0);
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
    EXPECT_EQ(test::Flatten(host, h, nullptr, kCurveRecordSize), PF_Err_BAD_CALLBACK_PARAM);
    ASSERT_EQ(test::Flatten(host, h, buffer, kCurveRecordSize), PF_Err_NONE);
    EXPECT_EQ(std::memcmp(buffer, &custom, kCurveRecordSize), 0);
    EXPECT_EQ(buffer[kCurveRecordSize], 0x5A);

    struct Case {
        A_u_long size;
        const void* bytes;
        RampCurve expected;
    };
    for (const Case& k : {Case{kCurveRecordSize - 1, buffer, MakeDefaultCurve(false)},
                          Case{kCurveRecordSize, buffer, custom}, Case{sizeof buffer, buffer, custom},
                          Case{kCurveRecordSize, nullptr, MakeDefaultCurve(false)}}) {
        PF_Handle out = nullptr;
        ASSERT_EQ(test::Unflatten(host, k.bytes, k.size, &out), PF_Err_NONE) << k.size;
        EXPECT_TRUE(HandleHolds(host, out, k.expected)) << k.size;
    }
    EXPECT_EQ(test::Unflatten(host, buffer, kCurveRecordSize, nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(CurveArbCallbackTest, InterpolationHoldsEachKeyUntilHalfway)
{
    const RampCurve right = MakeShapeCurve(kShapeEaseOut, true);
    const PF_Handle leftH = Holding(custom), rightH = Holding(right);
    for (double t : {0.0, 0.4999, 0.5, 0.9}) {
        PF_Handle out = nullptr;
        PF_ArbParamsExtra interp = ArbCall(PF_Arbitrary_INTERP_FUNC);
        interp.u.interp_func_params = {nullptr, leftH, rightH, t, &out};
        ASSERT_EQ(Call(interp), PF_Err_NONE);
        EXPECT_TRUE(HandleHolds(host, out, t < 0.5 ? custom : right)) << t;
        interp.u.interp_func_params.interpPH = nullptr;
        EXPECT_EQ(Call(interp), PF_Err_BAD_CALLBACK_PARAM);
    }
}

TEST_F(CurveArbCallbackTest, CompareLooksAtRepairedRecords)
{
    RampCurve unrepaired = custom;
    unrepaired.reserved = 99;
    unrepaired.points[7].y = 0.3; // beyond the count
    const PF_Handle a = Holding(custom), same = Holding(unrepaired), other = Holding(MakeDefaultCurve(true));
    struct Case {
        PF_Handle b;
        PF_ArbCompareResult expected;
    };
    for (const Case& k : {Case{a, PF_ArbCompare_EQUAL}, Case{same, PF_ArbCompare_EQUAL},
                          Case{other, PF_ArbCompare_NOT_EQUAL}}) {
        PF_ArbCompareResult result = -1;
        PF_ArbParamsExtra compare = ArbCall(PF_Arbitrary_COMPARE_FUNC);
        compare.u.compare_func_params = {nullptr, a, k.b, &result};
        EXPECT_EQ(Call(compare), PF_Err_NONE);
        EXPECT_EQ(result, k.expected);
    }
    PF_ArbParamsExtra compare = ArbCall(PF_Arbitrary_COMPARE_FUNC);
    compare.u.compare_func_params = {nullptr, a, other, nullptr};
    EXPECT_EQ(Call(compare), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(CurveArbCallbackTest, PrintsAFixedLabelAndRefusesToScan)
{
    A_u_long printSize = 0;
    PF_ArbParamsExtra size = ArbCall(PF_Arbitrary_PRINT_SIZE_FUNC);
    size.u.print_size_func_params.print_sizePLu = &printSize;
    EXPECT_EQ(Call(size), PF_Err_NONE);
    EXPECT_EQ(printSize, 32u);
    size.u.print_size_func_params.print_sizePLu = nullptr;
    EXPECT_EQ(Call(size), PF_Err_BAD_CALLBACK_PARAM);

    struct Case {
        A_u_long bufferSize;
        std::string expected;
    };
    for (const Case& k : {Case{32, "Ramp Custom Curve"}, Case{18, "Ramp Custom Curve"}, Case{17, "Ramp Custom Curv"},
                          Case{5, "Ramp"}, Case{1, ""}}) {
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        PF_ArbParamsExtra print = ArbCall(PF_Arbitrary_PRINT_FUNC);
        print.u.print_func_params = {nullptr, 0, nullptr, k.bufferSize, buffer};
        EXPECT_EQ(Call(print), PF_Err_NONE);
        EXPECT_EQ(std::string(buffer), k.expected);
        EXPECT_EQ(buffer[k.bufferSize], '#'); // nothing written past the buffer
    }
    char untouched = '#';
    PF_ArbParamsExtra print = ArbCall(PF_Arbitrary_PRINT_FUNC);
    print.u.print_func_params = {nullptr, 0, nullptr, 0, &untouched};
    EXPECT_EQ(Call(print), PF_Err_NONE);
    EXPECT_EQ(untouched, '#');
    print.u.print_func_params = {nullptr, 0, nullptr, 32, nullptr};
    EXPECT_EQ(Call(print), PF_Err_NONE);

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
    for (A_short id : {147, 148, 149, 150, 151, 157, 158, 159, 160, 161, 169, 170, 171}) {
        EXPECT_EQ(flatSizeFor(id), PF_Err_NONE) << id;
    }
    for (A_short id : {0, 1, 146, 152, 156, 162, 168, 172, -147}) {
        EXPECT_EQ(flatSizeFor(id), PF_Err_UNRECOGNIZED_PARAM_TYPE) << id;
    }
    for (PF_FunctionSelector selector : {11, 12, -1, 1000}) {
        PF_ArbParamsExtra extra = ArbCall(selector);
        EXPECT_EQ(Call(extra), PF_Err_UNRECOGNIZED_PARAM_TYPE) << selector;
    }
    PF_ArbParamsExtra extra = ArbCall(PF_Arbitrary_FLAT_SIZE_FUNC);
    EXPECT_EQ(CurveArbCallback(nullptr, &extra), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(CurveArbCallback(&host.in_data, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    // Null out pointers are refused; a null handle to dispose is not an error.
    for (PF_FunctionSelector selector : {PF_Arbitrary_NEW_FUNC, PF_Arbitrary_COPY_FUNC, PF_Arbitrary_FLAT_SIZE_FUNC,
                                         PF_Arbitrary_UNFLATTEN_FUNC}) {
        PF_ArbParamsExtra empty = ArbCall(selector);
        EXPECT_EQ(Call(empty), PF_Err_BAD_CALLBACK_PARAM) << selector;
    }
    PF_ArbParamsExtra dispose = ArbCall(PF_Arbitrary_DISPOSE_FUNC);
    EXPECT_EQ(Call(dispose), PF_Err_NONE);
    PF_InData noUtils{};
    dispose.u.dispose_func_params.arbH = Holding(custom);
    EXPECT_EQ(CurveArbCallback(&noUtils, &dispose), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.LiveHandles(), 1);
}

} // namespace
} // namespace strandel
