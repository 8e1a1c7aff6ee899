// What the host makes of a scene and hands the plug-in: the project, written back as it was read,
// frame numbers and times at scene frame rates, image sequences following the comp's frames, and
// layer matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/image/PngFile.h"
#include "host/project/LayerSource.h"
#include "host/project/TimeBase.h"
#include "host/project/Transforms.h"
#include "host/scene/SceneWriter.h"
#include "support/HostTestSupport.h"
#include "support/VecExpect.h"

namespace strandel::host {
namespace {
// Every layer type, keys with tangents and interpolation, effects, and fields the host does not know.
Json EveryLayerScene()
{
    return Json::parse(R"({
      "generator": "hand written",
      "comps": [{
        "name": "Main", "width": 640, "height": 360, "frameRate": 29.97, "duration": 4, "note": "kept",
        "layers": [
          {"name": "Camera", "type": "camera",
           "zoom": {"keys": [{"time": 0, "value": 800}, {"time": 1, "value": 1200}]},
           "transform": {"position": [320, 180, -800], "pointOfInterest": [320, 180, 0]}},
          {"name": "Array", "type": "solid", "color": [0.2, 0.4, 0.6], "width": 200, "height": 100,
           "effects": [{"name": "Strandel", "enabled": true, "params": {
             "Path Layer": "Path", "Count": 40, "Debug Path": true,
             "Array/Offset": {"keys": [{"time": 0, "value": 0}, {"time": 2, "value": 100}]},
             "Ramp/Scale Curve": [[0, 0, 0, 0, 0.3, 0.6], [1, 1, -0.3, 0, 0, 0]]}}]},
          {"name": "Path", "type": "null", "threeD": true,
           "transform": {"position": {"keys": [
              {"time": 0, "value": [200, 360, 0], "outTangent": [150, -200, 0], "outInterpolation": "bezier", "label": "start"},
              {"time": 1, "value": [1080, 360, 400], "inTangent": [-150, 200, 0], "inInterpolation": "hold"}],
              "expression": true, "separated": false}}},
          {"name": "Dot", "type": "image", "file": "dot.png", "parent": "Path", "transform": {"scale": [50, 50]}},
          {"name": "Seq", "type": "image", "file": "seq_[##].png", "enabled": false},
          {"name": "Badge", "type": "shape", "width": 60, "height": 40, "color": [1, 0, 0, 0.5],
           "shape": {"kind": "ellipse", "size": [40, 20], "position": [30, 20]}},
          {"name": "Inner", "type": "precomp", "comp": "Sub", "collapse": true, "threeD": true,
           "transform": {"rotation": {"keys": [{"time": 0, "value": 0}, {"time": 2, "value": 90, "outInterpolation": "hold"}]}}}
        ]},
       {"name": "Sub", "width": 100, "height": 80, "frameRate": 30, "duration": 1,
        "layers": [{"name": "Fill", "type": "solid", "color": [0, 1, 0, 1]}]}]
    })");
}

// Layers get IDs unique across comps, unknown fields a warning; writing the project back (as
// generate-path does) and loading it again gives the same project.
TEST(SceneLoad, AValidSceneGivesItsProjectAndWritesBackTheSame)
{
    test::ScratchDir dir;
    const Image pixel(1, 1, PixelDepth::Eight);
    for (const char* name : {"dot.png", "seq_00.png", "seq_01.png", "seq_02.png"}) WritePng(dir / name, pixel);
    LoadedScene scene = test::LoadSceneJson(dir, EveryLayerScene());
    Project& project = scene.project;
    auto layer = [&](const char* name) -> const Layer& { return *project.comps[0].LayerByName(name); };
    std::vector<A_long> ids;
    for (const Composition& comp : project.comps)
        for (const Layer& l : comp.layers) ids.push_back(l.id);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
    EXPECT_EQ(project.comps[0].LayerAtIndex(4), &layer("Dot"));
    EXPECT_EQ(project.ParentOf(layer("Dot")), &layer("Path"));
    for (const char* field : {"generator", "note", "label", "enabled"})
        EXPECT_TRUE(std::any_of(scene.warnings.begin(), scene.warnings.end(), [&](const std::string& w) {
            return w.find(field) != std::string::npos;
        })) << field;

    SaveScene(project, dir / "copy.json");
    const LoadedScene again = LoadScene(dir / "copy.json");
    EXPECT_EQ(again.project.comps, project.comps);
    EXPECT_EQ(again.project.extra, project.extra);
    EXPECT_EQ(again.warnings.size(), scene.warnings.size());

    // Written into another folder, image paths follow.
    std::filesystem::create_directory(dir / "elsewhere");
    SaveScene(project, dir / "elsewhere" / "moved.json");
    const LoadedScene moved = LoadScene(dir / "elsewhere" / "moved.json");
    const Layer& movedDot = *moved.project.comps[0].LayerByName("Dot");
    EXPECT_EQ(movedDot.image.file, "../dot.png");
    EXPECT_TRUE(std::filesystem::equivalent(movedDot.image.resolved, dir / "dot.png"));
}

TEST(TimeBase, FrameRatesAreHeldExactlyAndFramesCountFromThem)
{
    // clang-format off
    const struct { double fps; A_u_long scale; A_long step; } cases[] = {
        {30, 30, 1}, {29.97, 30000, 1001}, {23.976, 24000, 1001}, {59.94, 60000, 1001}, {12.5, 25, 2}, {24, 24, 1}};
    // clang-format on
    for (const auto& c : cases) {
        const auto base = TimeBaseForFrameRate(c.fps);
        ASSERT_TRUE(base) << c.fps;
        EXPECT_EQ(base->scale, c.scale) << c.fps;
        EXPECT_EQ(base->step, c.step) << c.fps;
    }
    for (double bad : {0.0, -30.0, double(NAN), double(INFINITY), M_PI}) EXPECT_FALSE(TimeBaseForFrameRate(bad)) << bad;

    const TimeBase ntsc{30000, 1001};
    EXPECT_EQ(FrameTime(ntsc, 30).value, 30030);
    EXPECT_EQ(FrameTime(ntsc, 30).scale, 30000u);
    // One second at 29.97 falls inside frame 29 (frame 30 starts at 1.001 s).
    EXPECT_EQ(FrameAtSeconds(ntsc, 1.0), 29);
    EXPECT_EQ(FrameAtSeconds(ntsc, 1.001), 30);
    EXPECT_EQ(FrameAtTime(ntsc, FrameTime(ntsc, 299)), 299);
    EXPECT_EQ(FrameAtTime(ntsc, A_Time{2, 1}), 59); // 2 s = 59.94 frames
    EXPECT_DOUBLE_EQ(TimeToSeconds(FrameTime(ntsc, 3)), 3003.0 / 30000.0);
    EXPECT_EQ(SecondsToTime(2.5, 30000).value, 75000);
}

TEST(LayerSource, SequencesFollowCompFramesAndHoldAtBothEnds)
{
    test::ScratchDir dir;
    for (int i = 0; i < 3; ++i) {
        Image frame(1, 1, PixelDepth::Eight);
        frame.Set(0, 0, {1, i * 100 / 255.0, 0, 0});
        WritePng(dir / ("f" + std::to_string(i) + ".png"), frame);
    }
    const LoadedScene scene = test::LoadSceneJson(dir, Json::parse(R"({"comps": [{"name": "Main", "width": 16,
        "height": 8, "frameRate": 29.97, "duration": 20, "layers": [{"name": "Seq", "type": "image", "file": "f[#].png"}]}]})"));
    ImageFileCache files;
    auto pixels = [&](double t, PixelDepth depth) {
        return LayerSourcePixels(scene.project, scene.project.comps[0].layers[0], t, depth, files, nullptr);
    };
    const TimeBase ntsc = scene.project.comps[0].timeBase;
    // clang-format off
    const struct { double seconds; int frame; } cases[] = {
        {-1, 0}, {0, 0}, {TimeToSeconds(FrameTime(ntsc, 1)), 1}, {TimeToSeconds(FrameTime(ntsc, 2)) - 1e-4, 1},
        {TimeToSeconds(FrameTime(ntsc, 2)), 2}, {15, 2}};
    // clang-format on
    for (const auto& c : cases) {
        const auto image = pixels(c.seconds, PixelDepth::Eight);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->PixelAt<std::uint8_t>(0, 0)[1], c.frame * 100) << "at " << c.seconds << " s";
    }
    // The checkout comes at the depth asked for.
    const auto deep = pixels(1, PixelDepth::Float);
    EXPECT_EQ(deep->Depth(), PixelDepth::Float);
    EXPECT_FLOAT_EQ(deep->PixelAt<float>(0, 0)[1], 200 / 255.0f);
}

// Every factor of a layer's transform, in the compositor's order, written out for one point.
TEST(Transforms, FactorsApplyInTheDefinedOrder)
{
    test::ScratchDir dir;
    const LoadedScene scene = test::LoadSceneJson(dir, Json::parse(R"({"comps": [{"name": "Main", "width": 1000,
        "height": 500, "frameRate": 30, "duration": 2, "layers": [{"name": "all", "type": "null", "threeD": true,
        "transform": {"anchorPoint": [10, 20, 30], "scale": [200, 50, 300], "xRotation": 30, "yRotation": -45,
                      "rotation": 60, "orientation": [10, 20, 30], "position": [5, 6, 7]}}]}]})"));
    const auto rad = [](double d) { return d * M_PI / 180; };
    // Anchor, scale, Rx, Ry, Rz, then the orientation's Rx, Ry, Rz, then position.
    Vec3 p{13, 24, 35};
    p = {(p.x - 10) * 2, (p.y - 20) * 0.5, (p.z - 30) * 3};
    const auto rx = [&](Vec3 v, double a) {
        return Vec3{v.x, v.y * cos(rad(a)) - v.z * sin(rad(a)), v.y * sin(rad(a)) + v.z * cos(rad(a))};
    };
    const auto ry = [&](Vec3 v, double a) {
        return Vec3{v.x * cos(rad(a)) + v.z * sin(rad(a)), v.y, v.z * cos(rad(a)) - v.x * sin(rad(a))};
    };
    const auto rz = [&](Vec3 v, double a) {
        return Vec3{v.x * cos(rad(a)) - v.y * sin(rad(a)), v.x * sin(rad(a)) + v.y * cos(rad(a)), v.z};
    };
    p = rz(ry(rx(rz(ry(rx(p, 30), -45), 60), 10), 20), 30) + Vec3{5, 6, 7};
    // Row vectors, written out here so that the check does not lean on the code under test.
    const Matrix4 m = LayerToWorld(scene.project, scene.project.comps[0].layers[0], 0);
    const Vec3 q{13, 24, 35};
    ExpectVecNear({q.x * m.m[0][0] + q.y * m.m[1][0] + q.z * m.m[2][0] + m.m[3][0],
                   q.x * m.m[0][1] + q.y * m.m[1][1] + q.z * m.m[2][1] + m.m[3][1],
                   q.x * m.m[0][2] + q.y * m.m[1][2] + q.z * m.m[2][2] + m.m[3][2]},
                  p, 1e-9);
}

} // namespace
} // namespace strandel::host
