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

// Pixels and depths of the optimised renderer that differ from the plain loop's beyond tolerance.
TEST(RasterizerReferenceTest, StaysWithinALevelOfThePlainLoopOnRandomLists)
{
    test::ForEachRandomList([](const test::RandomListCase& k, test::RandomListScene& scene) {
        test::OwnedImage& fast = scene.background;
        test::OwnedImage plain(fast.Width(), fast.Height(), k.outFormat, 12);
        for (int32_t y = 0; y < fast.Height(); ++y)
            for (int32_t x = 0; x < fast.Width(); ++x) plain.Set(x, y, fast.Get(x, y));
        DepthBuffer depth(fast.Width(), fast.Height());
        std::vector<double> plainDepth = depth.values;
        DrawTriangleListCpu(scene.list, fast.View(), k.depthTest ? &depth : nullptr, {});
        test::reference::DrawTriangleList(scene.list, plain.View(), k.depthTest ? &plainDepth : nullptr);

        int pixelsOff = 0, depthsOff = 0;
        for (int32_t y = 0; y < fast.Height(); ++y)
            for (int32_t x = 0; x < fast.Width(); ++x) {
                const auto a = fast.Get(x, y), b = plain.Get(x, y);
                for (int c = 0; c < 4; ++c)
                    if (!WithinTolerance(k.outFormat, a[c], b[c])) {
                        ++pixelsOff;
                        break;
                    }
            }
        for (std::size_t i = 0; i < depth.values.size(); ++i) {
            const double a = depth.values[i], b = plainDepth[i];
            depthsOff += !(a == b || std::fabs(a - b) <= 1e-9 * std::fabs(b));
        }
        EXPECT_LE(pixelsOff, fast.Width() * fast.Height() / 1000);
        EXPECT_LE(depthsOff, fast.Width() * fast.Height() / 1000);
        EXPECT_TRUE(fast.PaddingBytes() == plain.PaddingBytes()) << "row padding was written";
    });
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
