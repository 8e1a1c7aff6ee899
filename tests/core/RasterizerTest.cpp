#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/Rasterizer.h"
#include "support/OwnedImage.h"

namespace strandel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A texture of one colour, given in stored units.
test::OwnedImage Solid(int32_t w, int32_t h, PixelFormat format, const std::array<double, 4>& stored)
{
    test::OwnedImage image(w, h, format, 6);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) image.Set(x, y, stored);
    return image;
}

SourceQuad WholeImage(const test::OwnedImage& image)
{
    return {image.View(), {}, 0, 0, image.Width() - 1.0, image.Height() - 1.0};
}

ScreenVertex At(double x, double y, double u = 0, double v = 0, double z = 10) { return {x, y, z, u, v}; }

TEST(RasterizerTest, StoresStraightColourAtEachDepth)
{
    struct Case {
        PixelFormat format;
        std::array<double, 4> texel; // stored units
        double opacity;
        std::array<double, 4> expected; // stored units
    };
    const Case cases[] = {
        // Half of opaque white over transparent: alpha rounds 127.5 up, colour divides back to full.
        {PixelFormat::Argb8, {255, 255, 255, 255}, 0.5, {128, 255, 255, 255}},
        {PixelFormat::Argb16, {32768, 32768, 0, 16384}, 1, {32768, 32768, 0, 16384}},
        {PixelFormat::Argb16, {32768, 32768, 0, 16384}, 0.25, {8192, 32768, 0, 16384}},
        // Float keeps colours outside [0, 1] and clamps only alpha.
        {PixelFormat::ArgbFloat, {1, 2.5, -0.25, 1}, 1, {1, 2.5, -0.25, 1}},
        {PixelFormat::ArgbFloat, {3, 0.5, 0.5, 0.5}, 1, {1, 0.5, 0.5, 0.5}},
        // Source alpha above full scale counts as full, so opacity alone sets the coverage.
        {PixelFormat::ArgbFloat, {2, 0.8, 0.2, 0.4}, 0.5, {0.5, 0.8, 0.2, 0.4}},
        {PixelFormat::Argb16, {65535, 32768, 0, 8192}, 0.5, {16384, 32768, 0, 8192}},
    };
    for (const Case& c : cases) {
        const test::OwnedImage texture = Solid(3, 3, c.format, c.texel);
        const SourceQuad quad = WholeImage(texture);
        test::OwnedImage out(8, 8, c.format, 4);
        RasterizeTriangleCpu(quad, out.View(), At(0, 0), At(8, 0, 2), At(0, 8, 0, 2), c.opacity, nullptr);
        const auto got = out.Get(1, 1);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(got[i], c.expected[i], 1e-6) << "format " << c.format << " channel " << i;
    }
}

TEST(RasterizerTest, BlendsOverExistingPixels)
{
    // 8-bit: 0.5 of (R=255) over (alpha 255, B=255): alpha 1, colour (0.5 * 1 + 0.5 * 1 * 0) = 0.5.
    const test::OwnedImage red = Solid(2, 2, PixelFormat::Argb8, {255, 255, 0, 0});
    test::OwnedImage out = Solid(4, 4, PixelFormat::Argb8, {255, 0, 0, 255});
    RasterizeTriangleCpu(WholeImage(red), out.View(), At(0, 0), At(8, 0), At(0, 8), 0.5, nullptr);
    EXPECT_EQ(out.Get(0, 0), (std::array<double, 4>{255, 128, 0, 128}));

    // Opacity 2 lifts alpha 0.6 to full coverage: the source replaces the pixel, R = 0.2.
    const test::OwnedImage dim = Solid(2, 2, PixelFormat::Argb8, {153, 51, 0, 0});
    RasterizeTriangleCpu(WholeImage(dim), out.View(), At(0, 0), At(8, 0), At(0, 8), 2, nullptr);
    EXPECT_EQ(out.Get(0, 0), (std::array<double, 4>{255, 51, 0, 0}));
}

TEST(RasterizerTest, DegenerateOrUnusableInputDrawsNothing)
{
    const test::OwnedImage white = Solid(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
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
    const test::OwnedImage white = Solid(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
    // Rows wider than one batch of pixels, so that every batch boundary is crossed.
    test::OwnedImage out(150, 10, PixelFormat::Argb8);
    RasterizeTriangleCpu(WholeImage(white), out.View(), At(-3e9, -1e9), At(4e9, -2e9), At(5, 4e9), 1, nullptr);
    EXPECT_EQ(out.Channels(), Solid(150, 10, PixelFormat::Argb8, {255, 255, 255, 255}).Channels());
}

TEST(RasterizerTest, ListStopsOnAbortAfterACompleteEntry)
{
    const test::OwnedImage white = Solid(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
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

} // namespace
} // namespace strandel
