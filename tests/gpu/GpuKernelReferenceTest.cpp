// The GPU renderer through the driver the library search finds (the stand-in, which runs the
// kernel body on the CPU, unless a real driver comes first) against the CPU rasterizer on random
// triangle lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "render/DepthSort.h"
#include "render/DriverRuntime.h"
#include "render/GpuRenderer.h"
#include "render/Rasterizer.h"
#include "render/StxRendererCUDA.h"
#include "support/GpuFrames.h"
#include "support/HostTestSupport.h"
#include "support/TestPaths.h"

namespace strandel {
namespace {

// The largest difference over all pixels, in stored units (levels, or float values). A straight
// colour counts weighted by the larger of the two alphas: under an almost transparent pixel the
// colour is the filtered colour divided by that tiny alpha, so a texture coordinate off by a few
// single-precision ulps moves it by levels that nobody can see.
double LargestDifference(const TriangleList& list, const test::RandomListScene& scene, bool depthTest)
{
    const PixelFormat format = scene.background.Format();
    test::OwnedImage gpu = test::CopyOf(scene.background), cpu = test::CopyOf(scene.background);
    DriverRuntime runtime(kCudaDriverLibrary, kGpuKernelImage);
    EXPECT_TRUE(RenderTrianglesGpu(runtime, list, gpu.View(), depthTest));
    DepthBuffer depth(cpu.Width(), cpu.Height());
    DrawTriangleListCpu(list, cpu.View(), depthTest ? &depth : nullptr, {});
    EXPECT_TRUE(gpu.PaddingBytes() == cpu.PaddingBytes()) << "row padding was written";

    const double full = test::FullScale(format);
    double largest = 0;
    for (int32_t y = 0; y < gpu.Height(); ++y)
        for (int32_t x = 0; x < gpu.Width(); ++x) {
            const auto g = gpu.Get(x, y), c = cpu.Get(x, y);
            const double weight = std::max(g[0], c[0]) / full;
            largest = std::max(largest, std::fabs(g[0] - c[0]));
            for (int i = 1; i < 4; ++i) largest = std::max(largest, std::fabs(g[i] - c[i]) * weight);
        }
    return largest;
}

// Float output is rounded by neither renderer, so the lists compare whole: coverage, order, depth
// test and compositing. The GPU narrows vertices to single precision and interpolates u, v in it;
// for these textures of at most 40 texels that moves a sample by about 1e-5 texel, and with
// neighbouring texels up to 1.5 apart the colour by a few 1e-5. 1e-4 allows that and is still 40
// times finer than an 8-bit level.
// At 8 and 16 bits one blend rounds once in both renderers: within one level. A stack of blends
// differs by more, and not because of the GPU: the CPU rounds to the output's levels after every
// blend, the GPU keeps floats until the download. Whole lists stay within two levels.
TEST(GpuKernelReferenceTest, MatchesTheCpuRasterizerWithinTheOutputsRounding)
{
    for (const test::RandomListCase& k : test::RandomListCases()) {
        SCOPED_TRACE(k.Describe());
        test::RandomListScene scene(k);
        TriangleList& list = scene.list;
        // Nearest first, and half of the entries opaque where their texels are, so that the depth
        // buffer decides most overlaps.
        if (k.depthTest) {
            SortTrianglesByDepth(list);
            std::reverse(list.begin(), list.end());
            for (std::size_t i = 0; i < list.size(); i += 2) list[i].opacity = 1;
        }
        if (k.outFormat == PixelFormat::ArgbFloat) {
            EXPECT_LE(LargestDifference(list, scene, k.depthTest), 1e-4);
            continue;
        }
        double single = 0;
        for (const ScreenTriangle& t : list) {
            // Each half of a quad entry on its own.
            ScreenTriangle first = t, second = t;
            first.D = first.A;
            second.B = t.C;
            second.C = t.D;
            second.D = t.A;
            for (const ScreenTriangle& half : {first, second})
                single = std::max(single, LargestDifference({half}, scene, false));
        }
        EXPECT_LE(single, 1);
        EXPECT_LE(LargestDifference(list, scene, k.depthTest), 2);
    }
}

TEST(GpuKernelReferenceTest, QuadHalvesCoverEachPixelOfTheirSharedEdgeOnce)
{
    // Edges through pixel centres: horizontal, vertical and diagonal, in both windings.
    const test::OwnedImage white = test::Filled(2, 2, PixelFormat::Argb8, {255, 255, 255, 255});
    const SourceQuad quad{white.View(), {}, 0, 0, 1, 1};
    const ScreenVertex shapes[][4] = {
        {{0.5, 0.5, 1, 0, 0}, {20.5, 0.5, 1, 1, 0}, {20.5, 10.5, 1, 1, 1}, {0.5, 10.5, 1, 0, 1}},
        {{3.5, 2.5, 1, 0, 0}, {3.5, 17.5, 1, 1, 0}, {21.5, 17.5, 1, 1, 1}, {21.5, 2.5, 1, 0, 1}},
        {{10.5, 0.5, 1, 0, 0}, {22.5, 9.5, 1, 1, 0}, {10.5, 18.5, 1, 1, 1}, {1.5, 9.5, 1, 0, 1}},
    };
    for (const auto& v : shapes) {
        ScreenTriangle entry{&quad, v[0], v[1], v[2], v[3], 0.5, 1};
        test::OwnedImage gpu(24, 20, PixelFormat::ArgbFloat), cpu(24, 20, PixelFormat::ArgbFloat);
        DriverRuntime runtime(kCudaDriverLibrary, kGpuKernelImage);
        ASSERT_TRUE(RenderTrianglesGpu(runtime, {entry}, gpu.View(), false));
        DrawTriangleListCpu({entry}, cpu.View(), nullptr, {});
        int covered = 0;
        for (int32_t y = 0; y < 20; ++y)
            for (int32_t x = 0; x < 24; ++x) {
                // Covered twice would be 0.75; the filter's weights sum to 1 within a float ulp.
                const double alpha = gpu.Get(x, y)[0];
                EXPECT_TRUE(alpha == 0 || std::fabs(alpha - 0.5) < 1e-6) << "pixel " << x << ", " << y << ": " << alpha;
                EXPECT_EQ(alpha > 0, cpu.Get(x, y)[0] > 0) << "pixel " << x << ", " << y;
                covered += alpha > 0;
            }
        EXPECT_GT(covered, 100);
    }
}

// What nvcc made of the kernel, and that the plug-in carries exactly those bytes. (That the
// Windows plug-in loads without nvcuda.dll is shown by the device state under Wine.)
TEST(GpuImageTest, HoldsSm75CodeAndPtxWithoutFusedMultiplyAddsAndThePluginCarriesIt)
{
    const std::string image = host::test::ReadText(test::Beside(STRANDEL_GPU_IMAGE));
    ASSERT_FALSE(image.empty()) << "no kernel image at " << test::Beside(STRANDEL_GPU_IMAGE);
    const std::string symbol = kRasterizeTriangleKernelSymbol;
    uint32_t magic = 0;
    std::memcpy(&magic, image.data(), std::min(image.size(), sizeof magic));
    EXPECT_EQ(magic, 0xBA55ED50u) << "not a fat binary";
    // The PTX and its options are stored as text: the driver compiles it for newer GPUs with them.
    for (const std::string& part :
         {std::string("\x7f"
                      "ELF"),
          symbol + '\0', ".entry " + symbol + "(", std::string(".target sm_75"), std::string("--fmad false")})
        EXPECT_NE(image.find(part), std::string::npos) << part;
    EXPECT_EQ(std::memcmp(kGpuKernelImage, image.data(), image.size()), 0);
    EXPECT_NE(host::test::ReadText(test::PluginPath()).find(image), std::string::npos) << test::PluginPath();
    if (!test::AexPath().empty()) {
        EXPECT_NE(host::test::ReadText(test::AexPath()).find(image), std::string::npos) << test::AexPath();
    }
}

} // namespace
} // namespace strandel
