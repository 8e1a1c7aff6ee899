#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "render/DepthSort.h"
#include "render/Rasterizer.h"
#include "support/OwnedImage.h"

namespace strandel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(SortTrianglesByDepthTest, PutsTheFarthestFirst)
{
    std::mt19937_64 random(3);
    TriangleList list(200);
    for (ScreenTriangle& t : list) t.depth = std::floor(std::generate_canonical<double, 53>(random) * 50);
    list[17].depth = std::numeric_limits<double>::quiet_NaN();
    list[90].depth = kInf;
    std::vector<double> before;
    for (const ScreenTriangle& t : list) before.push_back(std::isnan(t.depth) ? -1 : t.depth);
    SortTrianglesByDepth(list);
    EXPECT_TRUE(std::isnan(list[0].depth) || std::isnan(list[1].depth)) << "NaN sorts with the farthest";
    std::vector<double> after;
    for (const ScreenTriangle& t : list) after.push_back(std::isnan(t.depth) ? -1 : t.depth);
    for (std::size_t i = 2; i + 1 < list.size(); ++i) EXPECT_GE(list[i].depth, list[i + 1].depth);
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(before, after) << "entries are reordered, never lost";
}

TEST(DepthBufferTest, StartsAtInfinityAndFitsOnlyItsOwnSize)
{
    for (auto [w, h] : {std::pair{5, 3}, {1, 1}, {4, 1}, {1, 4}, {0, 4}, {4, 0}, {-2, 3}}) {
        const DepthBuffer buffer(w, h);
        const bool sized = w > 0 && h > 0;
        EXPECT_EQ(buffer.values, std::vector<double>(sized ? w * h : 0, kInf)) << w << " x " << h;
        EXPECT_EQ(buffer.Fits(w, h), sized) << w << " x " << h;
        EXPECT_FALSE(buffer.Fits(w + 1, h));
    }
    EXPECT_FALSE(DepthBuffer(5, 3).Fits(3, 5));
}

class DepthTestFixture : public testing::Test {
protected:
    static test::OwnedImage Solid(double a, double r, double b)
    {
        test::OwnedImage image(2, 2, PixelFormat::Argb8, 3);
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 2; ++x) image.Set(x, y, {a, r, 0, b});
        return image;
    }
    static SourceQuad QuadOf(const test::OwnedImage& image) { return {image.View(), {}, 0, 0, 1, 1}; }

    // A square of the given source at one depth, as the two entries projection makes.
    static void AddSquare(TriangleList& list, const SourceQuad& quad, double x0, double x1, double z,
                          double opacity = 1)
    {
        const ScreenVertex a{x0, x0, z, 0, 0}, b{x1, x0, z, 1, 0}, c{x1, x1, z, 1, 1}, d{x0, x1, z, 0, 1};
        list.push_back({&quad, a, b, c, a, opacity, z});
        list.push_back({&quad, a, c, d, a, opacity, z});
    }

    std::array<double, 4> Draw(const TriangleList& list, DepthBuffer* depth, int32_t x = 5, int32_t y = 5)
    {
        test::OwnedImage out(12, 12, PixelFormat::Argb8, 4);
        DrawTriangleListCpu(list, out.View(), depth, {});
        return out.Get(x, y);
    }

    const test::OwnedImage red = Solid(255, 255, 0), blue = Solid(255, 0, 255);
    const SourceQuad redQuad = QuadOf(red), blueQuad = QuadOf(blue);
    const std::array<double, 4> kRed{255, 255, 0, 0}, kBlue{255, 0, 0, 255};
};

TEST_F(DepthTestFixture, NearerOpaqueCopyWinsInEitherOrder)
{
    for (bool redFirst : {true, false}) {
        TriangleList list;
        AddSquare(list, redFirst ? redQuad : blueQuad, redFirst ? 0 : 4, redFirst ? 8 : 12, redFirst ? 10 : 20);
        AddSquare(list, redFirst ? blueQuad : redQuad, redFirst ? 4 : 0, redFirst ? 12 : 8, redFirst ? 20 : 10);
        DepthBuffer depth(12, 12);
        EXPECT_EQ(Draw(list, &depth), kRed) << "red (nearer) drawn first: " << redFirst;
        EXPECT_NEAR(depth.values[5 * 12 + 5], 10, 1e-9);
        EXPECT_NEAR(depth.values[10 * 12 + 10], 20, 1e-9);
        EXPECT_EQ(depth.values[11 * 12 + 0], kInf);
        // Without the buffer the later copy covers the earlier one.
        EXPECT_EQ(Draw(list, nullptr), redFirst ? kBlue : kRed);
        DepthBuffer wrongSize(12, 11);
        EXPECT_EQ(Draw(list, &wrongSize), redFirst ? kBlue : kRed) << "a buffer of another size is not used";
    }
}

// Red drawn first at depth 10, then blue: a tie within the tolerance does not draw, and red hides
// blue only where it is (all but) opaque.
TEST_F(DepthTestFixture, TiesAndSemiTransparentPixelsDoNotOcclude)
{
    struct Case {
        double blueDepth, redOpacity;
        bool blueShows;
        double depthAfter;
    };
    for (const Case& c : {Case{10, 1, false, 10}, Case{10 - 5e-8, 1, false, 10}, Case{10 - 2e-7, 1, true, 10 - 2e-7},
                          Case{20, 0.5, true, 20}, Case{20, 0.998, true, 20}, Case{20, 0.9995, false, 10}}) {
        TriangleList list;
        AddSquare(list, redQuad, 0, 12, 10, c.redOpacity);
        AddSquare(list, blueQuad, 0, 12, c.blueDepth);
        DepthBuffer depth(12, 12);
        EXPECT_EQ(Draw(list, &depth), c.blueShows ? kBlue : kRed) << c.blueDepth << ", opacity " << c.redOpacity;
        EXPECT_NEAR(depth.values[5 * 12 + 5], c.depthAfter, 1e-9) << c.blueDepth << ", opacity " << c.redOpacity;
    }
}

} // namespace
} // namespace strandel
