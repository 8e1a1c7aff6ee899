#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "curves/CurveModel.h"
#include "layout/InstanceLayout.h"
#include "support/LayoutTestSupport.h"

namespace strandel {
namespace {

constexpr double kMissing = -1; // marks a copy that must not be placed

struct PlacementCase {
    int32_t count;
    double spacing, offset;
    bool loop, reverse;
    std::vector<double> x; // kMissing where not placed
    std::vector<double> g;
};

TEST(PlaceInstance, FractionsFollowSpacingOffsetLoopAndReverse)
{
    const std::vector<PlacementCase> cases = {
        {5, 100, 0, false, false, {0, .25, .5, .75, 1}, {0, .25, .5, .75, 1}},
        {5, 100, 0, true, false, {0, .2, .4, .6, .8}, {0, .2, .4, .6, .8}},
        {5, 100, 50, true, false, {.5, .7, .9, .1, .3}, {.5, .7, .9, .1, .3}},
        {5, 200, 0, false, false, {kMissing, 0, .5, 1, kMissing}, {kMissing, 0, .5, 1, kMissing}},
        {5, 100, 0, false, true, {1, .75, .5, .25, 0}, {0, .25, .5, .75, 1}},
        {5, 100, 10, false, true, {kMissing, .85, .6, .35, .1}, {kMissing, .15, .4, .65, .9}},
        {1, 37, 30, false, false, {.8}, {.8}},
        {1, 500, -20, false, false, {.3}, {.3}},
        {1, 100, 80, false, false, {kMissing}, {kMissing}},
        {1, 100, 80, true, false, {.3}, {.3}},
        {1, 100, -130, true, false, {.2}, {.2}},
    };
    for (const PlacementCase& c : cases) {
        RenderSettings s;
        s.count = c.count;
        s.spacing = c.spacing;
        s.offset = c.offset;
        s.loop = c.loop;
        s.reverse = c.reverse;
        for (int32_t i = 0; i < c.count; ++i) {
            SCOPED_TRACE(testing::Message() << "count " << c.count << " spacing " << c.spacing << " offset " << c.offset
                                            << " loop " << c.loop << " reverse " << c.reverse << " i " << i);
            const Placement p = PlaceInstance(s, i);
            ASSERT_EQ(p.placed, c.x[i] != kMissing);
            if (!p.placed) continue;
            EXPECT_NEAR(p.pathFraction, c.x[i], 1e-12);
            EXPECT_NEAR(p.gradientFraction, c.g[i], 1e-12);
            EXPECT_DOUBLE_EQ(p.indexFraction, c.count > 1 ? i / (c.count - 1.0) : 0.0); // never reversed
        }
        EXPECT_FALSE(PlaceInstance(s, -1).placed);
        EXPECT_FALSE(PlaceInstance(s, c.count).placed);
    }
}

TEST(HashRandom, MatchesTheMixingStepsWorkedByHand)
{
    struct Case {
        uint32_t seed, index, channel, hash;
    };
    for (const Case& c : {Case{0, 0, 0, 0u}, Case{1, 0, 11, 0xE00DC53Fu}, Case{1, 7, 21, 0x4A9C0D9Au},
                          Case{123456, 42, 0x534F5552, 0xCFE44074u}, Case{999999, 4000000000u, 13, 0xBC58F16Eu}}) {
        EXPECT_EQ(HashRandom(c.seed, c.index, c.channel), c.hash) << c.seed << " " << c.index << " " << c.channel;
        EXPECT_DOUBLE_EQ(SignedRandom(c.seed, c.index, c.channel), 2.0 * (c.hash / 4294967295.0) - 1.0);
    }
    EXPECT_EQ(SignedRandom(0, 0, 0), -1.0);
}

TEST(ChooseSource, SequentialCyclesAndRandomIsSeededAndInRange)
{
    RenderSettings s;
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(ChooseSource(s, i, 3), i % 3);
    EXPECT_EQ(ChooseSource(s, 4, 0), -1);

    s.sourceMode = SourceMode::Random;
    s.sourceSeed = 5;
    const std::vector<int32_t> byHand = {1, 0, 2, 2, 2, 0, 2, 2, 0, 0}; // hash(5, i, 'SOUR') mod 3
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(ChooseSource(s, i, 3), byHand[i]) << i;
    EXPECT_EQ(ChooseSource(s, 4, 0), -1);
}

TEST(InstanceTimeOffset, SumsRampGradientAndRandomTerms)
{
    RenderSettings s = LinearCurves();
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 0.0, 1e-12);

    s.rampTimeOffset = 2; // the ramp follows u
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 0.5, 1e-7);
    s.rampTimeOffset = 0;
    s.gradientStartTimeOffset = 1; // the gradient follows g
    s.gradientEndTimeOffset = 3;
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 2.5, 1e-7);
    s.gradientStartTimeOffset = s.gradientEndTimeOffset = 0;
    s.timeRandom = 4; // seed 1, index 3: the salted hash worked by hand is 0x5D8243EF
    EXPECT_NEAR(InstanceTimeOffset(s, 3, 0.25, 0.75), 4 * (2.0 * (0x5D8243EFu / 4294967295.0) - 1.0), 1e-12);
    s.randomSeed = 77;
    EXPECT_NEAR(InstanceTimeOffset(s, 0, 0.25, 0.75), 4 * (2.0 * (0x32CF996Bu / 4294967295.0) - 1.0), 1e-12);

    s = LinearCurves();
    s.rampTimeOffsetCurve = MakeShapeCurve(kShapeEaseIn, true);
    s.gradientTimeOffsetCurve = MakeShapeCurve(kShapeEaseOut, true);
    s.rampTimeOffset = 1;
    s.gradientEndTimeOffset = 1;
    EXPECT_NEAR(InstanceTimeOffset(s, 1, 0.3, 0.6),
                EvaluateCurve(s.rampTimeOffsetCurve, 0.3) + EvaluateCurve(s.gradientTimeOffsetCurve, 0.6), 1e-12);
}

TEST(HasTimeOffsets, AnyOfTheFourAmountsAboveNegligible)
{
    using Field = double RenderSettings::*;
    EXPECT_FALSE(HasTimeOffsets(RenderSettings{}));
    for (Field f : {&RenderSettings::rampTimeOffset, &RenderSettings::gradientStartTimeOffset,
                    &RenderSettings::gradientEndTimeOffset, &RenderSettings::timeRandom}) {
        for (auto [value, counts] : {std::pair{1e-9, false}, {-1e-8, false}, {2e-8, true}, {-0.5, true}}) {
            RenderSettings s;
            s.*f = value;
            EXPECT_EQ(HasTimeOffsets(s), counts) << value;
        }
    }
}

} // namespace
} // namespace strandel
