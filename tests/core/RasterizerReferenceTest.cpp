// The optimised CPU renderer against the plain double-precision loop of the reference.
#include <gtest/gtest.h>

#include <cmath>

#include "render/Rasterizer.h"
#include "support/RandomScene.h"
#include "support/ReferenceRasterizer.h"

namespace strandel {
namespace {

// Colour arithmetic runs in single precision, so a stored level may land one step away from the
// double result where that result sits next to a rounding boundary: one level at 8 and 16 bits.
// Float output is not quantised; there the difference is a few float ulps, bounded by 1e-6
// relative to the value (or absolute below 1).
bool WithinTolerance(PixelFormat format, double fast, double plain)
{
    if (format == PixelFormat::ArgbFloat) return std::fabs(fast - plain) <= 1e-6 * std::max(1.0, std::fabs(plain));
    return std::fabs(fast - plain) <= 1;
}

struct Comparison {
    int pixels = 0, pixelsOff = 0;
    int depths = 0, depthsOff = 0;
};

Comparison DrawBoth(PixelFormat outFormat, PixelFormat sourceFormat, bool depthTest, const test::RandomListOptions& options,
                    uint64_t seed)
{
    std::mt19937_64 random(seed);
    test::OwnedImage small(17, 13, sourceFormat, 6), large(40, 33, sourceFormat, 10);
    test::FillRandom(small, random);
    test::FillRandom(large, random);
    const SourceQuad quads[2] = {{small.View(), {}, 0, 0, 16, 12},
                                 {large.View(), {}, 0, 0, 39, 32}};
    const TriangleList list = test::RandomTriangles({&quads[0], &quads[1]}, 80, random, options);

    test::OwnedImage fast(61, 47, outFormat, 12), plain(61, 47, outFormat, 12);
    test::FillRandom(fast, random);
    for (int32_t y = 0; y < fast.Height(); ++y)
        for (int32_t x = 0; x < fast.Width(); ++x) plain.Set(x, y, fast.Get(x, y));
    DepthBuffer depth(61, 47);
    std::vector<double> plainDepth = depth.values;
    DrawTriangleListCpu(list, fast.View(), depthTest ? &depth : nullptr, {});
    test::reference::DrawTriangleList(list, plain.View(), depthTest ? &plainDepth : nullptr);

    Comparison result;
    for (int32_t y = 0; y < fast.Height(); ++y)
        for (int32_t x = 0; x < fast.Width(); ++x) {
            const auto a = fast.Get(x, y), b = plain.Get(x, y);
            bool same = true;
            for (int c = 0; c < 4; ++c) same = same && WithinTolerance(outFormat, a[c], b[c]);
            ++result.pixels;
            result.pixelsOff += !same;
        }
    for (std::size_t i = 0; i < depth.values.size(); ++i) {
        const double a = depth.values[i], b = plainDepth[i];
        ++result.depths;
        result.depthsOff += !(a == b || std::fabs(a - b) <= 1e-9 * std::fabs(b));
    }
    EXPECT_TRUE(fast.PaddingBytes() == plain.PaddingBytes()) << "row padding was written";
    return result;
}

TEST(RasterizerReferenceTest, StaysWithinALevelOfThePlainLoopOnRandomLists)
{
    for (const test::RandomListCase& k : test::RandomListCases()) {
        SCOPED_TRACE(k.Describe());
        const Comparison c = DrawBoth(k.outFormat, k.sourceFormat, k.depthTest, k.options, k.seed);
        EXPECT_LE(c.pixelsOff, c.pixels / 1000);
        EXPECT_LE(c.depthsOff, c.depths / 1000);
    }
}

TEST(RasterizerReferenceTest, CoversExactlyThePixelsOfThePlainEdgeTest)
{
    // Edges through pixel centres, on pixel borders, and all but horizontal or vertical.
    const double nudges[] = {0, 1e-13, -1e-13, 1e-9, -1e-9, 1e-7, 0.5, 1e-300};
    test::OwnedImage white(2, 2, PixelFormat::Argb8);
    for (int32_t i = 0; i < 4; ++i) white.Set(i % 2, i / 2, {255, 255, 255, 255});
    const SourceQuad quad{white.View(), {}, 0, 0, 1, 1};
    int drawn = 0;
    for (double nudge : nudges)
        for (int shape = 0; shape < 4; ++shape) {
            const ScreenVertex corners[4][3] = {
                {{2.5, 3.5, 1, 0, 0}, {40.5, 3.5 + nudge, 1, 1, 0}, {20.5, 30.5, 1, 1, 1}},
                {{3, 2, 1, 0, 0}, {3 + nudge, 35, 1, 1, 0}, {37, 20, 1, 1, 1}},
                {{0.5, 0.5, 1, 0, 0}, {39.5, 29.5 + nudge, 1, 1, 0}, {39.5, 0.5, 1, 1, 1}},
                {{-7, 3, 1, 0, 0}, {45, 3 - nudge, 1, 1, 0}, {19, 3.5, 1, 1, 1}},
            };
            const ScreenVertex* v = corners[shape];
            for (int order = 0; order < 6; ++order) {
                const int i0 = order / 2, i1 = (i0 + 1 + order % 2) % 3, i2 = 3 - i0 - i1;
                test::OwnedImage fast(41, 37, PixelFormat::Argb8), plain(41, 37, PixelFormat::Argb8);
                RasterizeTriangleCpu(quad, fast.View(), v[i0], v[i1], v[i2], 1, nullptr);
                test::reference::RasterizeTriangle(quad, plain.View(), v[i0], v[i1], v[i2], 1,
                                                   nullptr);
                EXPECT_EQ(fast.Channels(), plain.Channels()) << "nudge " << nudge << ", shape " << shape;
                drawn += fast.Get(20, 3)[0] > 0;
            }
        }
    EXPECT_GT(drawn, 0);
}

} // namespace
} // namespace strandel
