// The optimised CPU renderer against the plain double-precision loop of the reference, and its
// instruction-set builds against each other.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/Rasterizer.h"
#include "support/RandomScene.h"
#include "support/ReferenceRasterizer.h"

namespace strandel {
namespace {

using test::kFormats;

// Every build of the pixel loop this processor can run.
std::vector<RasterPath> AvailablePaths()
{
    std::vector<RasterPath> paths;
    for (RasterPath path : {RasterPath::Baseline, RasterPath::Avx2})
        if (IsRasterPathAvailable(path)) paths.push_back(path);
    return paths;
}

// Both renderers compute in double precision, in a different order, so a stored level may land
// one step away from the plain result where that result sits next to a rounding boundary: one
// level at 8 and 16 bits. Float output is not quantised; there the difference is a few ulps,
// bounded by 1e-6 relative to the value (or absolute below 1).
bool WithinTolerance(PixelFormat format, double fast, double plain)
{
    if (format == PixelFormat::ArgbFloat) return std::fabs(fast - plain) <= 1e-6 * std::max(1.0, std::fabs(plain));
    return std::fabs(fast - plain) <= 1;
}

// Every pixel within a level of the plain loop, every depth as the plain loop's, every build the
// same bytes, and no padding byte written, though triangles reach past every side of the output.
void ExpectAgreement(const test::RandomListCase& k)
{
    SCOPED_TRACE(k.Describe());
    const test::RandomListScene scene(k);
    const test::OwnedImage& background = scene.background;
    test::OwnedImage plain = test::CopyOf(background);
    std::vector<double> plainDepth = DepthBuffer(plain.Width(), plain.Height()).values;
    test::reference::DrawTriangleList(scene.list, plain.View(), k.depthTest ? &plainDepth : nullptr);

    std::vector<std::byte> firstBytes;
    std::vector<double> firstDepth;
    for (RasterPath path : AvailablePaths()) {
        test::OwnedImage fast = test::CopyOf(background);
        DepthBuffer depth(fast.Width(), fast.Height());
        DrawTriangleListCpu(scene.list, fast.View(), k.depthTest ? &depth : nullptr, {}, path);
        EXPECT_TRUE(fast.PaddingBytes() == background.PaddingBytes());
        if (!firstBytes.empty()) {
            EXPECT_TRUE(fast.Bytes() == firstBytes && depth.values == firstDepth) << "the builds differ";
            continue;
        }
        firstBytes = fast.Bytes();
        firstDepth = depth.values;
        int pixelsOff = 0, depthsOff = 0;
        for (int32_t y = 0; y < fast.Height(); ++y)
            for (int32_t x = 0; x < fast.Width(); ++x) {
                const auto a = fast.Get(x, y), b = plain.Get(x, y);
                for (int c = 0; c < 4; ++c) pixelsOff += !WithinTolerance(k.outFormat, a[c], b[c]);
            }
        for (std::size_t i = 0; i < depth.values.size(); ++i) {
            const double a = depth.values[i], b = plainDepth[i];
            depthsOff += !(a == b || std::fabs(a - b) <= 1e-9 * std::fabs(b));
        }
        EXPECT_EQ(pixelsOff, 0);
        EXPECT_EQ(depthsOff, 0);
    }
}

// The random lists, plus: coverage saturated by opacities up to 3 (the lanes take a separate step
// there); hundreds of faint blends on every pixel of an output that starts transparent, where each
// blend divides the colour by a small new alpha, so that a stored alpha one level away from the
// plain loop's would throw every later colour many levels off; and small sources one texel wide
// or high, which have no pair of columns or rows for the lookups to read.
std::vector<test::RandomListCase> Cases()
{
    std::vector<test::RandomListCase> cases = test::RandomListCases();
    uint64_t seed = 50;
    for (const PixelFormat outFormat : kFormats)
        for (const PixelFormat sourceFormat : kFormats) {
            test::RandomListCase saturated{{}, outFormat, sourceFormat, true, seed++, 40};
            saturated.options.opacityHi = 3;
            cases.push_back(saturated);
            for (const double opacityHi : {0.01, 0.1}) {
                test::RandomListCase faint{{}, outFormat, sourceFormat, false, seed++, 400};
                faint.options.opacityLo = 0.001;
                faint.options.opacityHi = opacityHi;
                faint.startClear = true;
                cases.push_back(faint);
            }
        }
    for (const auto& [width, height] : {std::pair{1, 1}, {1, 9}, {9, 1}})
        for (const PixelFormat format : kFormats) {
            test::RandomListCase small{{}, format, format, false, seed++, 40};
            small.smallWidth = width;
            small.smallHeight = height;
            cases.push_back(small);
        }
    return cases;
}

TEST(RasterizerReferenceTest, StaysWithinALevelOfThePlainLoopOnRandomLists)
{
    for (const test::RandomListCase& k : Cases()) ExpectAgreement(k);
}

// A first blend leaves alpha a hundred-millionth of a level below a rounding boundary, where
// single precision cannot tell the sides apart; a second, faint blend of a contrasting colour then
// shows any stored alpha that went the other way, many levels strong.
TEST(RasterizerReferenceTest, AlphaJustBelowALevelBoundaryRoundsAsThePlainLoop)
{
    for (const PixelFormat format : {PixelFormat::Argb8, PixelFormat::Argb16})
        for (int level = 1; level <= 16; ++level) {
            const double full = test::FullScale(format);
            const test::OwnedImage white = test::Filled(2, 2, format, {full, full, full, full}),
                                   black = test::Filled(2, 2, format, {full, 0, 0, 0});
            const SourceQuad quads[2] = {{white.View(), {}, 0, 0, 1, 1}, {black.View(), {}, 0, 0, 1, 1}};
            const ScreenVertex a{0, 0, 1, 0, 0}, b{9, 0, 1, 1, 0}, c{0, 9, 1, 0, 1};
            const TriangleList list = {{&quads[0], a, b, c, a, (level + 0.5 - 1e-8) / full, 1},
                                       {&quads[1], a, b, c, a, 0.003, 1}};
            test::OwnedImage plain(4, 4, format);
            test::reference::DrawTriangleList(list, plain.View(), nullptr);
            for (RasterPath path : AvailablePaths()) {
                test::OwnedImage fast(4, 4, format);
                DrawTriangleListCpu(list, fast.View(), nullptr, {}, path);
                const auto got = fast.Get(1, 1), expected = plain.Get(1, 1);
                for (int i = 0; i < 4; ++i)
                    EXPECT_TRUE(WithinTolerance(format, got[i], expected[i]))
                        << format << ", level " << level << ", channel " << i << ": " << got[i] << " against "
                        << expected[i];
            }
        }
}

TEST(RasterizerReferenceTest, CoversExactlyThePixelsOfThePlainEdgeTest)
{
    // Edges through pixel centres, on pixel borders, and all but horizontal or vertical.
    const double nudges[] = {0, 1e-13, -1e-13, 1e-9, -1e-9, 1e-7, 0.5, 1e-300};
    const test::OwnedImage white = test::Filled(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
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
                test::OwnedImage plain(41, 37, PixelFormat::Argb8);
                test::reference::RasterizeTriangle(quad, plain.View(), v[i0], v[i1], v[i2], 1, nullptr);
                for (RasterPath path : AvailablePaths()) {
                    test::OwnedImage fast(41, 37, PixelFormat::Argb8);
                    RasterizeTriangleCpu(quad, fast.View(), v[i0], v[i1], v[i2], 1, nullptr, path);
                    EXPECT_EQ(fast.Channels(), plain.Channels()) << "nudge " << nudge << ", shape " << shape;
                }
                drawn += plain.Get(20, 3)[0] > 0;
            }
        }
    EXPECT_GT(drawn, 0);
}

} // namespace
} // namespace strandel
