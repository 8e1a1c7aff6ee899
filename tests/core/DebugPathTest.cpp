#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/DebugPath.h"
#include "support/OwnedImage.h"

namespace strandel {
namespace {

// Looking down +z from the origin: a point at depth 100 lands at (x + 100, y + 50).
CameraInfo FlatCamera()
{
    CameraInfo camera;
    camera.zoom = 100;
    camera.compWidth = 200;
    camera.compHeight = 100;
    return camera;
}

// Samples at depth 100 through the given output pixel positions (z overrides the depth).
PathTable PathThrough(std::initializer_list<Vec3> screenPoints)
{
    PathTable path;
    for (const Vec3& p : screenPoints) {
        PathSample sample;
        const double z = p.z == 0 ? 100 : p.z;
        sample.position = {(p.x - 100) * z / 100, (p.y - 50) * z / 100, z};
        path.push_back(sample);
    }
    return path;
}

TEST(ProjectPathPointTest, ProjectsLikeSpritesAndRefusesPointsAtTheCamera)
{
    CameraInfo camera = FlatCamera();
    camera.downsampleX = 0.5;
    camera.downsampleY = 0.5;
    camera.originX = 7;
    camera.originY = -3;
    const auto p = ProjectPathPoint(camera, {10, 20, 100});
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->x, 110 * 0.5 + 7);
    EXPECT_DOUBLE_EQ(p->y, 70 * 0.5 - 3);
    EXPECT_TRUE(ProjectPathPoint(camera, {0, 0, 0.0011}));
    for (const Vec3& refused : {Vec3{0, 0, 0.001}, Vec3{0, 0, -10}, Vec3{std::nan(""), 0, 10},
                                Vec3{0, 0, std::numeric_limits<double>::infinity()}, Vec3{1e308, 0, 0.01}})
        EXPECT_FALSE(ProjectPathPoint(camera, refused)) << refused.x << " " << refused.z;
}

TEST(DrawDebugPathTest, DrawsNothingWithoutADrawableSegment)
{
    const CameraInfo camera = FlatCamera();
    const std::pair<PathTable, double> cases[] = {
        {PathThrough({{40, 40, 0}}), 1}, // one sample
        {PathThrough({{40, 40, 0}, {60, 40, -5}}), 1}, // second end behind the camera
        {PathThrough({{40, 40, -5}, {60, 40, -5}}), 1}, // both behind
        {PathThrough({{40, 40, 0}, {60, 40, 0.001}}), 1}, // on the camera's limit
        {PathThrough({{40, 40, 0}, {60, 40, 0}}), 0}, // opacity 0
    };
    for (const auto& [path, opacity] : cases) {
        test::OwnedImage out(200, 100, PixelFormat::Argb8, 5);
        DrawDebugPath(path, camera, out.View(), opacity, 5);
        EXPECT_EQ(out.Channels(), std::vector<double>(200 * 100 * 4, 0.0)) << path.size() << ", opacity " << opacity;
    }
}

TEST(DrawDebugPathTest, OpaqueLineIsSolidWhiteElevenPixelsWide)
{
    for (PixelFormat format : {PixelFormat::Argb8, PixelFormat::Argb16}) {
        test::OwnedImage out(200, 100, format, 5);
        DrawDebugPath(PathThrough({{20, 30, 0}, {60, 30, 0}}), FlatCamera(), out.View(), 1, 5);
        const double full = test::FullScale(format);
        const std::array<double, 4> white{full, full, full, full}, none{0, 0, 0, 0};
        EXPECT_EQ(out.Get(40, 35), white);
        EXPECT_EQ(out.Get(40, 25), white);
        EXPECT_EQ(out.Get(40, 36), none);
        EXPECT_EQ(out.Get(40, 24), none);
        EXPECT_EQ(out.Get(15, 30), white) << "the end disc";
        EXPECT_EQ(out.Get(14, 30), none);
        EXPECT_EQ(out.Get(65, 30), white);
        EXPECT_EQ(out.Get(66, 30), none);
    }
}

TEST(DrawDebugPathTest, ShortSegmentStampsADiscAtEachEnd)
{
    // Ends round to (10, 10) and (11, 10); each disc blends on its own, so overlaps compound.
    test::OwnedImage out(30, 30, PixelFormat::ArgbFloat, 8);
    DrawDebugPath(PathThrough({{10.2, 10.2, 0}, {10.6, 10.4, 0}}), FlatCamera(), out.View(), 0.5, 2);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 30; ++x) {
            const int discs =
                ((x - 10) * (x - 10) + (y - 10) * (y - 10) <= 4) + ((x - 11) * (x - 11) + (y - 10) * (y - 10) <= 4);
            const double alpha = 1 - std::pow(0.5, discs);
            const auto got = out.Get(x, y);
            EXPECT_EQ(got[0], alpha) << x << ", " << y;
            EXPECT_EQ(got[1], discs ? 1.0 : 0.0) << x << ", " << y;
        }
}

TEST(DrawDebugPathTest, SegmentsReachingFarOffScreenDrawTheirVisiblePart)
{
    const CameraInfo camera = FlatCamera();
    // A trillion pixels long: walking every step would never finish.
    const PathTable paths[] = {PathThrough({{50, 50, 0}, {1e12, 50, 0}}), PathThrough({{-1e12, 50, 0}, {1e12, 50, 0}})};
    for (const PathTable& path : paths) {
        test::OwnedImage out(200, 100, PixelFormat::Argb8);
        DrawDebugPath(path, camera, out.View(), 1, 2);
        const int32_t firstX = path[0].position.x > -1e9 ? 48 : 0;
        for (int32_t x = 0; x < 200; ++x) {
            EXPECT_EQ(out.Get(x, 50)[0], x >= firstX ? 255 : 0) << x;
            EXPECT_EQ(out.Get(x, 53)[0], 0) << x;
        }
    }
}

TEST(DrawDebugPathTest, OutputsOnePixelWideOrHighAreDrawnOn)
{
    for (const auto& [w, h] : {std::pair{1, 100}, std::pair{200, 1}}) {
        test::OwnedImage out(w, h, PixelFormat::Argb8);
        DrawDebugPath(PathThrough({{0, 0, 0}, {199, 99, 0}}), FlatCamera(), out.View(), 1, 2);
        EXPECT_EQ(out.Get(0, 0)[0], 255) << w << " x " << h;
    }
}

TEST(DrawDebugPathTest, MiddleSampleBehindTheCameraDropsBothOfItsSegments)
{
    test::OwnedImage out(200, 100, PixelFormat::Argb8);
    DrawDebugPath(PathThrough({{20, 20, 0}, {40, 20, -3}, {60, 20, 0}, {80, 20, 0}}), FlatCamera(), out.View(), 1, 1);
    for (int32_t x = 0; x < 200; ++x) EXPECT_EQ(out.Get(x, 20)[0], x >= 59 && x <= 81 ? 255 : 0) << x;
}

} // namespace
} // namespace strandel
