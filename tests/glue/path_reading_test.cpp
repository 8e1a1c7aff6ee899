#include <gtest/gtest.h>

#include "path/PathReader.h"
#include "frame/GlobalState.h"
#include "support/SceneFixture.h"

namespace strandel::test {
namespace {

class PathReadingTest : public SceneTest {
protected:
    bool Read(std::vector<PathKeyframe>& keys)
    {
        SuiteCache suites(In()->pica_basicP);
        return ReadPathKeyframes(In(), suites, CompTime(), keys);
    }
    uint64_t Signature()
    {
        SuiteCache suites(In()->pica_basicP);
        auto found = GetLayerFromLayerParam(suites, ToComp(), EffectOf(suites), 3, CompTime());
        uint64_t sig = 0;
        EXPECT_TRUE(ComputePathSignature(suites, found.layer, found.layerId, sig));
        suites.Get<AEGP_EffectSuite5>().AEGP_DisposeEffect(effect_);
        return sig;
    }
    AEGP_CompH ToComp() { return reinterpret_cast<AEGP_CompH>(&H().project().comps[0]); }
    AEGP_EffectRefH EffectOf(SuiteCache& suites)
    {
        suites.Get<AEGP_PFInterfaceSuite1>().AEGP_GetNewEffectForEffect(PluginId(), In()->effect_ref, &effect_);
        return effect_;
    }
    AEGP_EffectRefH effect_ = nullptr;
};

const char* kPath3D = R"({"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
    {"time": 0, "value": [10, 20, 30], "outTangent": [5, 0, -5]},
    {"time": 1, "value": [110, 20, 60], "inTangent": [-5, 1, 0]}]}}})";

TEST_F(PathReadingTest, ReadsPositionsAndSpatialTangents)
{
    Open(SceneWithPath(kPath3D));
    std::vector<PathKeyframe> keys;
    ASSERT_TRUE(Read(keys));
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].position, Vec3(10, 20, 30));
    EXPECT_EQ(keys[0].outTangent, Vec3(5, 0, -5));
    EXPECT_EQ(keys[1].position, Vec3(110, 20, 60));
    EXPECT_EQ(keys[1].inTangent, Vec3(-5, 1, 0));
}

TEST_F(PathReadingTest, A2DPathLiesInThePlaneZ0)
{
    Open(SceneWithPath(R"({"name": "Path", "type": "null", "transform": {"position": {"keys": [
        {"time": 0, "value": [10, 20], "outTangent": [3, 4]}, {"time": 1, "value": [50, 60]}]}}})"));
    std::vector<PathKeyframe> keys;
    ASSERT_TRUE(Read(keys));
    EXPECT_EQ(keys[0].position, Vec3(10, 20, 0));
    EXPECT_EQ(keys[0].outTangent, Vec3(3, 4, 0));
}

TEST_F(PathReadingTest, RefusesPathsThatCannotBeReadAsPlainKeyframes)
{
    const std::string twoKeys = R"("keys": [{"time": 0, "value": [0, 0, 0]}, {"time": 1, "value": [100, 0, 0]}])";
    struct Case {
        const char* what;
        std::string pathLayer, extra;
    };
    const std::vector<Case> cases = {
        {"one key", R"({"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
            {"time": 0, "value": [1, 2, 3]}]}}})", ""},
        {"no keys", R"({"name": "Path", "type": "null", "threeD": true, "transform": {"position": [1, 2, 3]}})", ""},
        {"separated", R"({"name": "Path", "type": "null", "threeD": true, "transform": {"position": {)" + twoKeys +
                          R"(, "separated": true}}})", ""},
        {"expression", R"({"name": "Path", "type": "null", "threeD": true, "transform": {"position": {)" + twoKeys +
                           R"(, "expression": true}}})", ""},
        {"parented", R"({"name": "Path", "type": "null", "threeD": true, "parent": "Holder", "transform": {"position": {)" +
                         twoKeys + "}}}",
         R"({"name": "Holder", "type": "null"},)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(SceneWithPath(c.pathLayer, c.extra));
        std::vector<PathKeyframe> keys = {PathKeyframe{}};
        EXPECT_FALSE(Read(keys));
        EXPECT_TRUE(keys.empty() || std::string(c.what) == "one key" || std::string(c.what) == "parented");
        TearDown();
    }
}

TEST_F(PathReadingTest, NoPathLayerChosenMeansNoPath)
{
    Open(SceneWithPath(kPath3D));
    fx_->SetValue(3, A_long{0});
    std::vector<PathKeyframe> keys;
    EXPECT_FALSE(Read(keys));
}

TEST_F(PathReadingTest, AFailingTangentQueryLeavesZeroTangents)
{
    Open(SceneWithPath(kPath3D));
    H().faults.spatialTangents = true;
    std::vector<PathKeyframe> keys;
    ASSERT_TRUE(Read(keys));
    EXPECT_EQ(keys[0].position, Vec3(10, 20, 30));
    EXPECT_EQ(keys[0].outTangent, Vec3());
}

TEST_F(PathReadingTest, SignatureFollowsTimesAndInterpolationThatTheGeometryIgnores)
{
    Open(SceneWithPath(kPath3D));
    std::vector<PathKeyframe> before, after;
    ASSERT_TRUE(Read(before));
    const uint64_t original = Signature();
    EXPECT_EQ(Signature(), original) << "the signature of an unchanged path moved";

    host::Layer* path = H().project().LayerById(H().project().comps[0].LayerByName("Path")->id);
    path->transform.position.keys[1].time = 1.5;
    const uint64_t retimed = Signature();
    EXPECT_NE(retimed, original);
    path->transform.position.keys[1].inInterpolation = host::Interpolation::Hold;
    EXPECT_NE(Signature(), retimed);
    ASSERT_TRUE(Read(after));
    EXPECT_EQ(after[1].position, before[1].position);
    EXPECT_EQ(after[1].inTangent, before[1].inTangent);

    path->transform.position.keys[1].value.x += 1;
    EXPECT_NE(Signature(), retimed);
}

} // namespace
} // namespace strandel::test
