#include <gtest/gtest.h>

#include "host/SceneParams.h"
#include "host/render/RenderServices.h"
#include "layout/SourceFrames.h"
#include "support/SceneFixture.h"
#include "support/VecExpect.h"

namespace strandel::test {
namespace {

const char* kPath = R"({"name": "Path", "type": "null", "threeD": true})";

class SourceFramesTest : public SceneTest {
protected:
    void Start(const std::string& extraLayers, const std::vector<std::pair<std::string, std::string>>& sources,
               int downsample = 1)
    {
        Open(SceneWithPath(kPath, extraLayers));
        for (const auto& [param, layer] : sources) Set(param, layer);
        frame_.downsample = downsample;
        call_->frame = &frame_;
        call_->in.downsample_x = call_->in.downsample_y = {1, static_cast<A_u_long>(downsample)};
    }
    PF_Err Build()
    {
        SuiteCache suites(In()->pica_basicP);
        return BuildSourceList(In(), suites, CompTime(), slots_, list_, nullptr);
    }
    void ExpectEverythingReturned()
    {
        EXPECT_EQ(ReleaseSourceFrames(In(), slots_, nullptr), PF_Err_NONE);
        EXPECT_EQ(fx_->OutstandingCheckouts(), 0);
        EXPECT_EQ(H().render().worlds.LiveCount(), 0u);
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

const std::string kDot = R"({"name": "Dot", "type": "solid", "width": 64, "height": 64, "color": [1, 0, 0, 1]},)";

TEST_F(SourceFramesTest, OnlyChosenSlotsBecomeSourcesInSlotOrder)
{
    Start(kDot, {});
    ASSERT_EQ(Build(), PF_Err_NONE);
    EXPECT_TRUE(list_.empty());
    ExpectEverythingReturned();

    Set("Source Layer 5", "Dot");
    Set("Source Layer 2", "Dot");
    ASSERT_EQ(Build(), PF_Err_NONE);
    ASSERT_EQ(list_.size(), 2u);
    EXPECT_EQ(list_[0].slot, 1);
    EXPECT_EQ(list_[1].slot, 4);
    ExpectEverythingReturned();
}

TEST_F(SourceFramesTest, AFlatQuadIsTheScaledLayerAnchoredAtItsAnchorPoint)
{
    Start(R"({"name": "Dot", "type": "solid", "width": 64, "height": 40,
              "transform": {"scale": [50, 100, 100], "anchorPoint": [16, 10]}},)",
          {{"Source Layer 1", "Dot"}});
    ASSERT_EQ(Build(), PF_Err_NONE);
    ASSERT_EQ(list_.size(), 1u);
    ASSERT_EQ(list_[0].quads.size(), 1u);
    const SourceQuad& q = list_[0].quads[0];
    // Half as wide; the anchor (16, 10) of a 64 x 40 layer lands on the origin.
    ExpectVecNear(q.corners[0], {-8, -10, 0});
    ExpectVecNear(q.corners[2], {24, 30, 0});
    EXPECT_EQ(q.uMax, 63);
    EXPECT_EQ(q.vMax, 39);
    EXPECT_EQ(q.image.format, PixelFormat::Argb8);
    ExpectEverythingReturned();
}

TEST_F(SourceFramesTest, AtHalfResolutionTheImageHalvesButTheQuadKeepsItsSize)
{
    Start(kDot, {{"Source Layer 1", "Dot"}}, 2);
    ASSERT_EQ(Build(), PF_Err_NONE);
    ASSERT_EQ(list_.size(), 1u);
    const SourceQuad& q = list_[0].quads[0];
    EXPECT_EQ(q.image.width, 32);
    ExpectVecNear(q.corners[0], {-32, -32, 0});
    ExpectVecNear(q.corners[2], {32, 32, 0});
    EXPECT_EQ(q.uMax, 31);
    ExpectEverythingReturned();
}

TEST_F(SourceFramesTest, AShapeLayerShowsOnlyItsShape)
{
    Start(R"({"name": "Box", "type": "shape", "width": 100, "height": 80, "color": [0, 1, 0, 1],
              "shape": {"kind": "rect", "size": [20, 10], "position": [30, 40]}},)",
          {{"Source Layer 1", "Box"}});
    ASSERT_EQ(Build(), PF_Err_NONE);
    ASSERT_EQ(list_.size(), 1u);
    const SourceQuad& q = list_[0].quads[0];
    // The quad spans the shape's bounds (20 x 10 at x 20..40, y 35..45); the anchor, the layer's
    // centre (50, 40), sits 30 right of the shape's left edge and 5 below its top.
    ExpectVecNear(q.corners[0], {-30, -5, 0});
    ExpectVecNear(q.corners[2], {-10, 5, 0});
    EXPECT_EQ(q.uMin, 20);
    EXPECT_EQ(q.vMin, 35);
    EXPECT_EQ(q.uMax, 39);
    EXPECT_EQ(q.vMax, 44);
    ExpectEverythingReturned();
}

TEST_F(SourceFramesTest, ACollapsed3DPrecompGivesAQuadPerVisibleLayer)
{
    const std::string scene = R"({"comps": [{"name": "Main", "width": 200, "height": 100, "frameRate": 30,
        "duration": 1, "layers": [
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
           "transform": {"position": [70, 40, 25]}}]}]})";
    Open(scene);
    call_->frame = &frame_;
    ASSERT_EQ(Build(), PF_Err_NONE);
    ASSERT_EQ(list_.size(), 1u);
    const std::vector<SourceQuad>& quads = list_[0].quads;
    ASSERT_EQ(quads.size(), 2u) << "camera, null and disabled layers give no quads";
    // Each inner layer's corners go through its transform, relative to the precomp's centre (50, 30).
    ExpectVecNear(quads[0].corners[0], {-25, -20, -15}, 1e-9);
    ExpectVecNear(quads[0].corners[2], {-15, 0, -15}, 1e-9);
    ExpectVecNear(quads[1].corners[0], {15, 5, 25}, 1e-9);
    EXPECT_EQ(quads[0].image.width, 10);
    EXPECT_EQ(quads[0].image.height, 20);
    ExpectEverythingReturned();
}

InstanceList ShiftedInstances(const std::vector<double>& offsets)
{
    InstanceList list;
    for (double t : offsets) {
        SpriteInstance s;
        s.timeOffset = t;
        list.push_back(s);
    }
    return list;
}

TEST_F(SourceFramesTest, TimeShiftedFramesAreSharedAndTheFullCacheReusesTheNearest)
{
    Start(kDot, {{"Source Layer 1", "Dot"}});
    ASSERT_EQ(Build(), PF_Err_NONE);
    std::vector<double> offsets = {0.1, 0.1 + 0.01, 0.0}; // the first two round to the same frame
    for (int i = 0; i < 300; ++i) offsets.push_back(1 + i / 30.0);
    InstanceList instances = ShiftedInstances(offsets);
    ShiftedFrames shifted;
    SuiteCache suites(In()->pica_basicP);
    ASSERT_EQ(ResolveInstanceFrames(In(), suites, CompTime(), list_, slots_, shifted, instances, nullptr, nullptr),
              PF_Err_NONE);
    EXPECT_EQ(shifted.size(), kMaxOffsetFrames);
    EXPECT_EQ(instances[0].frame, instances[1].frame);
    EXPECT_NE(instances[0].frame, nullptr);
    EXPECT_EQ(instances[2].frame, nullptr) << "an unshifted copy keeps the frame it had";
    // Beyond 256 distinct frames a copy shows the fetched frame nearest to its own time.
    const SpriteInstance& last = instances.back();
    EXPECT_EQ(last.frame, instances[3 + 254].frame);
    ExpectEverythingReturned();
}

TEST_F(SourceFramesTest, AFailedCheckoutEndsTheFrameAndEverythingIsStillReturned)
{
    Start(kDot, {{"Source Layer 1", "Dot"}});
    ASSERT_EQ(Build(), PF_Err_NONE);
    InstanceList instances = ShiftedInstances({0.5, 1.0, 1.5});
    fx_->FailNthCheckout(2, PF_Err_OUT_OF_MEMORY);
    ShiftedFrames shifted;
    SuiteCache suites(In()->pica_basicP);
    EXPECT_EQ(ResolveInstanceFrames(In(), suites, CompTime(), list_, slots_, shifted, instances, nullptr, nullptr),
              PF_Err_OUT_OF_MEMORY);
    ExpectEverythingReturned();
}

} // namespace
} // namespace strandel::test
