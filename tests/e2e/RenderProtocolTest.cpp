// Frames of the loaded plug-in rendered through the host's protocol: what pre-render is told
// and answers, what smart render may check out, smart against legacy rendering, depth and
// downsample of layer checkouts, nothing kept after a frame, the render cache and aborts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "AE_EffectSuites.h"
#include "frame/PreRenderData.h"
#include "host/render/EffectRenderer.h"
#include "host/render/FrameCall.h"
#include "host/render/LayerPixels.h"
#include "host/scene/SceneReader.h"
#include "support/AcquiredSuite.h"
#include "support/HostFixture.h"
#include "support/HostTestSupport.h"

namespace strandel::test {
namespace {

using host::FrameCall;
using host::FrameRequest;
using host::FrameResult;
using host::Image;
using host::PixelDepth;
using host::test::SamePixels;

constexpr A_long kInputId = 0x57380000;

// Fx (64 x 33) draws copies of Dot along a 3D path. Half is a 4 x 2 shape whose left column
// alone is opaque, for checking reduced checkouts; Cluster a collapsed 3D precomp, Hidden one
// whose only layer is switched off.
const char* kScene = R"({"comps": [
  {"name": "Main", "width": 64, "height": 33, "frameRate": 30, "duration": 2, "layers": [
    {"name": "Fx", "type": "solid", "color": [0, 0, 0, 1],
     "effects": [{"name": "Strandel", "params": {"Path Layer": "Path", "Source Layer 1": "Dot", "Count": 6,
                                                  "Spacing": 150}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
        {"time": 0, "value": [6, 16, 0]}, {"time": 2, "value": [58, 16, 0]}]}}},
    {"name": "Dot", "type": "solid", "color": [1, 0.5, 0, 1], "width": 6, "height": 6},
    {"name": "Half", "type": "shape", "width": 4, "height": 2, "color": [0, 0, 1, 1],
     "shape": {"kind": "rect", "size": [1, 2], "position": [0.5, 1]}},
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
    void SetUp() override
    {
        StartHost();
        ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
        H().OpenProject(host::ParseScene(kScene, "render.json").project);
        fx_ = H().instances().front().get();
    }
    void TearDown() override
    {
        ExpectNothingHeld();
        HostTest::TearDown();
    }

    FrameResult Render(FrameRequest request, const std::atomic<bool>* cancel = nullptr)
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
        EXPECT_EQ(H().log().liveEffectHandles, 0);
        EXPECT_EQ(H().log().liveStreams, 0);
        EXPECT_EQ(H().log().liveStreamValues, 0);
    }

    const host::Layer* Layer(const std::string& name) { return H().project().comps.front().LayerByName(name); }

    static int OpaquePixels(const Image& image)
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
    const struct {
        int downsample;
        PF_LRect request, result;
    } cases[] = {
        {1, {0, 0, 64, 33}, {0, 0, 64, 33}},       {1, {-10, 4, 20, 50}, {0, 4, 20, 33}},
        {1, {100, 100, 120, 120}, {0, 0, 64, 33}}, {1, {0, 0, 0, 0}, {0, 0, 64, 33}},
        {2, {0, 0, 32, 17}, {0, 0, 32, 17}},       {2, {30, 10, 90, 90}, {30, 10, 32, 17}},
    };
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

    // The input, the path layer and the five source layers, at the frame's time.
    FrameCall frame(*fx_, {15, PixelDepth::Eight, 1}, nullptr);
    ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
    const auto& registered = frame.Registered();
    std::vector<A_long> ids;
    for (const auto& [id, c] : registered) ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<A_long>{3, 23, 24, 25, 26, 27, kInputId}));
    const host::Composition& comp = H().project().comps.front();
    EXPECT_EQ(registered.at(kInputId).layer, comp.LayerByName("Fx"));
    EXPECT_EQ(registered.at(3).layer, comp.LayerByName("Path"));
    EXPECT_EQ(registered.at(23).layer, comp.LayerByName("Dot"));
    EXPECT_EQ(registered.at(24).layer, nullptr);
    EXPECT_DOUBLE_EQ(registered.at(23).seconds, 0.5);
    EXPECT_TRUE(registered.at(23).result.result_rect == (PF_LRect{0, 0, 6, 6}));
    EXPECT_TRUE(registered.at(24).result.max_result_rect == (PF_LRect{0, 0, 0, 0})) << "no layer: no pixels";
}

TEST_F(RenderProtocolTest, TimeShiftedSourcesAreAskedForOncePerFrameAndAtMost256)
{
    Set("Source Layer 3", "Cluster");
    Set("Count", 1000);
    const struct {
        const char* param;
        double value;
        std::size_t frames;
    } cases[] = {{"Time Random", 10, kMaxOffsetFrames},
                 {"Ramp/Time Offset", 0.01, 2}}; // within half a frame: one a source
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

TEST_F(RenderProtocolTest, SmartRenderChecksOutOnlyWhatPreRenderRegistered)
{
    FrameCall early(*fx_, {0, PixelDepth::Eight, 1}, nullptr);
    PF_EffectWorld* pixels = nullptr;
    EXPECT_EQ(early.SmartCallbacks().checkout_layer_pixels(early.EffectRef(), kInputId, &pixels),
              PF_Err_BAD_CALLBACK_PARAM)
        << "before pre-render";
    EXPECT_EQ(early.SmartCallbacks().checkout_output(early.EffectRef(), &pixels), PF_Err_BAD_CALLBACK_PARAM);

    FrameCall frame(*fx_, {0, PixelDepth::Sixteen, 1}, nullptr);
    ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
    PF_SmartRenderCallbacks& cb = frame.SmartCallbacks();
    const PF_ProgPtr ref = frame.EffectRef();
    for (A_long id : {12345, 28, kInputId + 0x10000}) {
        pixels = reinterpret_cast<PF_EffectWorld*>(&id);
        EXPECT_EQ(cb.checkout_layer_pixels(ref, id, &pixels), PF_Err_BAD_CALLBACK_PARAM) << id;
        EXPECT_EQ(pixels, nullptr);
        EXPECT_EQ(cb.checkin_layer_pixels(ref, id), PF_Err_BAD_CALLBACK_PARAM) << id;
    }
    // A registered layer: its pixels, checked out twice and in twice; then no more.
    PF_EffectWorld* again = nullptr;
    ASSERT_EQ(cb.checkout_layer_pixels(ref, 23, &pixels), PF_Err_NONE);
    ASSERT_EQ(cb.checkout_layer_pixels(ref, 23, &again), PF_Err_NONE);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels, again);
    EXPECT_EQ(pixels->width, 6);
    EXPECT_TRUE(pixels->world_flags & PF_WorldFlag_DEEP);
    EXPECT_EQ(cb.checkin_layer_pixels(ref, 23), PF_Err_NONE);
    EXPECT_EQ(cb.checkin_layer_pixels(ref, 23), PF_Err_NONE);
    EXPECT_EQ(cb.checkin_layer_pixels(ref, 23), PF_Err_BAD_CALLBACK_PARAM);
    // A registered parameter without a layer: a checkout without pixels.
    EXPECT_EQ(cb.checkout_layer_pixels(ref, 24, &pixels), PF_Err_NONE);
    EXPECT_EQ(pixels, nullptr);
    // Left checked out: the end of the frame takes it back and says so.
    const auto leaks = frame.Finish();
    ASSERT_EQ(leaks.size(), 1u);
    EXPECT_NE(leaks[0].find("24"), std::string::npos) << leaks[0];
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

    {
        // The output cannot be had: the error comes back and the input was checked in.
        FrameCall failing(*fx_, {10, PixelDepth::Eight, 1}, nullptr);
        failing.failOutputCheckout = PF_Err_OUT_OF_MEMORY;
        ASSERT_EQ(failing.PreRender(failing.WholeOutput()), PF_Err_NONE);
        EXPECT_EQ(failing.SmartRender(), PF_Err_OUT_OF_MEMORY);
        EXPECT_TRUE(failing.Finish().empty());
    }
    {
        // A source the host will not lend is left out of the frame; nothing else is handed back.
        FrameCall refused(*fx_, {10, PixelDepth::Eight, 1}, nullptr);
        refused.failLayerCheckout = 24;
        ASSERT_EQ(refused.PreRender(refused.WholeOutput()), PF_Err_NONE);
        EXPECT_EQ(refused.SmartRender(), PF_Err_NONE);
        EXPECT_GT(OpaquePixels(refused.Output()), 0);
        EXPECT_TRUE(refused.Finish().empty());
    }
    {
        // The input failing to go back is reported, not lost.
        FrameCall unreturned(*fx_, {10, PixelDepth::Eight, 1}, nullptr);
        unreturned.failLayerCheckin = kInputId;
        ASSERT_EQ(unreturned.PreRender(unreturned.WholeOutput()), PF_Err_NONE);
        EXPECT_EQ(unreturned.SmartRender(), PF_Err_OUT_OF_MEMORY);
        EXPECT_TRUE(unreturned.Finish().empty());
    }
    ExpectNothingHeld();

    // Legacy: the sixth parameter checkout is the first time-shifted source; it fails and ends
    // the frame after the five sources checked out before it went back.
    fx_->FailNthCheckout(6, PF_Err_OUT_OF_MEMORY);
    const FrameResult r = Render({11, PixelDepth::Eight, 1, true});
    EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
}

TEST_F(RenderProtocolTest, PreRenderCountsOnlySourcesTheRenderDraws)
{
    // Hidden has pixels when checked out flat but gives the render no quad. Time-shifted copies
    // must choose among the same sources in both commands: the frame is the one drawn with
    // Hidden's slot empty, and pre-render asks for exactly the shifted frames the copies take.
    Set("Source Layer 2", "Dot");
    Set("Count", 20);
    Set("Time Random", 0.5);
    const FrameResult emptySlot = Render({10, PixelDepth::Eight, 1, false});
    ASSERT_EQ(emptySlot.err, PF_Err_NONE);
    ASSERT_GT(OpaquePixels(emptySlot.image), 0);

    Set("Source Layer 1", "Hidden");
    FrameCall frame(*fx_, {10, PixelDepth::Eight, 1}, nullptr);
    ASSERT_EQ(frame.PreRender(frame.WholeOutput()), PF_Err_NONE);
    ASSERT_EQ(frame.SmartRender(), PF_Err_NONE);
    std::set<A_long> shifted, taken;
    for (const auto& [id, c] : frame.Registered()) {
        if (id < kInputId + 0x10000) continue;
        shifted.insert(id);
        EXPECT_EQ(c.param, 24) << "a shifted frame of a source the render does not draw";
    }
    for (A_long id : frame.PixelsAskedFor())
        if (id >= kInputId + 0x10000) taken.insert(id);
    EXPECT_GT(shifted.size(), 1u);
    EXPECT_EQ(taken, shifted);
    EXPECT_TRUE(SamePixels(frame.Output(), emptySlot.image)) << "every copy is drawn";
    EXPECT_TRUE(frame.Finish().empty());
}

TEST_F(RenderProtocolTest, AMissingHostSuiteFailsTheFrameAndEverythingLentComesBack)
{
    // Without the keyframe suite the path cannot be read: the frame render turns that into 512.
    // Without the PF interface suite not even the frame's time can be had: smart render reports
    // 512, the legacy command the missing suite's own 516.
    Set("Source Layer 2", "Cluster");
    const struct {
        const char* suite;
        int32_t version;
        bool legacy;
        PF_Err expected;
    } cases[] = {
        {kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion5, false, PF_Err_INTERNAL_STRUCT_DAMAGED},
        {kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion5, true, PF_Err_INTERNAL_STRUCT_DAMAGED},
        {kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1, false, PF_Err_INTERNAL_STRUCT_DAMAGED},
        {kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1, true, PF_Err_BAD_CALLBACK_PARAM},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.suite) + (c.legacy ? ", legacy" : ", smart"));
        H().suites().Disable(c.suite, c.version);
        EXPECT_EQ(Render({10, PixelDepth::Eight, 1, c.legacy}).err, c.expected);
        H().suites().Enable(c.suite, c.version);
    }
    EXPECT_EQ(Render({10, PixelDepth::Eight, 1, false}).err, PF_Err_NONE);
}

TEST_F(RenderProtocolTest, LayerCheckoutsComeAtTheFramesDepthAndDownsample)
{
    Set("Source Layer 2", "Half");
    Set("Source Layer 3", "Cluster");
    // Half is 4 x 2 with only column 0 opaque: reduced by 2, pixel (0, 0) averages two opaque
    // and two clear pixels (alpha 0.5, still pure blue); pixel (1, 0) is clear.
    for (PixelDepth depth : {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float}) {
        auto call = fx_->NewCall();
        host::FrameContext frame{depth, 2, nullptr};
        call->frame = &frame;
        PF_ParamDef half{}, cluster{}, unset{};
        ASSERT_EQ(call->in.inter.checkout_param(call->in.effect_ref, 24, 0, 1, 30, &half), PF_Err_NONE);
        ASSERT_EQ(call->in.inter.checkout_param(call->in.effect_ref, 25, 0, 1, 30, &cluster), PF_Err_NONE);
        ASSERT_EQ(call->in.inter.checkout_param(call->in.effect_ref, 26, 0, 1, 30, &unset), PF_Err_NONE);
        const PF_LayerDef& ld = half.u.ld;
        ASSERT_NE(ld.data, nullptr);
        EXPECT_EQ(ld.width, 2);
        EXPECT_EQ(ld.height, 1);
        EXPECT_EQ((ld.world_flags & PF_WorldFlag_DEEP) != 0, depth == PixelDepth::Sixteen);
        Image view(ld.width, ld.height, depth); // the lent row, read through the host's own pixel view
        std::memcpy(view.PixelAt<std::byte>(0, 0), ld.data, ld.width * host::BytesPerPixel(depth));
        EXPECT_NEAR(view.Get(0, 0).a, 0.5, 1.0 / 255);
        EXPECT_NEAR(view.Get(0, 0).b, 1.0, 1e-9);
        EXPECT_EQ(view.Get(1, 0).a, 0.0);
        // The precomp rendered flat and halved: 20 x 20 -> 10 x 10.
        EXPECT_EQ(cluster.u.ld.width, 10);
        EXPECT_EQ(cluster.u.ld.height, 10);
        EXPECT_EQ(unset.u.ld.data, nullptr) << "no layer: no pixels";
        for (PF_ParamDef* def : {&half, &cluster, &unset})
            EXPECT_EQ(call->in.inter.checkin_param(call->in.effect_ref, def), PF_Err_NONE);
        EXPECT_EQ(H().render().worlds.LiveCount(), 0u);
    }
}

TEST_F(RenderProtocolTest, CachedFramesAreReusedUntilSomethingChanges)
{
    const FrameRequest frame{12, PixelDepth::Eight, 1, false};
    const FrameResult first = Render(frame);
    const FrameResult again = Render(frame);
    EXPECT_FALSE(first.fromCache);
    EXPECT_TRUE(again.fromCache);
    EXPECT_TRUE(SamePixels(first.image, again.image));
    EXPECT_FALSE(Render({13, PixelDepth::Eight, 1, false}).fromCache) << "another frame";

    Set("Count", 2);
    const FrameResult fewer = Render(frame);
    EXPECT_FALSE(fewer.fromCache) << "a parameter changed";
    EXPECT_LT(OpaquePixels(fewer.image), OpaquePixels(first.image));
    EXPECT_TRUE(Render(frame).fromCache);

    // As the plug-in asks: through the item suite, released before the next frame.
    auto call = fx_->NewCall();
    PF_EffectWorld world{};
    for (bool touch : {true, false}) {
        {
            const Acquired<PF_AdvItemSuite1> item;
            EXPECT_EQ(touch ? item->PF_TouchActiveItem() : item->PF_ForceRerender(&call->in, &world), PF_Err_NONE);
        }
        EXPECT_FALSE(Render(frame).fromCache) << (touch ? "the item was touched" : "a rerender was forced");
        EXPECT_TRUE(Render(frame).fromCache);
    }
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

TEST_F(RenderProtocolTest, ACompShowsTheEffectInPlaceOfItsLayer)
{
    // Fx fills its comp-sized layer with the effect's output; nothing else in Main is visible
    // except the layers the effect does not cover, so compare where the effect drew.
    const FrameResult effect = Render({12, PixelDepth::Eight, 1, false});
    const Image comp = host::RenderCompThroughHost(H(), H().project().comps.front(), 12 / 30.0, PixelDepth::Eight);
    int compared = 0;
    for (int y = 0; y < comp.Height(); ++y)
        for (int x = 0; x < comp.Width(); ++x) {
            const host::PixelValue p = effect.image.Get(x, y);
            if (p.a < 1) continue;
            EXPECT_EQ(comp.Get(x, y), p) << "at (" << x << ", " << y << ")";
            ++compared;
        }
    EXPECT_GT(compared, 0);
}

} // namespace
} // namespace strandel::test
