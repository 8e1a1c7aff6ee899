#include <gtest/gtest.h>

#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "host/scene/SceneReader.h"
#include "support/AcquiredSuite.h"
#include "support/HostFixture.h"

namespace strandel::host {
namespace {

constexpr AEGP_PluginID kPlugin = 7;

class RenderSuitesTest : public test::HostTest {
protected:
    void SetUp() override
    {
        StartHost();
        H().OpenProject(ParseScene(R"({"comps": [
            {"name": "Main", "width": 40, "height": 20, "frameRate": 30, "duration": 1, "layers": [
              {"name": "Inner", "type": "precomp", "comp": "Sub"},
              {"name": "Plate", "type": "solid", "color": [0, 0, 0.5, 0.5], "width": 6, "height": 4}]},
            {"name": "Sub", "width": 10, "height": 6, "frameRate": 30, "duration": 1, "layers": [
              {"name": "Left", "type": "solid", "color": [1, 0, 0, 1], "width": 4, "height": 6,
               "transform": {"position": [2, 3]}}]}]})",
                                   "suites.json")
                            .project);
    }
    void TearDown() override
    {
        EXPECT_EQ(H().render().renderOptions.LiveCount(), 0u);
        EXPECT_EQ(H().render().receipts.LiveCount(), 0u);
        EXPECT_EQ(H().render().worlds.LiveCount(), 0u);
        HostTest::TearDown();
    }
    AEGP_ItemH Item(const Composition* comp, const Layer* footage = nullptr)
    {
        const Host::Item* item = comp ? H().ItemForComp(*comp) : H().ItemForLayerSource(*footage);
        return reinterpret_cast<AEGP_ItemH>(const_cast<Host::Item*>(item));
    }
    const Composition& Comp(const char* name) { return *H().project().CompByName(name); }
};

TEST_F(RenderSuitesTest, ItemsRenderToReceiptsAtTheRequestedRegionAndDownsample)
{
    strandel::test::Acquired<AEGP_RenderOptionsSuite4> options;
    strandel::test::Acquired<AEGP_RenderSuite5> render;
    strandel::test::Acquired<AEGP_WorldSuite3> worlds;
    H().render().projectDepth = PixelDepth::Sixteen;

    // Sub at half resolution, region x 2..10: red over x 2..3, transparent after. 8 x 6 -> 4 x 3.
    AEGP_RenderOptionsH opts = nullptr;
    ASSERT_EQ(options->AEGP_NewFromItem(kPlugin, Item(&Comp("Sub")), &opts), A_Err_NONE);
    EXPECT_EQ(options->AEGP_SetTime(opts, {15, 30}), A_Err_NONE);
    EXPECT_EQ(options->AEGP_SetDownsampleFactor(opts, 2, 2), A_Err_NONE);
    const A_LRect roi{2, 0, 10, 6};
    EXPECT_EQ(options->AEGP_SetRegionOfInterest(opts, &roi), A_Err_NONE);
    AEGP_FrameReceiptH receipt = nullptr;
    ASSERT_EQ(render->AEGP_RenderAndCheckoutFrame(opts, nullptr, nullptr, &receipt), A_Err_NONE);
    EXPECT_EQ(options->AEGP_Dispose(opts), A_Err_NONE);

    AEGP_WorldH world = nullptr;
    ASSERT_EQ(render->AEGP_GetReceiptWorld(receipt, &world), A_Err_NONE);
    AEGP_WorldType type = AEGP_WorldType_NONE;
    EXPECT_EQ(worlds->AEGP_GetType(world, &type), A_Err_NONE);
    EXPECT_EQ(type, AEGP_WorldType_16);
    PF_EffectWorld pf{};
    ASSERT_EQ(worlds->AEGP_FillOutPFEffectWorld(world, &pf), A_Err_NONE);
    ASSERT_NE(pf.data, nullptr);
    EXPECT_EQ(pf.width, 4);
    EXPECT_EQ(pf.height, 3);
    EXPECT_TRUE(pf.world_flags & PF_WorldFlag_DEEP);
    for (int x = 0; x < 4; ++x) {
        const auto* px =
            reinterpret_cast<const uint16_t*>(reinterpret_cast<const char*>(pf.data) + pf.rowbytes) + 4 * x;
        EXPECT_EQ(px[0], x == 0 ? 32768 : 0) << "column " << x;
        EXPECT_EQ(px[1], x == 0 ? 32768 : 0);
    }
    EXPECT_EQ(render->AEGP_CheckinFrame(receipt), A_Err_NONE);
    EXPECT_EQ(render->AEGP_CheckinFrame(receipt), A_Err_PARAMETER) << "checked in twice";
    EXPECT_EQ(worlds->AEGP_GetType(world, &type), A_Err_PARAMETER) << "world of a returned receipt";

    // A footage item is its layer's source, premultiplied on request.
    ASSERT_EQ(options->AEGP_NewFromItem(kPlugin, Item(nullptr, Comp("Main").LayerByName("Plate")), &opts), A_Err_NONE);
    EXPECT_EQ(options->AEGP_SetMatteMode(opts, AEGP_MatteMode_PREMUL_BLACK), A_Err_NONE);
    ASSERT_EQ(render->AEGP_RenderAndCheckoutFrame(opts, nullptr, nullptr, &receipt), A_Err_NONE);
    ASSERT_EQ(render->AEGP_GetReceiptWorld(receipt, &world), A_Err_NONE);
    ASSERT_EQ(worlds->AEGP_FillOutPFEffectWorld(world, &pf), A_Err_NONE);
    EXPECT_EQ(pf.width, 6);
    EXPECT_EQ(pf.height, 4);
    const auto* plate = reinterpret_cast<const uint16_t*>(pf.data);
    EXPECT_EQ(plate[0], 16384);
    EXPECT_EQ(plate[3], 8192); // 0.5 blue times 0.5 alpha
    EXPECT_EQ(render->AEGP_CheckinFrame(receipt), A_Err_NONE);
    EXPECT_EQ(options->AEGP_Dispose(opts), A_Err_NONE);
}

} // namespace
} // namespace strandel::host
