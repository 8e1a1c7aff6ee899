// The parameter set as the host receives it, values kept by the host, and curves that survive
// save, load and keyframe interpolation through the plug-in's callbacks.
#include <gtest/gtest.h>

#include "frame/ParamIndex.h"
#include "host/CurveRecord.h"
#include "host/HostError.h"
#include "host/SceneParams.h"
#include "support/HostFixture.h"

namespace strandel::test {
namespace {

using nlohmann::json;

class ParamsTest : public HostTest {
protected:
    host::EffectInstance& Effect()
    {
        StartHost();
        EXPECT_EQ(H().GlobalSetup(), PF_Err_NONE);
        return H().AddInstance();
    }
    static host::LayerIdByName NoLayers()
    {
        return [](const std::string&) { return std::nullopt; };
    }
};

TEST_F(ParamsTest, AFailedAddStopsDefinitionAndLeaksNoCurve)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    for (int n : {1, 50, 108, 110, 120}) {
        SCOPED_TRACE(n);
        {
            host::EffectInstance fx(H());
            fx.FailNthAdd(n, PF_Err_OUT_OF_MEMORY);
            EXPECT_EQ(fx.Setup(), PF_Err_OUT_OF_MEMORY);
            EXPECT_EQ(fx.paramCount(), n); // the input layer and the n - 1 rows before the failure
            int curvesAdded = std::max(0, n - 108);
            // Each curve added so far: its default plus the value the host copied from it.
            EXPECT_EQ(H().handles().LiveCount(), static_cast<std::size_t>(2 * curvesAdded));
        }
        EXPECT_EQ(H().handles().LiveCount(), 0u);
    }
}

TEST_F(ParamsTest, NamesResolveByPanelNameOrGroupPath)
{
    host::EffectInstance& fx = Effect();
    EXPECT_EQ(fx.Resolve("Count"), 32);
    EXPECT_EQ(fx.Resolve("Ramp/Scale"), 63);
    EXPECT_EQ(fx.Resolve("Render/Opacity"), 102);
    EXPECT_EQ(fx.Resolve("Array/Count"), 32);
    const std::pair<const char*, std::vector<const char*>> refused[] = {
        {"Scale", {"Array Transform/Scale", "Object Transform/Scale", "Ramp/Scale", "Random/Scale"}},
        {"Array/Spacingg", {"unknown parameter \"Array/Spacingg\""}}};
    for (const auto& [name, says] : refused) {
        try {
            fx.Resolve(name);
            ADD_FAILURE() << name << " resolved";
        } catch (const host::HostError& e) {
            for (const char* c : says) EXPECT_NE(std::string(e.what()).find(c), std::string::npos) << e.what();
        }
    }
}

// Popups, checkboxes, angles, layers and keyframed numbers are held by the example scenes' golden
// images; here what those scenes do not use, and the values a scene may not give.
TEST_F(ParamsTest, SceneValuesConvertClampWithAWarningAndRefuse)
{
    host::EffectInstance& fx = Effect();
    std::vector<std::string> warnings;
    auto apply = [&](const char* name, const json& v) { host::ApplySceneParam(fx, name, v, NoLayers(), warnings); };
    apply("Count", 5000);
    apply("Position", json::array({1, 2, 3}));
    apply("Offset", {{"keys", {{{"time", 0}, {"value", 0}}, {{"time", 2}, {"value", 100}}}}});
    apply("Quality", {{"keys", {{{"time", 0}, {"value", "Draft"}}, {{"time", 1}, {"value", "High"}}}}});
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Array/Count"), std::string::npos) << warnings[0];
    EXPECT_EQ(fx.DefAt(32, 0).u.sd.value, 1000);
    EXPECT_EQ(fx.DefAt(39, 0).u.point3d_d.z_value, 3.0);
    EXPECT_DOUBLE_EQ(fx.DefAt(34, 0.5).u.fs_d.value, 25.0);
    EXPECT_DOUBLE_EQ(fx.DefAt(34, 5).u.fs_d.value, 100.0);
    EXPECT_EQ(fx.DefAt(105, 0.99).u.pd.value, 1);
    EXPECT_EQ(fx.DefAt(105, 1).u.pd.value, 3);

    for (auto [name, value] : {std::pair<const char*, json>{"Orientation Mode", "Sideways"},
                               {"Count", "many"},
                               {"Path Layer", "Nowhere"},
                               {"Generate Path", 1}}) {
        EXPECT_THROW(apply(name, value), host::HostError) << name;
    }
}

std::vector<host::CurvePointValues> EaseCurve(double y1)
{
    return {{0, 0, 0, 0, 0.25, 0}, {0.5, y1, -0.1, 0, 0.1, 0}, {1, 1, -0.25, 0, 0, 0}};
}

json PointsJson(const std::vector<host::CurvePointValues>& pts)
{
    json out = json::array();
    for (const auto& p : pts) out.push_back(json(p));
    return out;
}

TEST_F(ParamsTest, CurvesSurviveSaveAndLoadByteForByte)
{
    host::EffectInstance& fx = Effect();
    std::vector<std::string> warnings;
    host::ApplySceneParam(fx, "Ramp/Scale Curve", PointsJson(EaseCurve(0.3)), NoLayers(), warnings);
    const int data = fx.Resolve("__Scale Curve Data");
    EXPECT_EQ(data, 111);

    PF_Handle stored = std::get<PF_Handle>(fx.track(data).keys[0].value);
    std::vector<uint8_t> saved = fx.ArbFlatten(data, stored);
    ASSERT_EQ(saved.size(), host::kCurveRecordBytes);
    PF_Handle loaded = fx.ArbUnflatten(data, saved);
    EXPECT_EQ(fx.ArbFlatten(data, loaded), saved);
    EXPECT_TRUE(fx.ArbEqual(data, stored, loaded));
    fx.ArbDispose(data, loaded);

    json back = host::SceneParamValue(fx, data, [](A_long) { return std::nullopt; });
    EXPECT_EQ(back, PointsJson(EaseCurve(0.3)));
    auto decoded = host::DecodeCurveRecord(saved);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->edited) << "a curve written by a scene counts as edited";
}

// Outside a render a layer parameter (23) carries no pixels.
TEST_F(ParamsTest, CheckoutsAreTrackedUntilCheckedIn)
{
    host::EffectInstance& fx = Effect();
    auto call = fx.NewCall();
    PF_InteractCallbacks& cb = call->in.inter;
    PF_ParamDef a{}, b{}, layer{};
    ASSERT_EQ(cb.checkout_param(call->in.effect_ref, 32, 0, 1, 30, &a), PF_Err_NONE);
    ASSERT_EQ(cb.checkout_param(call->in.effect_ref, 111, 0, 1, 30, &b), PF_Err_NONE);
    ASSERT_EQ(cb.checkout_param(call->in.effect_ref, 23, 0, 1, 30, &layer), PF_Err_NONE);
    EXPECT_EQ(a.u.sd.value, 20);
    EXPECT_EQ(layer.u.ld.data, nullptr);
    EXPECT_EQ(fx.OutstandingCheckouts(), 3);
    EXPECT_EQ(cb.checkout_param(call->in.effect_ref, 500, 0, 1, 30, &a), PF_Err_INVALID_INDEX);
    EXPECT_EQ(cb.checkin_param(call->in.effect_ref, &a), PF_Err_NONE);
    EXPECT_EQ(cb.checkin_param(call->in.effect_ref, &a), PF_Err_BAD_CALLBACK_PARAM);
    for (PF_ParamDef* def : {&b, &layer}) EXPECT_EQ(cb.checkin_param(call->in.effect_ref, def), PF_Err_NONE);
    EXPECT_EQ(fx.OutstandingCheckouts(), 0);
}

} // namespace
} // namespace strandel::test
