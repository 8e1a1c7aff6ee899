#include <gtest/gtest.h>

#include <cstdint>

#include "host/image/BoxReduce.h"
#include "host/image/Image.h"

namespace strandel::host {
namespace {

TEST(Image, RowsArePaddedAndTheEffectWorldAddressesThemThroughRowBytes)
{
    for (PixelDepth depth : {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float}) {
        Image image(5, 3, depth);
        PF_EffectWorld world = image.AsEffectWorld();
        EXPECT_GT(world.rowbytes, 5 * static_cast<A_long>(BytesPerPixel(depth)));
        EXPECT_EQ((world.world_flags & PF_WorldFlag_DEEP) != 0, depth == PixelDepth::Sixteen);

        // Write pixel (4, 2) through the world's own addressing; the image must see it there.
        auto* row = reinterpret_cast<std::uint8_t*>(world.data) + 2 * world.rowbytes;
        auto* pixel = row + 4 * BytesPerPixel(depth);
        if (depth == PixelDepth::Eight) pixel[1] = 255; // A R G B: red
        if (depth == PixelDepth::Sixteen) reinterpret_cast<std::uint16_t*>(pixel)[1] = 32768;
        if (depth == PixelDepth::Float) reinterpret_cast<float*>(pixel)[1] = 1.0f;
        EXPECT_EQ(image.Get(4, 2).r, 1.0);
    }
}

TEST(Image, DepthConversionRoundsToTheNearestStepAndClamps)
{
    Image eight(2, 1, PixelDepth::Eight);
    eight.PixelAt<std::uint8_t>(0, 0)[1] = 255;
    eight.PixelAt<std::uint8_t>(1, 0)[1] = 128;
    const Image sixteen = ConvertDepth(eight, PixelDepth::Sixteen);
    EXPECT_EQ(sixteen.PixelAt<std::uint16_t>(0, 0)[1], 32768);
    EXPECT_EQ(sixteen.PixelAt<std::uint16_t>(1, 0)[1], 16448); // 128 x 32768 / 255 = 16448.25

    Image deep(1, 1, PixelDepth::Sixteen);
    deep.PixelAt<std::uint16_t>(0, 0)[1] = 16384; // 16384 x 255 / 32768 = 127.5 rounds up
    EXPECT_EQ(ConvertDepth(deep, PixelDepth::Eight).PixelAt<std::uint8_t>(0, 0)[1], 128);

    Image floats(1, 1, PixelDepth::Float);
    floats.Set(0, 0, {1.5, -0.25, 0.5, 1.0});
    const Image clamped = ConvertDepth(floats, PixelDepth::Eight);
    const auto* p = clamped.PixelAt<std::uint8_t>(0, 0);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 128); // 127.5
    EXPECT_EQ(p[3], 255);
}

TEST(BoxReduce, WeightsColourByAlphaAndAveragesPartialEdgeBlocks)
{
    // 5 x 3 reduced by 2 gives 3 x 2; the right column and bottom row cover partial blocks.
    Image image(5, 3, PixelDepth::Float);
    image.Set(0, 0, {1, 1, 0, 0}); // opaque red among three transparent green pixels
    image.Set(1, 0, {0, 0, 1, 0});
    image.Set(0, 1, {0, 0, 1, 0});
    image.Set(1, 1, {0, 0, 1, 0});
    image.Set(4, 0, {1, 0, 0, 1}); // right edge block: one opaque blue, one half-transparent white
    image.Set(4, 1, {0.5, 1, 1, 1});
    image.Set(4, 2, {0.25, 0, 1, 0}); // bottom-right corner: a block of one pixel

    const Image reduced = BoxReduce(image, 2);
    ASSERT_EQ(reduced.Width(), 3);
    ASSERT_EQ(reduced.Height(), 2);
    EXPECT_EQ(reduced.Get(0, 0), (PixelValue{0.25, 1, 0, 0}));
    const PixelValue edge = reduced.Get(2, 0); // alpha (1 + 0.5) / 2; colour weighted 1 : 0.5
    EXPECT_NEAR(edge.a, 0.75, 1e-7);
    EXPECT_NEAR(edge.r, 1.0 / 3, 1e-7);
    EXPECT_NEAR(edge.g, 1.0 / 3, 1e-7);
    EXPECT_NEAR(edge.b, 1.0, 1e-7);
    EXPECT_EQ(reduced.Get(2, 1), (PixelValue{0.25, 0, 1, 0}));
    EXPECT_EQ(reduced.Get(1, 1), PixelValue{}); // all transparent stays transparent black

    // Integer depths round the averages: 8-bit alphas 255 and 0 over a 3 x 3 block.
    Image eight(7, 7, PixelDepth::Eight);
    eight.Set(0, 0, {1, 1, 1, 1});
    eight.Set(1, 0, {1, 1, 1, 1});
    const Image third = BoxReduce(eight, 3);
    EXPECT_EQ(third.Width(), 3);
    EXPECT_EQ(third.Height(), 3);
    EXPECT_EQ(third.PixelAt<std::uint8_t>(0, 0)[0], 57); // 510 / 9 = 56.67
    EXPECT_EQ(third.PixelAt<std::uint8_t>(0, 0)[1], 255);
}

} // namespace
} // namespace strandel::host
