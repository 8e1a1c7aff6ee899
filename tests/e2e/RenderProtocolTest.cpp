// Frames of the loaded plug-in rendered through the host's protocol.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <set>
#include <thread>

#include "frame/PreRenderData.h"
#include "host/render/EffectRenderer.h"
#include "host/render/FrameCall.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"
#include "support/HostTestSupport.h"

namespace strandel::test {
namespace {

using host::FrameCall;
using host::FrameResult;
using host::PixelDepth;
using host::test::SamePixels;

// Fx (64 x 33) draws copies of Dot along a 3D path. Cluster is a collapsed 3D precomp, Hidden
// one whose only layer is switched off.
const char* kScene = R"({"comps": [
  {"name": "Main", "width": 64, "height": 33, "frameRate": 30, "duration": 2, "layers": [
    {"name": "Fx", "type": "solid", "color": [0, 0, 0, 1], "effects": [{"name": "Strandel",
     "params": {"Path Layer": "Path", "Source Layer 1": "Dot", "Count": 6, "Spacing": 150}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
        {"time": 0, "value": [6, 16, 0]}, {"time": 2, "value": [58, 16, 0]}]}}},
    {"name": "Dot", "type": "solid", "color": [1, 0.5, 0, 1], "width": 6, "height": 6},
    {"name": "Cluster", "type": "precomp", "comp": "Inner", "threeD": true, "collapse": true},
    {"name": "Hidden", "type": "precomp", "comp": "Switched Off", "threeD": true, "collapse": true}]},
  {"name": "Switched Off", "width": 20, "height": 20, "frameRate": 30, "duration": 2, "layers": [
    {"name": "C", "type": "solid", "threeD": true, "enabled": false, "color": [1, 0, 0, 1], "width": 8, "height": 8}]},
  {"name": "Inner", "width": 20, "height": 20, "frameRate": 30, "duration": 2, "layers": [
    {"name": "A", "type": "solid", "threeD": true, "color": [0, 1, 0, 1], "width": 8, "height": 8},
    {"name": "B", "type": "solid", "threeD": true, "color": [0, 0, 1, 1], "width": 6, "height": 6,
     "transform": {"position": [14, 14, 10]}}]}]})";

class RenderProtocolTest : public HostTest {
protected:
    void SetUp() override { fx_ = &OpenScene(kScene); }
    void TearDown() override
    {
        ExpectNothingHeld();
        HostTest::TearDown();
    }

    FrameResult Render(host::FrameRequest request, const std::atomic<bool>* cancel = nullptr)
    {
        FrameResult r = host::RenderEffectFrame(*fx_, request, cancel);
        EXPECT_TRUE(r.leaks.empty()) << r.leaks.front();
        ExpectNothingHeld();
        return r;
    }

    // Between frames the plug-in holds no world, receipt, render options, checkout or handle.
    void ExpectNothingHeld()
    {
        EXPECT_EQ(H().render().worlds.LiveCount(), 0u) << "lent worlds";
        EXPECT_EQ(H().render().receipts.LiveCount(), 0u) << "frame receipts";
        EXPECT_EQ(H().render().renderOptions.LiveCount(), 0u) << "render options";
        EXPECT_EQ(fx_->OutstandingCheckouts(), 0) << "parameter checkouts";
        EXPECT_EQ(H().suites().Outstanding(), 0) << "suites";
        EXPECT_EQ(H().log().liveEffectHandles + H().log().liveStreams + H().log().liveStreamValues, 0);
    }

    const host::Layer* Layer(const std::string& name) { return H().project().comps.front().LayerByName(name); }

    static int OpaquePixels(const host::Image& image)
    {
        int n = 0;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) n += image.Get(x, y).a > 0;
        return n;
    }

    host::EffectInstance* fx_ = nullptr;
};

bool operator==(const PF_LRect& a, const PF_LRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(RenderProtocolTest, PreRenderIsAskedForTheWholeOutputAndRegistersItsLayers)
{
    // The host's request against what the plug-in answers: cut to the layer, or the whole
    // layer when the request misses it or is empty. At half resolution the layer is 32 x 17.
    // clang-format off
    const struct { int downsample; PF_LRect request, result; } cases[] = {
        {1, {0, 0, 64, 33}, {0, 0, 64, 33}},       {1, {-10, 4, 20, 50}, {0, 4, 20, 33}},
        {1, {100, 100, 120, 120}, {0, 0, 64, 33}}, {1, {0, 0, 0, 0}, {0, 0, 64, 33}},
        {2, {0, 0, 32, 17}, {0, 0, 32, 17}},       {2, {30, 10, 90, 90}, {30, 10, 32, 17}},
    };
    // clang-format on
    for (const auto& c : cases) {
        FrameCall frame(*fx_, {15, PixelDepth::Eight, c.downsample}, nullptr);
        ASSERT_EQ(frame.PreRender(c.request), PF_Err_NONE);
        const PF_LRect bounds{0, 0, c.downsample == 1 ? 64 : 32, c.downsample == 1 ? 33 : 17};
        EXPECT_TRUE(frame.PreRenderResult().result_rect == c.result) << c.request.left << "," << c.request.top;
        EXPECT_TRUE(frame.PreRenderResult().max_result_rect == bounds);
        EXPECT_NE(frame.PreRenderResult().pre_render_data, nullptr);
        EXPECT_EQ(frame.MixedIn().size(), 8u); // the plug-in's change counter
        EXPECT_TRUE(frame.Finish().empty());
    }

    // The path layer, the five source layers and the input, at the frame's time.
    FrameCall frame(*fx_, {15, PixelDepth::Eight, 1}, nullptr);
    ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
    const auto& registered = frame.Registered();
    std::vector<A_long> ids;
    for (const auto& [id, c] : registered) ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<A_long>{3, 23, 24, 25, 26, 27, kInputCheckoutId}));
    EXPECT_EQ(registered.at(kInputCheckoutId).layer, Layer("Fx"));
    EXPECT_EQ(registered.at(3).layer, Layer("Path"));
    EXPECT_EQ(registered.at(23).layer, Layer("Dot"));
    EXPECT_EQ(registered.at(24).layer, nullptr);
    EXPECT_DOUBLE_EQ(registered.at(23).seconds, 0.5);
    EXPECT_TRUE(registered.at(23).result.result_rect == (PF_LRect{0, 0, 6, 6}));
    EXPECT_TRUE(registered.at(24).result.max_result_rect == (PF_LRect{0, 0, 0, 0})) << "no layer: no pixels";
}

TEST_F(RenderProtocolTest, SmartAndLegacyRenderingGiveTheSameFrame)
{
    for (PixelDepth depth : {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float})
        for (int downsample : {1, 2, 3}) {
            const FrameResult smart = Render({20, depth, downsample, false});
            const FrameResult legacy = Render({20, depth, downsample, true});
            ASSERT_EQ(smart.err, PF_Err_NONE);
            ASSERT_EQ(legacy.err, PF_Err_NONE);
            EXPECT_FALSE(legacy.fromCache);
            EXPECT_EQ(smart.image.Width(), (64 + downsample - 1) / downsample);
            EXPECT_EQ(smart.image.Height(), (33 + downsample - 1) / downsample);
            EXPECT_GT(OpaquePixels(smart.image), 0) << "the copies are drawn";
            EXPECT_TRUE(SamePixels(smart.image, legacy.image))
                << "depth " << static_cast<int>(depth) << ", downsample " << downsample;
        }
}

TEST_F(RenderProtocolTest, EverythingLentComesBackAfterEachFrameAlsoAfterAnError)
{
    // Time-shifted copies of a collapsed precomp: shifted checkouts, and frame receipts for
    // the precomp's layers. TearDown and Render check that nothing is held afterwards.
    Set("Source Layer 1", "Cluster");
    Set("Source Layer 2", "Dot");
    Set("Time Random", 0.5);
    const int receiptsBefore = H().suites().AcquireCount(kAEGPRenderSuite);
    for (bool legacy : {false, true}) {
        const FrameResult r = Render({10, PixelDepth::Eight, 1, legacy});
        EXPECT_EQ(r.err, PF_Err_NONE);
        EXPECT_GT(OpaquePixels(r.image), 0);
    }
    EXPECT_GT(H().suites().AcquireCount(kAEGPRenderSuite), receiptsBefore) << "the precomp was rendered";

    // The output cannot be had, a source is not lent, the input fails to go back: the first and
    // last end the frame with the error, the source is left out; nothing is left lent.
    for (int failure = 0; failure < 3; ++failure) {
        SCOPED_TRACE(failure);
        FrameCall frame(*fx_, {10, PixelDepth::Eight, 1}, nullptr);
        if (failure == 0) frame.failOutputCheckout = PF_Err_OUT_OF_MEMORY;
        if (failure == 1) frame.failLayerCheckout = 24;
        if (failure == 2) frame.failLayerCheckin = kInputCheckoutId;
        ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
        EXPECT_EQ(frame.SmartRender(), failure == 1 ? PF_Err_NONE : PF_Err_OUT_OF_MEMORY);
        if (failure == 1) {
            EXPECT_GT(OpaquePixels(frame.Output()), 0);
        }
        EXPECT_TRUE(frame.Finish().empty());
    }
    ExpectNothingHeld();

    // What a frame leaves checked out, the host takes back at its end and says so.
    {
        FrameCall frame(*fx_, {10, PixelDepth::Eight, 1}, nullptr);
        ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
        PF_EffectWorld* pixels = nullptr;
        ASSERT_EQ(frame.SmartCallbacks().checkout_layer_pixels(frame.EffectRef(), 23, &pixels), PF_Err_NONE);
        const auto leaks = frame.Finish();
        ASSERT_EQ(leaks.size(), 1u);
        EXPECT_NE(leaks[0].find("23"), std::string::npos) << leaks[0];
    }

    // Legacy: the sixth parameter checkout is the first time-shifted source; it fails and ends
    // the frame after the five sources checked out before it went back.
    fx_->FailNthCheckout(6, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(Render({11, PixelDepth::Eight, 1, true}).err, PF_Err_OUT_OF_MEMORY);
}

// Hidden has pixels when checked out flat but gives the render no quad: its slot counts as empty
// in both commands, so the frame is the one drawn with Dot in its place, and pre-render asks for
// exactly the shifted frames the copies take. Each shifted frame is asked for once, snapped to a
// frame, and at most 256 of them.
TEST_F(RenderProtocolTest, TimeShiftedSourcesAreAskedForOnceAtMost256AndOnlyForSourcesTheRenderDraws)
{
    Set("Source Layer 2", "Dot");
    Set("Count", 20);
    Set("Time Random", 0.5);
    const FrameResult emptySlot = Render({10, PixelDepth::Eight, 1, false});
    ASSERT_EQ(emptySlot.err, PF_Err_NONE);
    ASSERT_GT(OpaquePixels(emptySlot.image), 0);
    Set("Source Layer 1", "Hidden");
    {
        FrameCall frame(*fx_, {10, PixelDepth::Eight, 1}, nullptr);
        ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
        ASSERT_EQ(frame.SmartRender(), PF_Err_NONE);
        std::set<A_long> shifted, taken;
        for (const auto& [id, c] : frame.Registered()) {
            if (id < kFirstShiftedCheckoutId) continue;
            shifted.insert(id);
            EXPECT_EQ(c.param, 24) << "a shifted frame of a source the render does not draw";
        }
        for (A_long id : frame.PixelsAskedFor())
            if (id >= kFirstShiftedCheckoutId) taken.insert(id);
        EXPECT_GT(shifted.size(), 1u);
        EXPECT_EQ(taken, shifted);
        EXPECT_TRUE(SamePixels(frame.Output(), emptySlot.image)) << "every copy is drawn";
        EXPECT_TRUE(frame.Finish().empty());
    }

    Set("Source Layer 3", "Cluster");
    Set("Count", 1000);
    // Within half a frame there is one shifted frame a source.
    // clang-format off
    const struct { const char* param; double value; std::size_t frames; } cases[] = {
        {"Time Random", 10, kMaxOffsetFrames}, {"Ramp/Time Offset", 0.01, 2}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.param);
        Set("Time Random", 0);
        Set(c.param, c.value);
        FrameCall frame(*fx_, {15, PixelDepth::Eight, 1}, nullptr);
        ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
        std::set<std::pair<const host::Layer*, double>> frames;
        for (const auto& [id, checkout] : frame.Registered()) {
            if (id < kFirstShiftedCheckoutId) continue;
            EXPECT_TRUE(frames.insert({checkout.layer, checkout.seconds}).second) << "a frame was asked for twice";
            EXPECT_TRUE(checkout.layer == Layer("Dot") || checkout.layer == Layer("Cluster"));
            EXPECT_NEAR(checkout.seconds * 30, std::round(checkout.seconds * 30), 1e-9) << "snapped to a frame";
            if (c.frames == 2) {
                EXPECT_EQ(checkout.seconds, 0.5);
            }
        }
        EXPECT_EQ(frames.size(), c.frames);
        EXPECT_TRUE(frame.Finish().empty());
    }
}

TEST_F(RenderProtocolTest, AMissingHostSuiteFailsTheFrameAndEverythingLentComesBack)
{
    // Without the keyframe suite the path cannot be read: the frame render turns that into 512.
    // Without the PF interface suite not even the frame's time can be had: smart render reports
    // 512, the legacy command the missing suite's own 516.
    Set("Source Layer 2", "Cluster");
    // clang-format off
    const struct { const char* suite; int32_t version; PF_Err legacy; } cases[] = {
        {kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion5, PF_Err_INTERNAL_STRUCT_DAMAGED},
        {kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1, PF_Err_BAD_CALLBACK_PARAM},
    };
    // clang-format on
    for (const auto& c : cases)
        for (bool legacy : {false, true}) {
            SCOPED_TRACE(std::string(c.suite) + (legacy ? ", legacy" : ", smart"));
            H().suites().Disable(c.suite, c.version);
            EXPECT_EQ(Render({10, PixelDepth::Eight, 1, legacy}).err,
                      legacy ? c.legacy : PF_Err_INTERNAL_STRUCT_DAMAGED);
            H().suites().Enable(c.suite, c.version);
        }
    EXPECT_EQ(Render({10, PixelDepth::Eight, 1, false}).err, PF_Err_NONE);
}

TEST_F(RenderProtocolTest, AnAbortEndsTheFrameEarlyWithoutError)
{
    const std::atomic<bool> cancelled{true};
    const FrameResult aborted = Render({12, PixelDepth::Eight, 1, false}, &cancelled);
    EXPECT_EQ(aborted.err, PF_Err_NONE);
    const FrameResult full = Render({12, PixelDepth::Eight, 1, false});
    EXPECT_FALSE(full.fromCache) << "an aborted frame is not kept";
    EXPECT_LT(OpaquePixels(aborted.image), OpaquePixels(full.image));
}

// Moving a path key changes none of the effect's parameters, so the host's cache would keep the
// old frame; the idle watcher's request makes the next render draw the new path.
TEST_F(RenderProtocolTest, AMovedPathKeyRendersAfreshAfterTheIdleScan)
{
    H().RunIdleHooks(); // the first scan takes note of the path
    const FrameResult before = Render({0});
    for (auto& key : H().project().comps[0].layers[1].transform.position.keys) key.value.y = 22;
    ++H().render().projectRevision;
    EXPECT_TRUE(Render({0}).fromCache) << "the host alone cannot see the path move";

    EXPECT_EQ(H().RunIdleHooks(), 0);
    const FrameResult after = Render({0});
    EXPECT_FALSE(after.fromCache);
    EXPECT_FALSE(SamePixels(after.image, before.image));
    H().render().cache.Clear();
    EXPECT_TRUE(SamePixels(Render({0}).image, after.image));
}

// As the compositor's multi-frame rendering does, while its idle loop runs the idle watcher on
// the UI thread. `make tsan` runs this suite.
TEST_F(RenderProtocolTest, FramesOnSeveralThreadsBesideTheIdleLoopAreTheFramesDrawnAlone)
{
    constexpr int kFrames = 12, kRenderThreads = 4;
    H().OpenProject(host::LoadScene(DataFile("examples/helix.json")).project);
    fx_ = H().instances().front().get();
    H().activeComp = &H().project().comps.front();
    Set("Time Random", 0.5, fx_); // every frame checks out shifted source frames of its own

    std::vector<FrameResult> alone(kFrames), together(kFrames);
    for (int f = 0; f < kFrames; ++f) alone[f] = Render({f, PixelDepth::Sixteen, 4, false});
    H().render().cache.Clear();
    std::atomic<int> next{0}, rendering{kRenderThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kRenderThreads; ++t)
        threads.emplace_back([&] {
            for (int f; (f = next++) < kFrames;)
                together[f] = host::RenderEffectFrame(*fx_, {f, PixelDepth::Sixteen, 4, false});
            --rendering;
        });
    int scans = 0;
    for (; rendering > 0; ++scans) H().RunIdleHooks();
    for (std::thread& t : threads) t.join();

    EXPECT_GT(scans, 0);
    for (int f = 0; f < kFrames; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(together[f].err, PF_Err_NONE);
        EXPECT_FALSE(together[f].fromCache);
        EXPECT_TRUE(together[f].leaks.empty());
        EXPECT_TRUE(SamePixels(together[f].image, alone[f].image));
    }
    EXPECT_EQ(H().log().forcedRerenders, 0) << "the path did not change, so no instance is sent to rerender";
}

// Settings accumulate; opacity 0 comes first, so every later frame must stay fully transparent.
// The path runs straight through the camera, from far in front to far behind it.
TEST_F(RenderProtocolTest, SettingsThatLeaveNothingToDrawFinishTransparentFrames)
{
    fx_ = &OpenScene(R"({"comps": [{"name": "Main", "width": 160, "height": 90, "frameRate": 30, "duration": 1,
      "layers": [
        {"name": "Camera", "type": "camera", "zoom": 200, "transform": {"position": [80, 45, -200],
         "pointOfInterest": [80, 45, 0]}},
        {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {
           "Path Layer": "Path", "Source Layer 1": "Dot", "Count": 40}}]},
        {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
           {"time": 0, "value": [80, 45, 800]}, {"time": 1, "value": [80, 45, -900]}]}}},
        {"name": "Dot", "type": "solid", "width": 16, "height": 16, "color": [1, 1, 1, 1]}]}]})");
    auto drawn = [&](bool legacy) {
        H().render().cache.Clear();
        const FrameResult r = Render({15, PixelDepth::Eight, 1, legacy});
        EXPECT_EQ(r.err, PF_Err_NONE);
        return OpaquePixels(r.image);
    };
    ASSERT_GT(drawn(false), 0) << "the scene draws nothing before the settings";
    // clang-format off
    const std::vector<std::pair<const char*, nlohmann::json>> settings = {
        {"Render/Opacity", 0}, {"Orientation Mode", "Face Camera"}, {"Orientation Mode", "Follow Path"},
        {"Placement Mode", "Path Ribbon"}, {"Object Transform/Scale", 0}, {"Array Transform/Scale", 0},
        {"Count", 1}, {"Random/Scale", 10000}, {"Time Random", 3600}, {"Debug Path", "Path Only"},
    };
    // clang-format on
    for (const auto& [name, value] : settings) {
        SCOPED_TRACE(std::string(name) + " = " + value.dump());
        Set(name, value, fx_);
        for (bool legacy : {false, true}) EXPECT_EQ(drawn(legacy), 0);
    }
}

} // namespace
} // namespace strandel::test
