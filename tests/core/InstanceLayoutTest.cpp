#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "layout/InstanceLayout.h"
#include "path/PathGeometry.h"
#include "support/LayoutTestSupport.h"
#include "support/VecExpect.h"

namespace strandel {
namespace {

// A straight path from the origin to (300, 0, 400): 500 long, seen by a camera at the origin
// looking down +Z, so a copy at fraction x lies at depth 400 x.
struct Fixture {
    PathTable path = FlattenKeyframes({{{0, 0, 0}, {}, {}}, {{300, 0, 400}, {}, {}}}, 0.5);
    SourceList sources = SourceList(2);
    CameraInfo camera;
    RenderSettings settings = LinearCurves();
    Fixture()
    {
        settings.count = 5;
        settings.rampTimeOffset = 2;
    }
    InstanceList Build() const { return BuildInstances(path, sources, settings, camera); }
};

std::vector<int32_t> Indices(const InstanceList& list)
{
    std::vector<int32_t> indices;
    for (const SpriteInstance& s : list) indices.push_back(s.index);
    return indices;
}

TEST(BuildInstances, FillsEachCopyFromItsPlacementInIndexOrder)
{
    Fixture f;
    f.settings.depthSort = false;
    for (bool reverse : {false, true}) {
        f.settings.reverse = reverse;
        const InstanceList list = f.Build();
        ASSERT_EQ(Indices(list), (std::vector<int32_t>{0, 1, 2, 3, 4}));
        for (const SpriteInstance& s : list) {
            SCOPED_TRACE(testing::Message() << "reverse " << reverse << " index " << s.index);
            const double x = reverse ? 1 - s.index / 4.0 : s.index / 4.0;
            EXPECT_EQ(s.source, s.index % 2);
            EXPECT_EQ(s.frame, &f.sources[std::size_t(s.index % 2)]);
            ExpectVecNear(s.position, Vec3{300 * x, 0, 400 * x}, 1e-9);
            ExpectVecNear(s.tangent, Vec3{0.6, 0, 0.8}, 1e-12);
            EXPECT_NEAR(s.depth, 400 * x, 1e-9);
            EXPECT_NEAR(s.pathFraction, x, 1e-12);
            EXPECT_NEAR(s.gradientFraction, s.index / 4.0, 1e-12); // reversed gradient follows the copies
            EXPECT_NEAR(s.timeOffset, 2 * s.index / 4.0, 1e-7); // ramp by index, never reversed
        }
    }
}

TEST(BuildInstances, DepthSortPutsTheFarthestFirst)
{
    Fixture f;
    EXPECT_EQ(Indices(f.Build()), (std::vector<int32_t>{4, 3, 2, 1, 0}));
    f.settings.reverse = true;
    EXPECT_EQ(Indices(f.Build()), (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST(BuildInstances, OmitsCopiesOffThePathAndNeedsAPathAndSources)
{
    Fixture f;
    f.settings.depthSort = false;
    f.settings.spacing = 200;
    const InstanceList middle = f.Build();
    ASSERT_EQ(Indices(middle), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_NEAR(middle[0].pathFraction, 0, 1e-12);
    EXPECT_NEAR(middle[2].pathFraction, 1, 1e-12);

    EXPECT_TRUE(BuildInstances({}, f.sources, f.settings, f.camera).empty());
    EXPECT_TRUE(BuildInstances(f.path, {}, f.settings, f.camera).empty());
}

TEST(SortInstancesByDepth, NaNDepthsGoLastWithoutUpsettingTheOrder)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    InstanceList list;
    for (double depth : {3.0, nan, 7.0, 1.0, nan, 5.0, -2.0, nan, 9.0}) {
        list.emplace_back();
        list.back().depth = depth;
    }
    SortInstancesByDepth(list);
    const std::vector<double> finite = {9, 7, 5, 3, 1, -2};
    for (std::size_t k = 0; k < finite.size(); ++k) EXPECT_EQ(list[k].depth, finite[k]) << k;
    for (std::size_t k = finite.size(); k < list.size(); ++k) EXPECT_TRUE(std::isnan(list[k].depth)) << k;
}

} // namespace
} // namespace strandel
