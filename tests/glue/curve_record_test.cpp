#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "support/CurveTestSupport.h"

namespace strandel {
namespace {

using test::SameBytes;
using test::ThreePoints;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

uint64_t Bits(const unsigned char* bytes, std::size_t offset)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | bytes[offset + i]; // little-endian by construction
    return v;
}

void AddPointAfterMiddle(RampCurve& c, double x)
{
    c.points[3] = c.points[2];
    c.points[2] = {x, 0.5, 0.0, 0.0, 0.0, 0.0};
    c.pointCount = 4;
}

TEST(RampCurveRecord, DefaultCurveBytesAreTheStoredForm)
{
    const RampCurve c = MakeDefaultCurve(true);
    unsigned char b[kCurveRecordSize];
    std::memcpy(b, &c, sizeof b);
    const unsigned char header[16] = {1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b, header, 16), 0);
    const uint64_t third = 0x3FD5555555555555ull, minusThird = 0xBFD5555555555555ull, one = 0x3FF0000000000000ull;
    const uint64_t point0[6] = {0, 0, 0, 0, third, third};
    const uint64_t point1[6] = {one, one, minusThird, minusThird, 0, 0};
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(Bits(b, 16 + 8 * f), point0[f]) << "point 0 field " << f;
        EXPECT_EQ(Bits(b, 64 + 8 * f), point1[f]) << "point 1 field " << f;
    }
    for (std::size_t i = 112; i < kCurveRecordSize; ++i) ASSERT_EQ(b[i], 0) << "byte " << i;
    EXPECT_FALSE(MakeDefaultCurve(false).Edited());
}

TEST(RampCurveRecord, ClampTestsUpperBoundFirstAndPassesNaN)
{
    EXPECT_EQ(ClampUpperFirst(2.0, 0.0, 1.0), 1.0);
    EXPECT_EQ(ClampUpperFirst(-2.0, 0.0, 1.0), 0.0);
    EXPECT_EQ(ClampUpperFirst(0.5, 0.0, 1.0), 0.5);
    EXPECT_EQ(ClampUpperFirst(0.5, 0.7, 0.2), 0.2); // crossed bounds: the upper one wins
    EXPECT_EQ(ClampUpperFirst(0.1, 0.7, 0.2), 0.7); // not above the upper one: the lower one applies
    EXPECT_EQ(ClampUpperFirst(-kInf, 0.0, 1.0), 0.0);
    EXPECT_TRUE(std::isnan(ClampUpperFirst(kNaN, 0.0, 1.0)));
}

TEST(RampCurveRecord, InvalidRecordsRevertToDefaultKeepingEditedBit)
{
    const std::vector<std::pair<const char*, std::function<void(RampCurve&)>>> breakages = {
        {"count 1", [](RampCurve& c) { c.pointCount = 1; }},
        {"count 17", [](RampCurve& c) { c.pointCount = 17; }},
        {"count -3", [](RampCurve& c) { c.pointCount = -3; }},
        {"version 2", [](RampCurve& c) { c.version = 2; }},
        {"version 0", [](RampCurve& c) { c.version = 0; }},
        {"NaN x", [](RampCurve& c) { c.points[1].x = kNaN; }},
        {"NaN y", [](RampCurve& c) { c.points[0].y = kNaN; }},
        {"NaN in dx", [](RampCurve& c) { c.points[2].inDx = kNaN; }},
        {"inf in dy", [](RampCurve& c) { c.points[1].inDy = kInf; }},
        {"inf out dx", [](RampCurve& c) { c.points[0].outDx = -kInf; }},
        {"NaN out dy", [](RampCurve& c) { c.points[1].outDy = kNaN; }},
        {"points too close",
         [](RampCurve& c) {
             c.points[1].x = 0.5;
             AddPointAfterMiddle(c, 0.5000005);
         }},
        {"middle x above 1", [](RampCurve& c) { c.points[1].x = 1.2; }},
        {"middle x below 0", [](RampCurve& c) { c.points[1].x = -0.5; }},
        {"x decreasing", [](RampCurve& c) { AddPointAfterMiddle(c, 0.3); }},
    };
    for (bool edited : {false, true}) {
        for (const auto& [name, breakRecord] : breakages) {
            RampCurve c = ThreePoints(edited);
            breakRecord(c);
            EXPECT_FALSE(NormalizeCurve(c)) << name;
            EXPECT_TRUE(SameBytes(c, MakeDefaultCurve(edited))) << name << " edited " << edited;
        }
    }
}

TEST(RampCurveRecord, RepairClampsIntoTheUnitSquareAndSegments)
{
    RampCurve c = ThreePoints(true);
    c.flags = 0xF0F1u;
    c.reserved = 77;
    c.points[0] = {0.2, -0.5, 0.3, 0.3, 0.9, 2.0};     // x forced to 0, y to 0; out-handle past point 1
    c.points[1] = {0.4, 1.5, -0.7, -3.0, -0.1, 0.3};   // y to 1; in-handle past point 0, going below 0
    c.points[2] = {0.7, 0.5, 0.1, 0.9, 0.4, 0.4};      // x forced to 1; in dx positive
    c.points[5] = {9, 9, 9, 9, 9, 9};                  // beyond the count
    ASSERT_TRUE(NormalizeCurve(c));
    EXPECT_EQ(c.flags, 1u);
    EXPECT_EQ(c.reserved, 0u);
    const CurvePoint expected[3] = {
        {0.0, 0.0, 0.0, 0.0, 0.4, 1.0},   // out dx ends exactly at x_1; out dy cut at y = 1
        {0.4, 1.0, -0.4, -1.0, 0.0, 0.0}, // in-handle ends at point 0 and y = 0; out dy cut at y = 1
        {1.0, 0.5, 0.0, 0.5, 0.0, 0.0},   // in dy cut at y = 1; the last out-handle is zeroed
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&c.points[i], &expected[i], sizeof(CurvePoint)), 0) << "point " << i;
    }
    const CurvePoint zero{};
    for (int i = 3; i < kMaxCurvePoints; ++i) {
        EXPECT_EQ(std::memcmp(&c.points[i], &zero, sizeof zero), 0) << "point " << i;
    }
    RampCurve again = c;
    EXPECT_TRUE(NormalizeCurve(again));
    EXPECT_TRUE(SameBytes(again, c)); // repair is idempotent
}

TEST(RampCurveHandles, ReadFallsBackToDefaultOnMissingOrShortData)
{
    test::FakeHandles host;
    RampCurve edited = ThreePoints(true);
    const PF_Handle shortHandle = host.Make(&edited, kCurveRecordSize - 1);
    const PF_Handle full = host.Make(&edited, kCurveRecordSize);
    unsigned char longer[900];
    std::memset(longer, 0xAB, sizeof longer);
    std::memcpy(longer, &edited, kCurveRecordSize);
    const PF_Handle longHandle = host.Make(longer, sizeof longer);
    PF_InData noUtils{};

    struct Case {
        const char* name;
        const PF_InData* in;
        PF_Handle handle;
        bool ok;
    };
    for (const Case& k : {Case{"null in_data", nullptr, full, false}, Case{"no utils", &noUtils, full, false},
                          Case{"null handle", &host.in_data, nullptr, false},
                          Case{"783 bytes", &host.in_data, shortHandle, false},
                          Case{"784 bytes", &host.in_data, full, true},
                          Case{"900 bytes", &host.in_data, longHandle, true}}) {
        const CurveRead read = ReadCurveHandle(k.in, k.handle);
        EXPECT_EQ(read.ok, k.ok) << k.name;
        EXPECT_TRUE(SameBytes(read.curve, k.ok ? edited : MakeDefaultCurve(false))) << k.name;
    }
    host.failLock = true;
    EXPECT_FALSE(ReadCurveHandle(&host.in_data, full).ok);
    EXPECT_EQ(host.LockedHandles(), 0);
    EXPECT_EQ(host.badCalls, 0);
}

TEST(RampCurveHandles, NewHandleStoresRepairedRecordOrReportsFailure)
{
    test::FakeHandles host;
    RampCurve broken = ThreePoints(true);
    broken.version = 3;
    PF_Handle h = nullptr;
    ASSERT_EQ(NewCurveHandle(&host.in_data, broken, &h), PF_Err_NONE);
    const RampCurve expected = MakeDefaultCurve(true);
    EXPECT_TRUE(test::HandleHolds(host, h, expected));
    EXPECT_EQ(host.LockedHandles(), 0);

    PF_InData noUtils{};
    EXPECT_EQ(NewCurveHandle(nullptr, expected, &h), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(NewCurveHandle(&noUtils, expected, &h), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(NewCurveHandle(&host.in_data, expected, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    host.failNew = true;
    EXPECT_EQ(NewCurveHandle(&host.in_data, expected, &h), PF_Err_OUT_OF_MEMORY);
    host.failNew = false;
    host.failLock = true;
    EXPECT_EQ(NewCurveHandle(&host.in_data, expected, &h), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.LiveHandles(), 1); // only the first one: the unlockable handle was disposed
    EXPECT_EQ(host.badCalls, 0);
}

} // namespace
} // namespace strandel
