#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string>

#include "support/CurveTestSupport.h"
#include "frame/ParamIndex.h"

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

// Editor row -> curve-data parameter, as laid out in the effect panel.
const std::map<PF_ParamIndex, PF_ParamIndex> kPairs = {{58, 108}, {60, 109}, {62, 110}, {64, 111},
                                                       {66, 112}, {68, 118}, {74, 113}, {77, 114},
                                                       {80, 115}, {83, 116}, {86, 117}, {89, 119}};
constexpr PF_ParamIndex kPopupEditors[] = {58, 60, 62, 64, 66};
bool IsPopupEditor(PF_ParamIndex editor) { return std::ranges::find(kPopupEditors, editor) != std::end(kPopupEditors); }

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

TEST_F(CurveSlotsTest, EditorRowsPairWithTheirCurveData)
{
    for (PF_ParamIndex i = -1; i <= kParamLast + 5; ++i) {
        const auto pair = kPairs.find(i);
        const bool isEditor = pair != kPairs.end();
        EXPECT_EQ(IsCurveEditorParam(i), isEditor) << i;
        if (i >= 0 && i <= kParamLast) {
            EXPECT_EQ(CurveDataParamFor(params.data(), i), isEditor ? &defs[pair->second] : nullptr) << i;
        }
    }
    EXPECT_EQ(CurveDataParamFor(nullptr, 58), nullptr);
}

TEST_F(CurveSlotsTest, PopupShapeDrivesOnlyUneditedRampCurves)
{
    Store(kParamRampScaleCurveData, custom); // edited: always used as stored
    const RampCurve easeIn = MakeShapeCurve(kShapeEaseIn, false);
    for (const auto& [editor, data] : kPairs) {
        const RampCurve resolved = ResolveRampCurve(&host.in_data, params.data(), editor, kShapeEaseIn);
        const bool follows = data != kParamRampScaleCurveData && IsPopupEditor(editor);
        const RampCurve stored = data == kParamRampScaleCurveData ? custom : MakeDefaultCurve(false);
        EXPECT_TRUE(test::SameBytes(resolved, follows ? easeIn : stored)) << editor;
        // With the shape Linear every slot shows what it stores.
        EXPECT_TRUE(test::SameBytes(ResolveRampCurve(&host.in_data, params.data(), editor, kShapeLinear), stored));
    }
}

TEST_F(CurveSlotsTest, CommitWritesThePresetIntoUneditedRampCurvesOnly)
{
    Store(kParamRampRotationYCurveData, custom);
    defs[kParamRampShape].u.pd.value = kShapeEaseIn;
    ASSERT_EQ(CommitCurvePreset(&host.in_data, params.data()), PF_Err_NONE);
    const RampCurve committed = MakeShapeCurve(kShapeEaseIn, true);
    for (const auto& [editor, data] : kPairs) {
        const bool written = data != kParamRampRotationYCurveData && IsPopupEditor(editor);
        const RampCurve expected = data == kParamRampRotationYCurveData ? custom : MakeDefaultCurve(false);
        EXPECT_TRUE(Holds(data, written ? committed : expected)) << data;
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
    EXPECT_EQ(host.LockedHandles(), 0);
}

TEST_F(CurveSlotsTest, CommitCarriesOnPastAFailedWrite)
{
    params[kParamRampRotationXCurveData] = nullptr;
    defs[kParamRampShape].u.pd.value = kShapeEaseInOut;
    EXPECT_EQ(CommitCurvePreset(&host.in_data, params.data()), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(Holds(kParamRampOpacityCurveData, MakeShapeCurve(kShapeEaseInOut, true)));
    EXPECT_EQ(defs[kParamRampShape].u.pd.value, kShapeLinear);
    EXPECT_TRUE(Changed(kParamRampShape));
    params[kParamRampShape] = nullptr;
    EXPECT_EQ(CommitCurvePreset(&host.in_data, params.data()), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(CurveSlotsTest, MarkingAnEditSetsTheBitAndCommitsThePopup)
{
    PF_OutData out{};
    ASSERT_EQ(MarkCurveEdited(&host.in_data, &out, params.data(), kParamGradientScaleCurve), PF_Err_NONE);
    EXPECT_TRUE(Holds(kParamGradientScaleCurveData, MakeDefaultCurve(true)));
    EXPECT_TRUE(Changed(kParamGradientScaleCurveData));
    EXPECT_EQ(out.out_flags, PF_OutFlag_REFRESH_UI);

    // The touched ramp row keeps the preset it was showing, like the other unedited ramp rows.
    defs[kParamRampShape].u.pd.value = kShapeEaseOut;
    ASSERT_EQ(MarkCurveEdited(&host.in_data, &out, params.data(), kParamRampScaleCurve), PF_Err_NONE);
    for (PF_ParamIndex editor : kPopupEditors) {
        EXPECT_TRUE(Holds(kPairs.at(editor), MakeShapeCurve(kShapeEaseOut, true))) << editor;
    }
    EXPECT_TRUE(Holds(kParamRampTimeOffsetCurveData, MakeDefaultCurve(false)));
    EXPECT_EQ(defs[kParamRampShape].u.pd.value, kShapeLinear);

    EXPECT_EQ(MarkCurveEdited(&host.in_data, &out, params.data(), kParamRampScale), PF_Err_BAD_CALLBACK_PARAM);
    params[kParamGradientOpacityCurveData] = nullptr;
    EXPECT_EQ(MarkCurveEdited(&host.in_data, &out, params.data(), kParamGradientOpacityCurve),
              PF_Err_BAD_CALLBACK_PARAM);
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
    EXPECT_TRUE(test::SameBytes(ReadCurveParam(&host.in_data, &missing), MakeDefaultCurve(true)));

    PF_InData noUtils{};
    EXPECT_EQ(WriteCurveParam(nullptr, &data, custom, true), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(WriteCurveParam(&noUtils, &data, custom, true), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(WriteCurveParam(&host.in_data, nullptr, custom, true), PF_Err_BAD_CALLBACK_PARAM);
    host.failLock = true;
    EXPECT_EQ(WriteCurveParam(&host.in_data, &data, custom, true), PF_Err_OUT_OF_MEMORY);
    host.failLock = false;
    host.failResize = true;
    unsigned char longer[900] = {};
    std::memcpy(longer, &custom, kCurveRecordSize);
    data.u.arb_d.value = host.Make(longer, sizeof longer);
    EXPECT_EQ(WriteCurveParam(&host.in_data, &data, custom, true), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.badCalls, 0);
    EXPECT_TRUE(test::SameBytes(ReadCurveParam(&host.in_data, nullptr), MakeDefaultCurve(false)));
}

} // namespace
} // namespace strandel
