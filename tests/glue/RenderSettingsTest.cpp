#include <gtest/gtest.h>

#include <tuple>

#include "curves/CurveModel.h"
#include "frame/ParamIndex.h"
#include "frame/RenderSettingsBuild.h"
#include "support/CurveTestSupport.h"
#include "support/HostFixture.h"

namespace strandel::test {
namespace {

using nlohmann::json;

using test::SameBytes;

const json kEditedCurve = json::array({json::array({0, 0, 0, 0, 0.2, 0.1}), json::array({1, 1, -0.2, -0.1, 0, 0})});

class RenderSettingsTest : public HostTest {
protected:
    void SetUp() override
    {
        StartHost();
        ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
        fx_ = &H().AddInstance();
        call_ = fx_->NewCall();
    }
    // The array PF_Cmd_RENDER hands over: every parameter at time 0.
    std::vector<PF_ParamDef*> Params()
    {
        defs_.resize(fx_->paramCount());
        std::vector<PF_ParamDef*> params;
        for (int i = 0; i < fx_->paramCount(); ++i) {
            defs_[i] = fx_->DefAt(i, 0);
            params.push_back(&defs_[i]);
        }
        return params;
    }

    host::EffectInstance* fx_ = nullptr;
    std::unique_ptr<host::EffectCall> call_;
    std::vector<PF_ParamDef> defs_;
};

// Only unedited ramp curves follow the Curve popup; an edited one is used as stored.
TEST_F(RenderSettingsTest, ConvertsUnitsAsThePanelShowsThemAndAppliesTheCurvePopup)
{
    // clang-format off
    const std::pair<const char*, json> values[] = {
        {"Array Transform/Rotation X", 90}, {"Roll", -45.5}, {"Spacing", 250}, {"Loop", true},
        {"Position", json::array({10, -20, 30})}, {"Orientation Mode", "Follow Path"}, {"Renderer", "CPU"},
        {"Time Random", 1.5}, {"Ramp/Opacity Curve", kEditedCurve}, {"Curve", "Ease In"}};
    // clang-format on
    for (const auto& [name, value] : values) Set(name, value);
    auto params = Params();
    RenderSettings s = BuildSettingsFromParams(&call_->in, params.data());
    EXPECT_EQ(s.arrayRotation.x, 90.0);
    EXPECT_EQ(s.roll, -45.5);
    EXPECT_EQ(s.spacing, 250.0);
    EXPECT_TRUE(s.loop);
    EXPECT_EQ(s.arrayPosition, Vec3(10, -20, 30));
    EXPECT_EQ(s.orientationMode, OrientationMode::FollowPath);
    EXPECT_EQ(s.renderer, Renderer::Cpu);
    EXPECT_EQ(s.timeRandom, 1.5);
    EXPECT_EQ(s.rampShape, 2);
    const RampCurve identity = MakeDefaultCurve(false);
    for (int c = kCurveRotationX; c < kCurveOpacity; ++c)
        EXPECT_TRUE(SameBytes(s.rampCurves[c], MakeShapeCurve(kShapeEaseIn, false))) << c;
    EXPECT_TRUE(s.rampCurves[kCurveOpacity].Edited());
    EXPECT_TRUE(SameBytes(s.rampTimeOffsetCurve, identity));
    for (const RampCurve& c : s.gradientCurves) EXPECT_TRUE(SameBytes(c, identity));
    EXPECT_TRUE(SameBytes(s.gradientTimeOffsetCurve, identity));

    for (PF_ParamValue count : {0, -5}) {
        defs_[kParamCount].u.sd.value = count;
        EXPECT_EQ(BuildSettingsFromParams(&call_->in, params.data()).count, 1);
    }
    defs_[kParamRampShape].u.pd.value = 9;
    s = BuildSettingsFromParams(&call_->in, params.data());
    EXPECT_EQ(s.rampShape, 1);
    EXPECT_TRUE(SameBytes(s.rampCurves[kCurveRotationX], identity));
}

// Every scalar of the record, for comparing two of them; the curves are compared on their own.
auto Fields(const RenderSettings& s)
{
    return std::tie(s.placementMode, s.inside, s.spread, s.sourceMode, s.sourceSeed, s.count, s.spacing, s.offset,
                    s.loop, s.reverse, s.arrayPosition, s.arrayRotation, s.arrayScale, s.orientationMode, s.forwardAxis,
                    s.roll, s.objectRotation, s.objectScale, s.rampRotation, s.rampScale, s.rampOpacity,
                    s.rampTimeOffset, s.rampShape, s.gradientStartRotation, s.gradientEndRotation, s.gradientStartScale,
                    s.gradientEndScale, s.gradientStartOpacity, s.gradientEndOpacity, s.gradientStartTimeOffset,
                    s.gradientEndTimeOffset, s.randomSeed, s.randomRotation, s.randomScale, s.timeRandom, s.depthSort,
                    s.opacity, s.renderer, s.quality, s.debugPath);
}

TEST_F(RenderSettingsTest, CheckoutBuildReadsWhatTheArrayBuildReadsAndUndoesAFailedOne)
{
    // Every parameter away from its default, each to a value of its own.
    for (int i = 1; i < fx_->paramCount(); ++i) {
        const PF_ParamDef& d = fx_->param(i).def;
        switch (d.param_type) {
        case PF_Param_FLOAT_SLIDER:
            fx_->SetValue(i, d.u.fs_d.slider_min + (d.u.fs_d.slider_max - d.u.fs_d.slider_min) * (0.3 + i / 1000.0));
            break;
        case PF_Param_SLIDER: fx_->SetValue(i, double(d.u.sd.slider_min + i % 7 + 2)); break;
        case PF_Param_ANGLE: fx_->SetValue(i, 10.0 + i); break;
        case PF_Param_CHECKBOX: fx_->SetValue(i, d.u.bd.dephault ? 0.0 : 1.0); break;
        case PF_Param_POPUP: fx_->SetValue(i, double(d.u.pd.dephault % d.u.pd.num_choices + 1)); break;
        case PF_Param_POINT_3D: fx_->SetValue(i, Vec3(i, 2 * i, 3 * i)); break;
        }
    }
    Set("Ramp/Opacity Curve", kEditedCurve);
    auto params = Params();
    const RenderSettings fromArray = BuildSettingsFromParams(&call_->in, params.data());
    RenderSettings checkedOut;
    ASSERT_EQ(BuildSettingsByCheckout(&call_->in, checkedOut), PF_Err_NONE);
    EXPECT_TRUE(Fields(checkedOut) == Fields(fromArray));
    EXPECT_FALSE(Fields(checkedOut) == Fields(RenderSettings{})) << "the values were set";
    for (int c = 0; c < 5; ++c) {
        EXPECT_TRUE(SameBytes(checkedOut.rampCurves[c], fromArray.rampCurves[c])) << c;
        EXPECT_TRUE(SameBytes(checkedOut.gradientCurves[c], fromArray.gradientCurves[c])) << c;
    }
    EXPECT_TRUE(checkedOut.rampCurves[kCurveOpacity].Edited());
    EXPECT_TRUE(SameBytes(checkedOut.rampTimeOffsetCurve, fromArray.rampTimeOffsetCurve));
    EXPECT_TRUE(SameBytes(checkedOut.gradientTimeOffsetCurve, fromArray.gradientTimeOffsetCurve));
    EXPECT_EQ(fx_->OutstandingCheckouts(), 0);
    EXPECT_EQ(fx_->CheckoutLog().size(), 128u);

    // A failed checkout checks the earlier ones back in, in reverse, and leaves the record alone.
    const std::size_t logged = fx_->CheckoutLog().size();
    fx_->FailNthCheckout(10, PF_Err_OUT_OF_MEMORY);
    RenderSettings s;
    s.count = 777;
    EXPECT_EQ(BuildSettingsByCheckout(&call_->in, s), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(s.count, 777) << "the caller's record changed after a failure";
    const std::vector<int> first9 = {2, 4, 5, 28, 29, 32, 33, 34, 35};
    std::vector<std::pair<bool, int>> expected;
    for (int i : first9) expected.push_back({true, i});
    for (auto it = first9.rbegin(); it != first9.rend(); ++it) expected.push_back({false, *it});
    const auto log = fx_->CheckoutLog();
    EXPECT_EQ(decltype(expected)(log.begin() + logged, log.end()), expected);
    EXPECT_EQ(fx_->OutstandingCheckouts(), 0);
}

} // namespace
} // namespace strandel::test
