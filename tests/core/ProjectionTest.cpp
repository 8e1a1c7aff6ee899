#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/DebugPath.h"
#include "render/Projection.h"
#include "support/OwnedImage.h"

namespace strandel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Camera at the origin looking down +z: view space equals world space, and a point at depth 100
// lands at (x + 100, y + 50).
CameraInfo FlatCamera()
{
    CameraInfo camera;
    camera.zoom = 100;
    camera.compWidth = 200;
    camera.compHeight = 100;
    return camera;
}

// The same camera through a render's downsampling and buffer origin.
CameraInfo AxisCamera()
{
    CameraInfo camera = FlatCamera();
    camera.downsampleX = 0.5;
    camera.downsampleY = 0.25;
    camera.originX = 3;
    camera.originY = 4;
    return camera;
}

SourceQuad TextureRect() { return {ImageView{}, {}, 0, 0, 63, 31}; }

TEST(WorldToViewTest, DefaultCameraUsesAxesAndCameraLayerUsesBothMatrices)
{
    CameraInfo camera;
    camera.cameraPosition = {10, 20, -100};
    camera.cameraRight = {0, 0, 1};
    camera.cameraDown = {0, 1, 0};
    camera.cameraForward = {-1, 0, 0};
    const Vec3 view = WorldToView(camera, {13, 25, -90});
    EXPECT_EQ(view, (Vec3{10, 5, -3}));
    EXPECT_EQ(WorldToViewDirection(camera, {3, 5, 10}), (Vec3{10, 5, -3}));

    // World to layer shifts by (1, 2, 3), layer to camera swaps x and y and shifts z by 7.
    camera.hasCamera = true;
    camera.worldToLayer = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}}};
    camera.layerToCamera = {{{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 7, 1}}};
    EXPECT_EQ(WorldToView(camera, {10, 20, 30}), (Vec3{22, 11, 40}));
    EXPECT_EQ(WorldToViewDirection(camera, {10, 20, 30}), (Vec3{20, 10, 30}));
}

TEST(ProjectToScreenTest, MapsThroughZoomCompCentreDownsampleAndOrigin)
{
    const CameraInfo camera = AxisCamera();
    // s = 100 / 50 = 2; X = 2 * 10 + 100 = 120, Y = 2 * 20 + 50 = 90.
    const auto v = ProjectToScreen(camera, {10, 20, 50, 7, 8});
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(v->x, 120 * 0.5 + 3);
    EXPECT_DOUBLE_EQ(v->y, 90 * 0.25 + 4);
    EXPECT_TRUE(v->z == 50 && v->u == 7 && v->v == 8);

    EXPECT_TRUE(ProjectToScreen(camera, {1, 1, kNearPlaneZ, 0, 0})) << "the near plane itself is in front";
    // clang-format off
    const ViewVertex refused[] = {{1, 1, std::nextafter(kNearPlaneZ, 0.0), 0, 0}, {1, 1, -5, 0, 0}, {kNaN, 1, 5, 0, 0},
                                  {1, kInf, 5, 0, 0}, {1, 1, kInf, 0, 0}, {1, 1, 5, kNaN, 0}, {1, 1, 5, 0, -kInf},
                                  {1e308, 1, 1e-3, 0, 0}};
    // clang-format on
    for (const ViewVertex& vertex : refused)
        EXPECT_FALSE(ProjectToScreen(camera, vertex)) << vertex.x << " " << vertex.y << " " << vertex.z;
}

TEST(ClipTriangleNearTest, CornersBehindThePlaneAreCutAwayExactlyAtThePlane)
{
    const CameraInfo camera = AxisCamera();
    const ViewVertex front[3] = {{-10, -10, 5, 0, 0}, {10, -10, 5, 63, 0}, {10, 10, 5, 63, 31}};
    const double along = (5 - kNearPlaneZ) / 6; // where a front-to-back edge from z = 5 to z = -1 crosses
    for (int special = 0; special < 3; ++special)
        for (int behindCount : {1, 2}) {
            ViewVertex v[3] = {front[0], front[1], front[2]};
            for (int i = 0; i < 3; ++i)
                if ((i == special) == (behindCount == 1)) v[i].z = -1; // the computed crossing rounds below the plane
            const ClippedPolygon polygon = ClipTriangleNear(v[0], v[1], v[2]);
            SCOPED_TRACE(testing::Message() << "special " << special << ", behind " << behindCount);
            ASSERT_EQ(polygon.count, behindCount == 1 ? 4 : 3);
            int onPlane = 0;
            for (int i = 0; i < polygon.count; ++i) {
                const ViewVertex& p = polygon.vertices[i];
                EXPECT_TRUE(ProjectToScreen(camera, p)) << "vertex " << i;
                if (p.z == 5) continue;
                EXPECT_EQ(p.z, kNearPlaneZ);
                ++onPlane;
                bool onSomeEdge = false;
                for (const ViewVertex& a : v)
                    for (const ViewVertex& b : v)
                        onSomeEdge |= a.z == 5 && b.z == -1 && std::fabs(p.x - (a.x + along * (b.x - a.x))) < 1e-9 &&
                                      std::fabs(p.u - (a.u + along * (b.u - a.u))) < 1e-9;
                EXPECT_TRUE(onSomeEdge) << "vertex " << i;
            }
            EXPECT_EQ(onPlane, 2);
        }
}

std::array<Vec3, 4> Square(double z)
{
    return {Vec3{-10, -10, z}, Vec3{10, -10, z}, Vec3{10, 10, z}, Vec3{-10, 10, z}};
}

TEST(EmitQuadTrianglesTest, ClippedQuadsKeepEveryFanTriangle)
{
    const CameraInfo camera = AxisCamera();
    const SourceQuad quad = TextureRect();
    // Halves are corners {0, 1, 2} and {0, 2, 3}; a half losing one corner fans into two entries.
    for (int k = 0; k < 4; ++k) {
        std::array<Vec3, 4> corners = Square(5);
        corners[k].z = -1;
        TriangleList list;
        EmitQuadTriangles(quad, corners, 1, camera, list);
        ASSERT_EQ(list.size(), k % 2 == 0 ? 4u : 3u) << "corner " << k << " behind";
        for (const ScreenTriangle& t : list) {
            EXPECT_TRUE(t.D == t.A);
            EXPECT_DOUBLE_EQ(t.depth, (t.A.z + t.B.z + t.C.z) / 3);
        }
        // The two fan entries of a cut half start at the same vertex.
        const std::size_t fanStart = k == 3 ? 1 : 0;
        EXPECT_TRUE(list[fanStart].A == list[fanStart + 1].A);
        if (k % 2 == 0) {
            EXPECT_TRUE(list[2].A == list[3].A);
        }
        // A half with two corners behind stays one triangle; the other half loses one corner.
        corners[(k + 1) % 4].z = -1;
        list.clear();
        EmitQuadTriangles(quad, corners, 1, camera, list);
        EXPECT_EQ(list.size(), 3u) << "corners " << k << " and " << (k + 1) % 4 << " behind";
    }

    TriangleList list;
    EmitQuadTriangles(quad, Square(0.001), 1, camera, list);
    EXPECT_TRUE(list.empty()) << "0.001 lies behind the near plane";
    EmitQuadTriangles(quad, Square(kNearPlaneZ), 1, camera, list);
    ASSERT_EQ(list.size(), 2u) << "a quad on the near plane is drawn";
    // Corners take the texture's corners in order, drawn as (0, 1, 2) then (0, 2, 3).
    const double uv[2][3][2] = {{{0, 0}, {63, 0}, {63, 31}}, {{0, 0}, {63, 31}, {0, 31}}};
    for (int t = 0; t < 2; ++t) {
        const ScreenVertex* v[3] = {&list[t].A, &list[t].B, &list[t].C};
        for (int k = 0; k < 3; ++k) EXPECT_TRUE(v[k]->u == uv[t][k][0] && v[k]->v == uv[t][k][1]) << t << " " << k;
    }
}

// A non-finite field makes a corner count as behind the camera, and nothing unusable is emitted.
TEST(EmitQuadTrianglesTest, NonFiniteFieldsCountAsBehindAndAreNeverEmitted)
{
    const ViewVertex front[3] = {{-10, -10, 5, 0, 0}, {10, -10, 5, 63, 0}, {10, 10, 5, 63, 31}};
    for (int special = 0; special < 3; ++special)
        for (double bad : {kNaN, kInf, -kInf}) {
            ViewVertex behind[3] = {front[0], front[1], front[2]};
            behind[special].z = -1;
            ViewVertex broken[3] = {front[0], front[1], front[2]};
            broken[special].u = bad;
            EXPECT_EQ(ClipTriangleNear(broken[0], broken[1], broken[2]).count,
                      ClipTriangleNear(behind[0], behind[1], behind[2]).count);
        }
    for (double bad : {kNaN, kInf}) {
        SourceQuad quad = TextureRect();
        quad.uMax = bad; // corners 1 and 2
        std::array<Vec3, 4> corners = Square(5);
        corners[1].z = 9; // tilted, so clipping interpolates instead of copying
        TriangleList list;
        EmitQuadTriangles(quad, corners, 1, AxisCamera(), list);
        for (const ScreenTriangle& t : list)
            for (const ScreenVertex* v : {&t.A, &t.B, &t.C, &t.D}) EXPECT_TRUE(IsFiniteVertex(*v));
    }
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
    const CameraInfo camera = AxisCamera();
    const auto p = ProjectPathPoint(camera, {10, 20, 100});
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->x, 110 * 0.5 + 3);
    EXPECT_DOUBLE_EQ(p->y, 70 * 0.25 + 4);
    EXPECT_TRUE(ProjectPathPoint(camera, {0, 0, 0.0011}));
    for (const Vec3& refused : {Vec3{0, 0, 0.001}, Vec3{0, 0, -10}, Vec3{std::nan(""), 0, 10},
                                Vec3{0, 0, std::numeric_limits<double>::infinity()}, Vec3{1e308, 0, 0.01}})
        EXPECT_FALSE(ProjectPathPoint(camera, refused)) << refused.x << " " << refused.z;
}

// Rows of an 8-bit line: each path drawn at the given opacity and radius, and the alpha expected
// along row y (full alpha from x0 to x1, nothing elsewhere); y = -1 expects nothing at all.
TEST(DrawDebugPathTest, LinesCoverTheirVisibleSpanAndNothingBehindTheCamera)
{
    struct Case {
        PathTable path;
        double opacity, radius;
        int32_t y, x0, x1;
    };
    const Case cases[] = {
        {PathThrough({{40, 40, 0}}), 1, 5, -1, 0, 0}, // one sample
        {PathThrough({{40, 40, 0}, {60, 40, -5}}), 1, 5, -1, 0, 0}, // second end behind the camera
        {PathThrough({{40, 40, -5}, {60, 40, -5}}), 1, 5, -1, 0, 0}, // both behind
        {PathThrough({{40, 40, 0}, {60, 40, 0.001}}), 1, 5, -1, 0, 0}, // on the camera's limit
        {PathThrough({{40, 40, 0}, {60, 40, 0}}), 0, 5, -1, 0, 0}, // opacity 0
        // Eleven pixels wide, with a disc at each end.
        {PathThrough({{20, 30, 0}, {60, 30, 0}}), 1, 5, 30, 15, 65},
        {PathThrough({{20, 30, 0}, {60, 30, 0}}), 1, 5, 35, 20, 60},
        {PathThrough({{20, 30, 0}, {60, 30, 0}}), 1, 5, 36, 1, 0},
        {PathThrough({{20, 30, 0}, {60, 30, 0}}), 1, 5, 25, 20, 60},
        {PathThrough({{20, 30, 0}, {60, 30, 0}}), 1, 5, 24, 1, 0},
        // A middle sample behind the camera drops both of its segments.
        {PathThrough({{20, 20, 0}, {40, 20, -3}, {60, 20, 0}, {80, 20, 0}}), 1, 1, 20, 59, 81},
        // A trillion pixels long: walking every step would never finish.
        {PathThrough({{50, 50, 0}, {1e12, 50, 0}}), 1, 2, 50, 48, 199},
        {PathThrough({{-1e12, 50, 0}, {1e12, 50, 0}}), 1, 2, 50, 0, 199},
        {PathThrough({{-1e12, 50, 0}, {1e12, 50, 0}}), 1, 2, 53, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path.size() << " samples, opacity " << c.opacity << ", row " << c.y);
        test::OwnedImage out(200, 100, PixelFormat::Argb8, 5);
        DrawDebugPath(c.path, FlatCamera(), out.View(), c.opacity, c.radius);
        if (c.y < 0) {
            EXPECT_EQ(out.Channels(), std::vector<double>(200 * 100 * 4, 0.0));
            continue;
        }
        for (int32_t x = 0; x < 200; ++x) {
            const double expected = x >= c.x0 && x <= c.x1 ? 255 : 0;
            EXPECT_EQ(out.Get(x, c.y), (std::array<double, 4>{expected, expected, expected, expected})) << x;
        }
    }
    // The line is as white at 16 bits.
    test::OwnedImage deep(200, 100, PixelFormat::Argb16, 5);
    DrawDebugPath(PathThrough({{20, 30, 0}, {60, 30, 0}}), FlatCamera(), deep.View(), 1, 5);
    EXPECT_EQ(deep.Get(15, 30), (std::array<double, 4>{32768, 32768, 32768, 32768}));
    EXPECT_EQ(deep.Get(14, 30), (std::array<double, 4>{}));
    // Outputs one pixel wide or high are drawn on.
    for (const auto& [w, h] : {std::pair{1, 100}, std::pair{200, 1}}) {
        test::OwnedImage out(w, h, PixelFormat::Argb8);
        DrawDebugPath(PathThrough({{0, 0, 0}, {199, 99, 0}}), FlatCamera(), out.View(), 1, 2);
        EXPECT_EQ(out.Get(0, 0)[0], 255) << w << " x " << h;
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

} // namespace
} // namespace strandel
