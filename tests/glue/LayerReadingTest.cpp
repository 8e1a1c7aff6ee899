// What a render reads from the host: the Path Layer's keys, the comp's camera, and the source
// layers as quads.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "host/render/RenderServices.h"
#include "layout/SourceFrames.h"
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

const char* kPath = R"({"name": "Path", "type": "null", "threeD": true})";
const std::string kDot = R"({"name": "Dot", "type": "solid", "width": 64, "height": 64, "color": [1, 0, 0, 1]},)";

class SourceFramesTest : public SceneTest {
protected:
    void Start(const std::string& extraLayers, const std::vector<std::pair<std::string, std::string>>& sources,
               int downsample = 1, host::PixelDepth depth = host::PixelDepth::Eight)
    {
        Open(SceneWithPath(kPath, extraLayers));
        for (const auto& [param, layer] : sources) Set(param, layer);
        frame_ = {depth, downsample};
        call_->frame = &frame_;
        call_->in.downsample_x = call_->in.downsample_y = {1, static_cast<A_u_long>(downsample)};
    }
    PF_Err Build()
    {
        SuiteCache suites(In()->pica_basicP);
        return BuildSourceList({In(), suites, CompTime()}, slots_, list_);
    }
    void ExpectEverythingReturned()
    {
        EXPECT_EQ(ReleaseSourceFrames(In(), slots_, nullptr), PF_Err_NONE);
        EXPECT_EQ(fx_->OutstandingCheckouts(), 0);
        EXPECT_EQ(H().render().worlds.LiveCount(), 0u);
        EXPECT_EQ(H().render().receipts.LiveCount(), 0u);
        EXPECT_EQ(H().render().renderOptions.LiveCount(), 0u);
    }
    void TearDown() override
    {
        if (host_) ReleaseSourceFrames(In(), slots_, nullptr);
        SceneTest::TearDown();
    }

    host::FrameContext frame_;
    SourceSlots slots_;
    SourceList list_;
};

TEST_F(SourceFramesTest, AFlatLayerIsOneQuadAnchoredAtItsAnchorPointAtAnyResolution)
{
    const std::string shape = R"({"name": "Dot", "type": "shape", "width": 100, "height": 80, "color": [0, 1, 0, 1],
        "shape": {"kind": "rect", "size": [20, 10], "position": [30, 40]}},)";
    using Depth = host::PixelDepth;
    // clang-format off
    const struct { const char* what; std::string layer; int downsample; Depth depth;
                   Vec3 first, third; /* corners 0 and 2 */ double uMin, vMin, uMax, vMax; int32_t imageWidth; } cases[] = {
        // Half as wide; the anchor (16, 10) of a 64 x 40 layer lands on the origin.
        {"scaled solid", R"({"name": "Dot", "type": "solid", "width": 64, "height": 40,
            "transform": {"scale": [50, 100, 100], "anchorPoint": [16, 10]}},)", 1, Depth::Eight,
         {-8, -10, 0}, {24, 30, 0}, 0, 0, 63, 39, 64},
        {"half resolution", kDot, 2, Depth::Eight, {-32, -32, 0}, {32, 32, 0}, 0, 0, 31, 31, 32},
        // 22 pixels stand for 66: the anchor keeps its place as a fraction of the layer's 64.
        {"a third of the resolution", kDot, 3, Depth::Sixteen, {-33, -33, 0}, {33, 33, 0}, 0, 0, 21, 21, 22},
        // The quad spans the shape's bounds (20 x 10 at x 20..40, y 35..45); the anchor, the layer's
        // centre (50, 40), sits 30 right of the shape's left edge and 5 below its top.
        {"shape", shape, 1, Depth::Eight, {-30, -5, 0}, {-10, 5, 0}, 20, 35, 39, 44, 100},
        {"shape in float", shape, 1, Depth::Float, {-30, -5, 0}, {-10, 5, 0}, 20, 35, 39, 44, 100},
        // Rows of the image stand for two of the layer's one: the anchor keeps to the layer's size.
        {"one pixel high, at half resolution", R"({"name": "Dot", "type": "solid", "width": 4, "height": 1},)", 2,
         Depth::Eight, {-2, -1, 0}, {2, 1, 0}, 0, 0, 1, 0, 2},
    };
    const std::map<Depth, PixelFormat> formats = {
        {Depth::Eight, PixelFormat::Argb8}, {Depth::Sixteen, PixelFormat::Argb16}, {Depth::Float, PixelFormat::ArgbFloat}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.layer, {{"Source Layer 1", "Dot"}}, c.downsample, c.depth);
        ASSERT_EQ(Build(), PF_Err_NONE);
        ASSERT_EQ(list_.size(), 1u);
        ASSERT_EQ(list_[0].quads.size(), 1u);
        const SourceQuad& q = list_[0].quads[0];
        ExpectVecNear(q.corners[0], c.first);
        ExpectVecNear(q.corners[2], c.third);
        EXPECT_EQ(std::vector<double>({q.uMin, q.vMin, q.uMax, q.vMax}),
                  std::vector<double>({c.uMin, c.vMin, c.uMax, c.vMax}));
        EXPECT_EQ(q.image.width, c.imageWidth);
        EXPECT_EQ(q.image.format, formats.at(c.depth));
        ExpectEverythingReturned();
        TearDown();
    }
}

// A host may lend a shape or text layer's pixels with an origin: world pixel (0, 0) then lies at
// (origin_x, origin_y) in the layer, and the quad moves with it.
PF_Err (*gHostCheckout)(PF_ProgPtr, PF_ParamIndex, A_long, A_long, A_u_long, PF_ParamDef*) = nullptr;
constexpr A_long kOriginX = 6, kOriginY = -4;

PF_Err CheckoutWithOrigin(PF_ProgPtr ref, PF_ParamIndex index, A_long time, A_long step, A_u_long scale,
                          PF_ParamDef* def)
{
    const PF_Err err = gHostCheckout(ref, index, time, step, scale, def);
    def->u.ld.origin_x = kOriginX;
    def->u.ld.origin_y = kOriginY;
    return err;
}

TEST_F(SourceFramesTest, AWorldLentWithAnOriginMovesTheQuadByIt)
{
    // An empty shape has no visible bounds: the quad is the whole world about the layer's anchor.
    const std::string empty = R"({"name": "Dot", "type": "shape", "width": 40, "height": 30,
        "shape": {"kind": "rect", "size": [0, 0], "position": [20, 15]}},)";
    std::array<SourceQuad, 2> quads;
    for (bool origin : {false, true}) {
        Start(empty, {{"Source Layer 1", "Dot"}});
        if (origin) gHostCheckout = std::exchange(call_->in.inter.checkout_param, CheckoutWithOrigin);
        ASSERT_EQ(Build(), PF_Err_NONE);
        ASSERT_EQ(list_.size(), 1u);
        quads[origin] = list_[0].quads.at(0);
        ExpectEverythingReturned();
        TearDown();
    }
    for (int c = 0; c < 4; ++c) ExpectVecNear(quads[1].corners[c], quads[0].corners[c] + Vec3{kOriginX, kOriginY, 0});
}

TEST_F(SourceFramesTest, ACollapsed3DPrecompGivesAQuadPerVisibleLayer)
{
    Open(R"({"comps": [{"name": "Main", "width": 200, "height": 100, "frameRate": 30, "duration": 1, "layers": [
          {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {
             "Path Layer": "Path", "Source Layer 1": "Group"}}]},
          {"name": "Path", "type": "null", "threeD": true},
          {"name": "Group", "type": "precomp", "comp": "Inner", "threeD": true, "collapse": true}]},
        {"name": "Inner", "width": 100, "height": 60, "frameRate": 30, "duration": 1, "layers": [
          {"name": "Cam", "type": "camera"},
          {"name": "Marker", "type": "null", "threeD": true},
          {"name": "Near", "type": "solid", "width": 10, "height": 20, "threeD": true,
           "transform": {"position": [30, 20, -15]}},
          {"name": "Hidden", "type": "solid", "width": 10, "height": 10, "enabled": false},
          {"name": "Far", "type": "solid", "width": 10, "height": 10, "threeD": true,
           "transform": {"position": [70, 40, 25]}}]}]})");
    call_->frame = &frame_;
    ASSERT_EQ(Build(), PF_Err_NONE);
    ASSERT_EQ(list_.size(), 1u);
    const std::vector<SourceQuad>& quads = list_[0].quads;
    ASSERT_EQ(quads.size(), 2u) << "camera, null and disabled layers give no quads";
    // Each inner layer's corners go through its transform, relative to the precomp's centre (50, 30).
    ExpectVecNear(quads[0].corners[0], {-25, -20, -15}, 1e-9);
    ExpectVecNear(quads[0].corners[2], {-15, 0, -15}, 1e-9);
    ExpectVecNear(quads[1].corners[0], {15, 5, 25}, 1e-9);
    EXPECT_EQ(quads[0].image.height, 20);
    ExpectEverythingReturned();

    // A layer the host fails to render, or to lend, ends the frame with the error.
    for (std::atomic<bool>* fault : {&H().faults.frameRender, &H().faults.worldFillOut}) {
        *fault = true;
        EXPECT_NE(Build(), PF_Err_NONE);
        ExpectEverythingReturned();
        *fault = false;
    }
}

} // namespace
} // namespace strandel::test
