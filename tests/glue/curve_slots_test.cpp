#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "support/CurveTestSupport.h"
#include "frame/ParamIndex.h"

namespace strandel {
namespace {

using test::HandleHolds;

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
    EXPECT_EQ(easeIn.points[0].outDx, 0.42);
    EXPECT_EQ(easeIn.points[1].inDx, 0.0);
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
    data.u.arb_d.value = host.Make(&custom, 900);
    EXPECT_EQ(WriteCurveParam(&host.in_data, &data, custom, true), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.badCalls, 0);
    EXPECT_TRUE(test::SameBytes(ReadCurveParam(&host.in_data, nullptr), MakeDefaultCurve(false)));
}

} // namespace
} // namespace strandel
