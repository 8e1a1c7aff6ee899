#include <gtest/gtest.h>

#include <cmath>

#include "host/project/AnimatedProperty.h"
#include "host/project/TimeBase.h"
#include "support/HostTestSupport.h"

namespace strandel::host {
namespace {

TEST(TimeBase, FrameRatesAreHeldExactly)
{
    const struct {
        double fps;
        A_u_long scale;
        A_long step;
    } cases[] = {{30, 30, 1},          {29.97, 30000, 1001}, {23.976, 24000, 1001},
                 {59.94, 60000, 1001}, {12.5, 25, 2},        {24, 24, 1}};
    for (const auto& c : cases) {
        const auto base = TimeBaseForFrameRate(c.fps);
        ASSERT_TRUE(base) << c.fps;
        EXPECT_EQ(base->scale, c.scale) << c.fps;
        EXPECT_EQ(base->step, c.step) << c.fps;
    }
    for (double bad : {0.0, -30.0, double(NAN), double(INFINITY), M_PI}) EXPECT_FALSE(TimeBaseForFrameRate(bad)) << bad;
}

TEST(TimeBase, FramesAndTimesAtThirtyAndNtscRates)
{
    const TimeBase thirty{30, 1};
    const TimeBase ntsc{30000, 1001};
    EXPECT_EQ(FrameTime(thirty, 45).value, 45);
    EXPECT_EQ(FrameTime(ntsc, 30).value, 30030);
    EXPECT_EQ(FrameTime(ntsc, 30).scale, 30000u);
    // One second at 29.97 falls inside frame 29 (frame 30 starts at 1.001 s).
    EXPECT_EQ(FrameAtSeconds(ntsc, 1.0), 29);
    EXPECT_EQ(FrameAtSeconds(ntsc, 1.001), 30);
    EXPECT_EQ(FrameAtTime(ntsc, FrameTime(ntsc, 299)), 299);
    EXPECT_EQ(FrameAtTime(ntsc, A_Time{2, 1}), 59); // 2 s = 59.94 frames
    EXPECT_EQ(FrameAtSeconds(thirty, 0.5), 15);
    EXPECT_DOUBLE_EQ(TimeToSeconds(FrameTime(ntsc, 3)), 3003.0 / 30000.0);
    EXPECT_EQ(SecondsToTime(2.5, 30000).value, 75000);
}

Keyframe Key(double time, Vec3 value, Interpolation out = Interpolation::Linear)
{
    Keyframe key;
    key.time = time;
    key.value = value;
    key.outInterpolation = out;
    return key;
}

TEST(AnimatedProperty, LinearAndHoldBetweenKeysAndHeldOutside)
{
    AnimatedProperty p = ConstantProperty({}, 1);
    p.keys = {Key(1, {0, 0, 0}), Key(3, {10, -4, 0}, Interpolation::Hold), Key(4, {20, 0, 0})};
    EXPECT_EQ(p.ScalarAt(0), 0); // before the first key
    EXPECT_EQ(p.ScalarAt(1.5), 2.5);
    EXPECT_EQ(p.ValueAt(2).y, -2);
    EXPECT_EQ(p.ScalarAt(3.9), 10); // held
    EXPECT_EQ(p.ScalarAt(4), 20);
    EXPECT_EQ(p.ScalarAt(9), 20); // after the last

    // A temporal "bezier" key of a non-spatial property still interpolates linearly.
    p.keys[0].outInterpolation = Interpolation::Bezier;
    EXPECT_EQ(p.ScalarAt(1.5), 2.5);

    EXPECT_EQ(ConstantProperty({7, 8, 9}, 3).ValueAt(100), (Vec3{7, 8, 9}));
}

TEST(AnimatedProperty, SpatialKeysFollowTheBezierWithTheParameterLinearInTime)
{
    AnimatedProperty position = ConstantProperty({}, 3, true);
    Keyframe a = Key(0, {0, 0, 0});
    a.outTangent = {30, 0, 0};
    Keyframe b = Key(2, {100, 0, 0});
    b.inTangent = {0, 60, 0};
    position.keys = {a, b};
    // Control points (0,0) (30,0) (100,60) (100,0); s = 1/2 gives (P0 + 3 P1 + 3 P2 + P3) / 8.
    test::ExpectNear(position.ValueAt(1), {61.25, 22.5, 0});
    // s = 1/4: weights 27/64, 27/64, 9/64, 1/64.
    test::ExpectNear(position.ValueAt(0.5), {1810.0 / 64, 540.0 / 64, 0});

    position.keys[0].outInterpolation = Interpolation::Hold;
    test::ExpectNear(position.ValueAt(1.5), {0, 0, 0});
}

TEST(AnimatedProperty, SetKeyKeepsTimesOrderedAndReplacesAtTheSameTime)
{
    AnimatedProperty p = ConstantProperty({1, 2, 0}, 2, true);
    p.SetKey(Key(2, {2, 0, 5}));
    p.SetKey(Key(0, {0, 0, 0}));
    p.SetKey(Key(1, {1, 0, 0}));
    p.SetKey(Key(2, {4, 0, 5}));
    ASSERT_EQ(p.keys.size(), 3u);
    EXPECT_EQ(p.keys[0].time, 0);
    EXPECT_EQ(p.keys[1].time, 1);
    EXPECT_EQ(p.keys[2].value.x, 4);
    EXPECT_TRUE(p.specified);
    EXPECT_EQ(p.dimensions, 3); // the keys' z must survive writing
}

} // namespace
} // namespace strandel::host
