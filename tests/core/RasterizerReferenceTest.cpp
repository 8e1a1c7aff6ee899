// The optimised CPU renderer against the plain double-precision loop of the reference, and its
// instruction-set builds against each other.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/Rasterizer.h"
#include "support/RandomScene.h"
#include "support/ReferenceRasterizer.h"

namespace strandel {
namespace {

constexpr PixelFormat kFormats[] = {PixelFormat::Argb8, PixelFormat::Argb16, PixelFormat::ArgbFloat};

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

struct Comparison {
    int pixelsOff = 0, depthsOff = 0;
    bool pathsAgree = true, paddingKept = true;
};

struct Sizes {
    int32_t width, height;
};

// One drawing to compare: a random list of count triangles, half of them showing a small source
// of the given size, over an output that starts random or, with startClear, transparent.
struct ListRun {
    test::RandomListCase list;
    int count = 80;
    bool startClear = false;
    Sizes small = {17, 13};
    std::string note = {};
};

// Draws the run with the plain loop and with every build.
Comparison DrawAll(const ListRun& run)
{
    const test::RandomListCase& k = run.list;
    std::mt19937_64 random(k.seed);
    test::OwnedImage smallImage(run.small.width, run.small.height, k.sourceFormat, 6);
    test::OwnedImage large(40, 33, k.sourceFormat, 10);
    test::FillRandom(smallImage, random);
    test::FillRandom(large, random);
    const SourceQuad quads[2] = {{smallImage.View(), {}, 0, 0, run.small.width - 1.0, run.small.height - 1.0},
                                 {large.View(), {}, 0, 0, 39, 32}};
    const TriangleList list = test::RandomTriangles({&quads[0], &quads[1]}, run.count, random, k.options);

    test::OwnedImage plain(61, 47, k.outFormat, 12);
    if (!run.startClear) test::FillRandom(plain, random);
    std::vector<double> plainDepth = DepthBuffer(61, 47).values;
    const test::OwnedImage background = test::CopyOf(plain);
    test::reference::DrawTriangleList(list, plain.View(), k.depthTest ? &plainDepth : nullptr);

    Comparison result;
    std::vector<std::byte> firstBytes;
    std::vector<double> firstDepth;
    for (RasterPath path : AvailablePaths()) {
        test::OwnedImage fast = test::CopyOf(background);
        DepthBuffer depth(61, 47);
        DrawTriangleListCpu(list, fast.View(), k.depthTest ? &depth : nullptr, {}, path);
        // Triangles reach past every side of the output: no build writes past a row's pixels.
        result.paddingKept = result.paddingKept && fast.PaddingBytes() == background.PaddingBytes();
        if (firstBytes.empty()) {
            firstBytes = fast.Bytes();
            firstDepth = depth.values;
            for (int32_t y = 0; y < fast.Height(); ++y)
                for (int32_t x = 0; x < fast.Width(); ++x) {
                    const auto a = fast.Get(x, y), b = plain.Get(x, y);
                    bool same = true;
                    for (int c = 0; c < 4; ++c) same = same && WithinTolerance(k.outFormat, a[c], b[c]);
                    result.pixelsOff += !same;
                }
            for (std::size_t i = 0; i < depth.values.size(); ++i) {
                const double a = depth.values[i], b = plainDepth[i];
                result.depthsOff += !(a == b || std::fabs(a - b) <= 1e-9 * std::fabs(b));
            }
        } else {
            result.pathsAgree = result.pathsAgree && fast.Bytes() == firstBytes && depth.values == firstDepth;
        }
    }
    return result;
}

// The random lists, plus coverage saturated by opacities up to 3 (the lanes take a separate step
// there), plus small sources one texel wide or high, which have no pair of columns or rows for
// the lookups to read.
std::vector<ListRun> ListRuns()
{
    std::vector<ListRun> runs;
    for (const test::RandomListCase& k : test::RandomListCases()) runs.push_back({k});
    uint64_t seed = 50;
    for (const PixelFormat outFormat : kFormats)
        for (const PixelFormat sourceFormat : kFormats) {
            ListRun run{{{}, outFormat, sourceFormat, true, seed++}, 40, false, {17, 13}, "opacity up to 3"};
            run.list.options.opacityHi = 3;
            runs.push_back(run);
        }
    for (const Sizes small : {Sizes{1, 1}, Sizes{1, 9}, Sizes{9, 1}})
        for (const PixelFormat format : kFormats)
            runs.push_back({{{}, format, format, false, seed++},
                            40,
                            false,
                            small,
                            "small source " + std::to_string(small.width) + " x " + std::to_string(small.height)});
    return runs;
}

// Hundreds of faint blends on every pixel of an output that starts transparent. Each blend
// divides the colour by the new alpha, which is small here, so a stored alpha one level away from
// the plain loop's would throw every later colour many levels off: alpha must come out as the
// plain loop's, and colour may not drift.
std::vector<ListRun> FaintStacks()
{
    std::vector<ListRun> runs;
    uint64_t seed = 100;
    for (const PixelFormat outFormat : kFormats)
        for (const PixelFormat sourceFormat : kFormats)
            for (const double opacityHi : {0.01, 0.1}) {
                ListRun run{{{}, outFormat, sourceFormat, false, seed++},
                            400,
                            true,
                            {17, 13},
                            "opacity up to " + std::to_string(opacityHi)};
                run.list.options.opacityLo = 0.001;
                run.list.options.opacityHi = opacityHi;
                runs.push_back(run);
            }
    return runs;
}

// Every pixel within a level of the plain loop, every depth as the plain loop's, every build the
// same bytes, and no padding byte written.
void ExpectAgreement(const std::vector<ListRun>& runs)
{
    for (const ListRun& run : runs) {
        SCOPED_TRACE(run.list.Describe() + (run.note.empty() ? "" : ", " + run.note));
        const Comparison c = DrawAll(run);
        EXPECT_EQ(c.pixelsOff, 0);
        EXPECT_EQ(c.depthsOff, 0);
        EXPECT_TRUE(c.pathsAgree);
        EXPECT_TRUE(c.paddingKept);
    }
}

TEST(RasterizerReferenceTest, StaysWithinALevelOfThePlainLoopOnRandomLists) { ExpectAgreement(ListRuns()); }

TEST(RasterizerReferenceTest, StacksOfFaintTrianglesStayWithinALevel) { ExpectAgreement(FaintStacks()); }

// The same on purpose: a first blend leaves alpha a hundred-millionth of a level below a rounding
// boundary, where single precision cannot tell the sides apart; a second, faint blend of a
// contrasting colour then shows any stored alpha that went the other way, many levels strong.
TEST(RasterizerReferenceTest, AlphaJustBelowALevelBoundaryRoundsAsThePlainLoop)
{
    for (const PixelFormat format : {PixelFormat::Argb8, PixelFormat::Argb16})
        for (int level = 1; level <= 16; ++level) {
            const double full = test::FullScale(format);
            test::OwnedImage white(2, 2, format), black(2, 2, format);
            for (int32_t i = 0; i < 4; ++i) {
                white.Set(i % 2, i / 2, {full, full, full, full});
                black.Set(i % 2, i / 2, {full, 0, 0, 0});
            }
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
