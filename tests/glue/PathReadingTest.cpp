// The Path Layer's keys and the comp's camera, read from the host as a render reads them.
#include <gtest/gtest.h>

#include <functional>

#include "frame/GlobalState.h"
#include "path/CameraReader.h"
#include "path/PathReader.h"
#include "support/SceneFixture.h"
#include "support/VecExpect.h"

namespace strandel::test {
namespace {

class PathReadingTest : public SceneTest {
protected:
    bool Read(std::vector<PathKeyframe>& keys)
    {
        SuiteCache suites(In()->pica_basicP);
        return ReadPathKeyframes(In(), suites, CompTime(), keys);
    }
    CameraInfo Camera(int outW = 200, int outH = 100)
    {
        SuiteCache suites(In()->pica_basicP);
        PF_LayerDef output{};
        output.width = outW;
        output.height = outH;
        return ReadCompCamera(In(), suites, CompTime(), output);
    }
    uint64_t Signature()
    {
        SuiteCache suites(In()->pica_basicP);
        AEGP_EffectRefH effect = nullptr;
        suites.Get<AEGP_PFInterfaceSuite1>().AEGP_GetNewEffectForEffect(PluginId(), In()->effect_ref, &effect);
        const auto comp = reinterpret_cast<AEGP_CompH>(&H().project().comps[0]);
        auto found = GetLayerFromLayerParam(suites, comp, effect, 3, CompTime());
        uint64_t sig = 0;
        EXPECT_TRUE(ComputePathSignature(suites, found.layer, found.layerId, sig));
        suites.Get<AEGP_EffectSuite5>().AEGP_DisposeEffect(effect);
        return sig;
    }
};

std::string PathLayer(const std::string& fields, const std::string& position)
{
    return R"({"name": "Path", "type": "null")" + fields + R"(, "transform": {"position": )" + position + "}}";
}

const std::string kTwoKeys = R"("keys": [{"time": 0, "value": [10, 20, 30], "outTangent": [5, 0, -5]},
    {"time": 1, "value": [110, 20, 60], "inTangent": [-5, 1, 0]}])";
const std::string kPath3D = PathLayer(R"(, "threeD": true)", "{" + kTwoKeys + "}");

TEST_F(PathReadingTest, ReadsPlainKeyframesAndRefusesAnyOtherPath)
{
    const PathKeyframe first{{10, 20, 30}, {}, {5, 0, -5}}, second{{110, 20, 60}, {-5, 1, 0}, {}};
    const struct {
        const char* what;
        std::string pathLayer, extraLayers;
        std::function<void()> setup;
        std::vector<PathKeyframe> keys; // empty: refused
    } cases[] = {
        // clang-format off
        {"3D keys with spatial tangents", kPath3D, "", nullptr, {first, second}},
        {"2D keys lie in the plane z = 0",
         PathLayer("", R"({"keys": [{"time": 0, "value": [10, 20], "outTangent": [3, 4]}, {"time": 1, "value": [50, 60]}]})"),
         "", nullptr, {{{10, 20, 0}, {}, {3, 4, 0}}, {{50, 60, 0}, {}, {}}}},
        {"a failing tangent query leaves zero tangents", kPath3D, "",
         [this] { H().faults.spatialTangents = true; }, {{first.position, {}, {}}, {second.position, {}, {}}}},
        {"one key", PathLayer(R"(, "threeD": true)", R"({"keys": [{"time": 0, "value": [1, 2, 3]}]})"), "", nullptr, {}},
        {"no keys", PathLayer(R"(, "threeD": true)", "[1, 2, 3]"), "", nullptr, {}},
        {"separated", PathLayer(R"(, "threeD": true)", "{" + kTwoKeys + R"(, "separated": true})"), "", nullptr, {}},
        {"expression", PathLayer(R"(, "threeD": true)", "{" + kTwoKeys + R"(, "expression": true})"), "", nullptr, {}},
        {"parented", PathLayer(R"(, "threeD": true, "parent": "Holder")", "{" + kTwoKeys + "}"),
         R"({"name": "Holder", "type": "null"},)", nullptr, {}},
        {"no path layer chosen", kPath3D, "", [this] { fx_->SetValue(3, A_long{0}); }, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(SceneWithPath(c.pathLayer, c.extraLayers));
        if (c.setup) c.setup();
        std::vector<PathKeyframe> keys = {PathKeyframe{}};
        EXPECT_EQ(Read(keys), !c.keys.empty());
        if (!c.keys.empty()) {
            ASSERT_EQ(keys.size(), c.keys.size());
            for (std::size_t k = 0; k < keys.size(); ++k) {
                EXPECT_EQ(keys[k].position, c.keys[k].position) << k;
                EXPECT_EQ(keys[k].inTangent, c.keys[k].inTangent) << k;
                EXPECT_EQ(keys[k].outTangent, c.keys[k].outTangent) << k;
            }
        }
        TearDown();
    }
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

TEST_F(PathReadingTest, ReadsTheCompCameraOrTheDefaultViewAtTheRendersScale)
{
    const double hostZoom = 200 * 50.0 / 36.0;
    // clang-format off
    const struct { const char* what; std::string camera, fxTransform; bool fault, hasCamera; double zoom;
                   Vec3 position, forward, right; } cases[] = {
        {"the host's default camera", "", "{}", false, true, hostZoom, {100, 50, -hostZoom}, {0, 0, 1}, {1, 0, 0}},
        // Looking along +X from the left: forward (1, 0, 0), right = Y x forward = (0, 0, -1), whatever
        // the effect layer's own transform.
        {"a point-of-interest camera", R"({"name": "Cam", "type": "camera", "zoom": 400,
            "transform": {"position": [-300, 50, 0], "pointOfInterest": [100, 50, 0]}},)",
         R"({"rotation": 30, "position": [80, 40], "scale": [50, 200, 100]})", false, true, 400, {-300, 50, 0},
         {1, 0, 0}, {0, 0, -1}},
        {"no camera matrix", "", "{}", true, false, 200, {100, 50, -200}, {0, 0, 1}, {1, 0, 0}},
        {"an effect layer that cannot be inverted", "", R"({"scale": [0, 0, 100]})", false, false, 200,
         {100, 50, -200}, {0, 0, 1}, {1, 0, 0}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(SceneWithPath(kPath3D, c.camera, c.fxTransform));
        H().faults.cameraMatrix = c.fault;
        const CameraInfo cam = Camera();
        EXPECT_EQ(cam.hasCamera, c.hasCamera);
        EXPECT_NEAR(cam.zoom, c.zoom, 1e-9);
        ExpectVecNear(cam.cameraPosition, c.position, 1e-9);
        ExpectVecNear(cam.cameraForward, c.forward);
        ExpectVecNear(cam.cameraRight, c.right);
        ExpectVecNear(cam.cameraDown, {0, 1, 0});
        EXPECT_EQ(cam.compWidth, 200);
        EXPECT_EQ(cam.compHeight, 100);
        TearDown();
    }

    // The render's downsampling and buffer origin; the comp's own size, not the buffer's.
    Open(SceneWithPath(kPath3D));
    call_->in.downsample_x = {1, 2};
    call_->in.downsample_y = {1, 3};
    call_->in.output_origin_x = 7;
    const CameraInfo cam = Camera(100, 34);
    EXPECT_EQ(cam.downsampleX, 0.5);
    EXPECT_NEAR(cam.downsampleY, 1.0 / 3, 1e-15);
    EXPECT_EQ(cam.originX, 7);
    EXPECT_EQ(cam.compWidth, 200);
    // Without a camera the comp's size comes from its item, down to the smallest comp there is.
    H().faults.cameraMatrix = true;
    H().project().comps[0].height = 1;
    EXPECT_EQ(Camera(100, 34).compHeight, 1);
}

} // namespace
} // namespace strandel::test
