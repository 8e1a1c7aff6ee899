#include <gtest/gtest.h>

#include <map>
#include <set>

#include "frame/PreRenderData.h"
#include "frame/RenderDriver.h"
#include "host/SceneParams.h"
#include "support/SceneFixture.h"

namespace strandel::test {
namespace {

struct Checkout {
    PF_ParamIndex index;
    A_long id;
    PF_LRect rect;
    A_long time;
};

// Host side of the pre-render callbacks: chosen source layers are 64 x 64, unset ones empty.
struct FakePreRenderHost {
    std::set<PF_ParamIndex> chosen;
    std::vector<Checkout> checkouts;
    std::vector<uint8_t> guid;
    PF_LRect inputResult{0, 0, 0, 0};

    static FakePreRenderHost*& Current()
    {
        static FakePreRenderHost* current = nullptr;
        return current;
    }
    static PF_Err CheckoutLayer(PF_ProgPtr, PF_ParamIndex index, A_long id, const PF_RenderRequest* req, A_long time,
                                A_long, A_u_long, PF_CheckoutResult* result)
    {
        Current()->checkouts.push_back({index, id, req->rect, time});
        *result = {};
        if (index == 0) result->result_rect = Current()->inputResult;
        if (Current()->chosen.count(index)) result->max_result_rect = {0, 0, 64, 64};
        return PF_Err_NONE;
    }
    static PF_Err MixIn(PF_ProgPtr, A_u_long size, const void* buf)
    {
        auto b = static_cast<const uint8_t*>(buf);
        Current()->guid.assign(b, b + size);
        return PF_Err_NONE;
    }
};

class PreRenderTest : public SceneTest {
protected:
    void SetUp() override
    {
        const std::string sources = R"({"name": "Dot", "type": "solid", "width": 64, "height": 64},)";
        Open(SceneWithPath(R"({"name": "Path", "type": "null", "threeD": true})", sources));
        FakePreRenderHost::Current() = &fake_;
        call_->in.width = 200;
        call_->in.height = 100;
    }
    void TearDown() override
    {
        if (output_.delete_pre_render_data_func) output_.delete_pre_render_data_func(output_.pre_render_data);
        FakePreRenderHost::Current() = nullptr;
        SceneTest::TearDown();
    }
    void Set(const std::string& name, const nlohmann::json& value)
    {
        SceneTest::Set(name, value);
        if (name.starts_with("Source Layer ")) fake_.chosen.insert(22 + std::stoi(name.substr(13)));
    }
    PF_Err Run(PF_LRect request)
    {
        if (output_.delete_pre_render_data_func) output_.delete_pre_render_data_func(output_.pre_render_data);
        output_ = {};
        fake_.checkouts.clear();
        input_.output_request.rect = request;
        input_.output_request.channel_mask = 0xF;
        PF_PreRenderCallbacks cb{FakePreRenderHost::CheckoutLayer, FakePreRenderHost::MixIn};
        PF_PreRenderExtra extra{&input_, &output_, &cb};
        return SmartPreRender(&call_->in, &extra);
    }
    const PreRenderData& Data() const { return *static_cast<const PreRenderData*>(output_.pre_render_data); }

    FakePreRenderHost fake_;
    PF_PreRenderInput input_{};
    PF_PreRenderOutput output_{};
};

bool Same(const PF_LRect& a, const PF_LRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(PreRenderTest, RequestsAreCutToTheLayerOrReplacedByIt)
{
    const PF_LRect layer{0, 0, 200, 100};
    struct Case {
        const char* what;
        PF_LRect request, expected;
    } cases[] = {
        {"partly outside", {-50, 20, 120, 300}, {0, 20, 120, 100}},
        {"wholly outside", {300, 300, 400, 400}, layer},
        {"empty", {0, 0, 0, 0}, layer},
        {"inside", {10, 10, 20, 20}, {10, 10, 20, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Run(c.request), PF_Err_NONE);
        EXPECT_TRUE(Same(output_.result_rect, c.expected));
        EXPECT_TRUE(Same(output_.max_result_rect, layer));
        ASSERT_FALSE(fake_.checkouts.empty());
        EXPECT_EQ(fake_.checkouts[0].id, kInputCheckoutId);
        EXPECT_TRUE(Same(fake_.checkouts[0].rect, c.expected));
    }
}

TEST_F(PreRenderTest, WithoutTimeOffsetsOnlyTheLayersAtTheCurrentTimeAreAskedFor)
{
    Set("Source Layer 2", "Dot");
    ASSERT_EQ(Run({0, 0, 200, 100}), PF_Err_NONE);
    std::vector<PF_ParamIndex> asked;
    for (const Checkout& c : fake_.checkouts) asked.push_back(c.index);
    EXPECT_EQ(asked, (std::vector<PF_ParamIndex>{0, 3, 23, 24, 25, 26, 27}));
    for (std::size_t i = 1; i < fake_.checkouts.size(); ++i) EXPECT_EQ(fake_.checkouts[i].id, fake_.checkouts[i].index);
    EXPECT_TRUE(Data().checkouts.empty());
    EXPECT_EQ(Data().settings.count, 20);
    EXPECT_EQ(fake_.guid.size(), 8u) << "the change counter is mixed into the cache key";
    EXPECT_EQ(fx_->OutstandingCheckouts(), 0);
}

TEST_F(PreRenderTest, TimeShiftedFramesAreDistinctAndCappedAt256)
{
    Set("Source Layer 1", "Dot");
    Set("Source Layer 3", "Dot");
    Set("Count", 1000);
    Set("Time Random", 10);
    ASSERT_EQ(Run({0, 0, 200, 100}), PF_Err_NONE);
    const SourceCheckoutList& list = Data().checkouts;
    EXPECT_EQ(list.size(), kMaxOffsetFrames);
    std::set<std::pair<uint32_t, int32_t>> seen;
    A_long expectedId = kFirstShiftedCheckoutId;
    for (const SourceCheckout& c : list) {
        EXPECT_TRUE(seen.insert({c.sourcePosition, c.frameTime}).second) << "a frame was asked for twice";
        EXPECT_TRUE(c.sourcePosition == 0 || c.sourcePosition == 2);
        EXPECT_EQ(c.paramIndex, 23 + c.sourcePosition);
        EXPECT_GE(static_cast<A_long>(c.checkoutId), expectedId);
        expectedId = static_cast<A_long>(c.checkoutId) + 1;
        EXPECT_NEAR(c.frameTime, c.offset * 30, 0.5 + 1e-9) << "snapped to the nearest frame";
        EXPECT_FALSE(c.checkedOut);
    }
}

TEST_F(PreRenderTest, CopiesLandingOnTheSameFrameShareOneCheckout)
{
    Set("Source Layer 1", "Dot");
    Set("Count", 50);
    Set("Ramp/Time Offset", 0.01); // every copy lands within half a frame of now or one frame on
    ASSERT_EQ(Run({0, 0, 200, 100}), PF_Err_NONE);
    EXPECT_LE(Data().checkouts.size(), 1u);
    for (const SourceCheckout& c : Data().checkouts) EXPECT_EQ(c.frameTime, 0);
}

} // namespace
} // namespace strandel::test
