#include <gtest/gtest.h>

#include <functional>

#include "host/render/RenderCache.h"

namespace strandel::host {
namespace {

Image Filled(double a, int width = 4, int height = 4)
{
    Image image(width, height, PixelDepth::Eight);
    image.Fill({a, 1, 1, 1});
    return image;
}

const FrameKey kKey{nullptr, 3, PixelDepth::Eight, 1, false, "params", "guid"};

TEST(RenderCache, FindsOnlyTheSameKeyStoredSinceTheLastInvalidation)
{
    RenderCache cache;
    cache.Store(kKey, Filled(1), 7);
    const auto hit = cache.Find(kKey, 7);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->Get(0, 0).a, 1.0);

    const std::function<void(FrameKey&)> changes[] = {
        [](FrameKey& k) { k.effect = &k; },
        [](FrameKey& k) { k.frame = 4; },
        [](FrameKey& k) { k.depth = PixelDepth::Sixteen; },
        [](FrameKey& k) { k.downsample = 2; },
        [](FrameKey& k) { k.legacy = true; },
        [](FrameKey& k) { k.params = "other"; },
        [](FrameKey& k) { k.mixIn = "other"; },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        FrameKey other = kKey;
        changes[i](other);
        EXPECT_FALSE(cache.Find(other, 7)) << "change " << i;
    }
    EXPECT_EQ(cache.Hits(), 1);

    // A touch or forced rerender since storing: the frame is gone, also for later lookups.
    EXPECT_FALSE(cache.Find(kKey, 8));
    EXPECT_FALSE(cache.Find(kKey, 7));
    EXPECT_EQ(cache.Size(), 0u);

    // Storing again under the same key replaces the frame.
    cache.Store(kKey, Filled(1), 8);
    cache.Store(kKey, Filled(0.5), 8);
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_NEAR(cache.Find(kKey, 8)->Get(0, 0).a, 0.5, 1.0 / 255);
}

TEST(RenderCache, OldestFramesMakeRoomWithinTheBudget)
{
    const Image frame = Filled(1);
    const std::size_t frameBytes = static_cast<std::size_t>(frame.RowBytes()) * frame.Height();
    RenderCache cache(frameBytes * 2);
    for (int f = 0; f < 3; ++f) {
        FrameKey key = kKey;
        key.frame = f;
        cache.Store(key, frame, 0);
    }
    EXPECT_EQ(cache.Size(), 2u);
    FrameKey first = kKey, last = kKey;
    first.frame = 0;
    last.frame = 2;
    EXPECT_FALSE(cache.Find(first, 0));
    EXPECT_TRUE(cache.Find(last, 0));

    // A frame larger than the whole budget is not kept, and evicts nothing.
    FrameKey big = kKey;
    big.frame = 9;
    cache.Store(big, Filled(1, 64, 64), 0);
    EXPECT_FALSE(cache.Find(big, 0));
    EXPECT_EQ(cache.Size(), 2u);
}

} // namespace
} // namespace strandel::host
