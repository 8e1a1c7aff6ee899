#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>

#include "render/DepthSort.h"
#include "render/Rasterizer.h"
#include "support/OwnedImage.h"

namespace strandel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

SourceQuad WholeImage(const test::OwnedImage& image)
{
    return {image.View(), {}, 0, 0, image.Width() - 1.0, image.Height() - 1.0};
}

ScreenVertex At(double x, double y, double u = 0, double v = 0, double z = 10) { return {x, y, z, u, v}; }

TEST(RasterizerTest, StoresStraightColourAtEachDepth)
{
    struct Case {
        PixelFormat format;
        std::array<double, 4> background, texel; // stored units
        double opacity;
        std::array<double, 4> expected; // stored units
    };
    const Case cases[] = {
        // Half of opaque white over transparent: alpha rounds 127.5 up, colour divides back to full.
        {PixelFormat::Argb8, {}, {255, 255, 255, 255}, 0.5, {128, 255, 255, 255}},
        {PixelFormat::Argb16, {}, {32768, 32768, 0, 16384}, 1, {32768, 32768, 0, 16384}},
        {PixelFormat::Argb16, {}, {32768, 32768, 0, 16384}, 0.25, {8192, 32768, 0, 16384}},
        // Float keeps colours outside [0, 1] and clamps only alpha.
        {PixelFormat::ArgbFloat, {}, {1, 2.5, -0.25, 1}, 1, {1, 2.5, -0.25, 1}},
        {PixelFormat::ArgbFloat, {}, {3, 0.5, 0.5, 0.5}, 1, {1, 0.5, 0.5, 0.5}},
        // Source alpha above full scale counts as full, so opacity alone sets the coverage.
        {PixelFormat::ArgbFloat, {}, {2, 0.8, 0.2, 0.4}, 0.5, {0.5, 0.8, 0.2, 0.4}},
        {PixelFormat::Argb16, {}, {65535, 32768, 0, 8192}, 0.5, {16384, 32768, 0, 8192}},
        // Half of red over opaque blue: alpha 1, red and blue (0.5 * 1 + 0.5 * 1 * 0) = 0.5.
        {PixelFormat::Argb8, {255, 0, 0, 255}, {255, 255, 0, 0}, 0.5, {255, 128, 0, 128}},
        // Opacity 2 lifts alpha 0.6 to full coverage: the source replaces the pixel, R = 0.2.
        {PixelFormat::Argb8, {255, 128, 0, 128}, {153, 51, 0, 0}, 2, {255, 51, 0, 0}},
    };
    for (const Case& c : cases) {
        const test::OwnedImage texture = test::Filled(3, 3, c.format, c.texel, 6);
        test::OwnedImage out = test::Filled(8, 8, c.format, c.background, 4);
        RasterizeTriangleCpu(WholeImage(texture), out.View(), At(0, 0), At(8, 0, 2), At(0, 8, 0, 2), c.opacity,
                             nullptr);
        const auto got = out.Get(1, 1);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(got[i], c.expected[i], 1e-6) << "format " << c.format << " channel " << i;
    }
}

TEST(RasterizerTest, DegenerateOrUnusableInputDrawsNothing)
{
    const test::OwnedImage white = test::Filled(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
    const SourceQuad quad = WholeImage(white);
    const ScreenVertex triangles[][3] = {
        {At(1, 1), At(5, 5), At(9, 9)}, // zero area
        {At(40, 1), At(50, 1), At(40, 9)}, // wholly off the output
        {At(-kInf, 1), At(5, 1), At(1, 9)}, // infinite
        {At(kNaN, 1), At(5, 1), At(1, 9)}, // NaN position
        {At(1, 1), At(5, 1, kNaN), At(1, 9)}, // NaN texture coordinate
        {At(1, 1, 0, 0, 0), At(5, 1), At(1, 9)}, // zero depth
        {At(-1e300, -1e300), At(1e300, -1e300), At(0, 1e300)}, // area overflows
        {At(-1e308, 1), At(1e308, 2), At(0, 3)}, // edge lengths overflow
    };
    for (const auto& t : triangles) {
        test::OwnedImage out(16, 16, PixelFormat::Argb8, 4);
        RasterizeTriangleCpu(quad, out.View(), t[0], t[1], t[2], 1, nullptr);
        EXPECT_EQ(out.Channels(), std::vector<double>(16 * 16 * 4, 0.0)) << t[0].x << " " << t[1].x;
    }
    // Outputs and sources without pixels are skipped without touching memory.
    ImageView noOutput{};
    noOutput.width = 16;
    noOutput.height = 16;
    RasterizeTriangleCpu(quad, noOutput, At(0, 0), At(9, 0), At(0, 9), 1, nullptr);
    test::OwnedImage zeroWide(0, 5, PixelFormat::Argb8);
    DrawTriangleListCpu({{&quad, At(0, 0), At(9, 0), At(0, 9), At(0, 0), 1, 0}}, zeroWide.View(), nullptr, {});
    test::OwnedImage out(16, 16, PixelFormat::Argb8);
    SourceQuad noImage = quad;
    noImage.image = {};
    SourceQuad noPixels = quad;
    noPixels.image.width = 0;
    DrawTriangleListCpu({{&noImage, At(0, 0), At(9, 0), At(0, 9), At(0, 0), 1, 0},
                         {&noPixels, At(0, 0), At(9, 0), At(0, 9), At(0, 0), 1, 0},
                         {nullptr, At(0, 0), At(9, 0), At(0, 9), At(0, 0), 1, 0}},
                        out.View(), nullptr, {});
    EXPECT_EQ(out.Channels(), std::vector<double>(16 * 16 * 4, 0.0));
}

TEST(RasterizerTest, HugeButFiniteTrianglesCoverTheOutput)
{
    // A near-plane sliver projected billions of pixels away still covers what it should.
    const test::OwnedImage white = test::Filled(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
    // Rows wider than one batch of pixels, so that every batch boundary is crossed.
    test::OwnedImage out(150, 10, PixelFormat::Argb8);
    RasterizeTriangleCpu(WholeImage(white), out.View(), At(-3e9, -1e9), At(4e9, -2e9), At(5, 4e9), 1, nullptr);
    EXPECT_EQ(out.Channels(), test::Filled(150, 10, PixelFormat::Argb8, {255, 255, 255, 255}).Channels());
}

TEST(RasterizerTest, ListStopsOnAbortAfterACompleteEntry)
{
    const test::OwnedImage white = test::Filled(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
    const SourceQuad quad = WholeImage(white);
    // One entry holding the whole quad (D differs from A), then one more triangle elsewhere.
    const TriangleList list = {{&quad, At(0, 0), At(4, 0), At(4, 4), At(0, 4), 1, 0},
                               {&quad, At(6, 0), At(10, 0), At(6, 4), At(6, 0), 1, 0}};
    int polls = 0;
    test::OwnedImage aborted(10, 4, PixelFormat::Argb8);
    DrawTriangleListCpu(list, aborted.View(), nullptr, AbortCheck([&polls] { return ++polls >= 1; }));
    EXPECT_EQ(polls, 1);
    EXPECT_EQ(aborted.Get(0, 3)[0], 255) << "the entry before the abort is complete";
    EXPECT_EQ(aborted.Get(6, 0)[0], 0) << "nothing after it";
}

TEST(SortTrianglesByDepthTest, PutsTheFarthestFirstAndNaNWithThem)
{
    std::mt19937_64 random(3);
    TriangleList list(200);
    for (ScreenTriangle& t : list) t.depth = std::floor(std::generate_canonical<double, 53>(random) * 50);
    list[17].depth = kNaN;
    list[90].depth = kInf;
    const auto depths = [&] {
        std::multiset<double> d;
        for (const ScreenTriangle& t : list) d.insert(std::isnan(t.depth) ? -1 : t.depth);
        return d;
    };
    const std::multiset<double> before = depths();
    SortTrianglesByDepth(list);
    EXPECT_TRUE(std::isnan(list[0].depth) || std::isnan(list[1].depth));
    for (std::size_t i = 2; i + 1 < list.size(); ++i) EXPECT_GE(list[i].depth, list[i + 1].depth);
    EXPECT_EQ(depths(), before) << "entries are reordered, never lost";
}

class DepthTestFixture : public testing::Test {
protected:
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

    const test::OwnedImage red = test::Filled(2, 2, PixelFormat::Argb8, {255, 255, 0, 0}),
                           blue = test::Filled(2, 2, PixelFormat::Argb8, {255, 0, 0, 255});
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
        for (auto [w, h] : {std::pair{12, 11}, {11, 12}, {-2, 3}}) {
            DepthBuffer wrongSize(w, h);
            EXPECT_EQ(Draw(list, &wrongSize), redFirst ? kBlue : kRed) << "a buffer of another size is not used";
        }
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
