#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "host/image/PngFile.h"
#include "host/scene/SceneWriter.h"
#include "support/HostTestSupport.h"

namespace strandel::host {
namespace {

using test::ScratchDir;

void WriteSolidPng(const std::filesystem::path& file, int width, int height, std::uint8_t red)
{
    Image image(width, height, PixelDepth::Eight);
    image.Fill({1, red / 255.0, 0, 0});
    WritePng(file, image);
}

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

struct EveryLayer {
    ScratchDir dir;
    LoadedScene scene;
    EveryLayer()
    {
        WriteSolidPng(dir / "dot.png", 8, 6, 255);
        for (int i = 0; i < 3; ++i)
            WriteSolidPng(dir / ("seq_0" + std::to_string(i) + ".png"), 4, 4, std::uint8_t(i * 100));
        scene = test::LoadSceneJson(dir, EveryLayerScene());
    }
    const Layer& layer(const std::string& name) const { return *scene.project.comps[0].LayerByName(name); }
};

TEST(SceneLoad, AValidSceneGivesTheProjectItDescribes)
{
    EveryLayer s;
    const Project& project = s.scene.project;
    const Composition& main = project.comps[0];
    EXPECT_EQ(main.itemId, 1);
    EXPECT_EQ(project.comps[1].itemId, 2);
    EXPECT_EQ(main.timeBase, (TimeBase{30000, 1001}));
    EXPECT_EQ(main.LayerNames(), (std::vector<std::string>{"Camera", "Array", "Path", "Dot", "Seq", "Badge", "Inner"}));
    std::vector<A_long> ids;
    for (const Composition& comp : project.comps)
        for (const Layer& layer : comp.layers) ids.push_back(layer.id);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
    EXPECT_EQ(main.LayerAtIndex(4), &s.layer("Dot"));
    EXPECT_EQ(project.ParentOf(s.layer("Dot")), &s.layer("Path"));

    // Defaults: anchor at the source's centre, position at the comp's centre, z of a 2-vector scale 100.
    test::ExpectNear(s.layer("Dot").transform.anchorPoint.ValueAt(0), {4, 3, 0});
    test::ExpectNear(s.layer("Dot").transform.scale.ValueAt(0), {50, 50, 100});
    test::ExpectNear(s.layer("Array").transform.position.ValueAt(0), {320, 180, 0});
    test::ExpectNear(s.layer("Inner").transform.anchorPoint.ValueAt(0), {50, 40, 0});
    EXPECT_EQ(s.layer("Camera").zoom.ScalarAt(0.5), 1000);
    EXPECT_EQ(s.layer("Inner").transform.rotation.ScalarAt(3), 90);

    const AnimatedProperty& path = s.layer("Path").transform.position;
    ASSERT_EQ(path.keys.size(), 2u);
    EXPECT_TRUE(path.spatial);
    EXPECT_TRUE(path.expression);
    EXPECT_FALSE(path.separated);
    EXPECT_EQ(path.keys[0].outTangent, (Vec3{150, -200, 0}));
    EXPECT_EQ(path.keys[1].inTangent, (Vec3{-150, 200, 0}));
    EXPECT_EQ(path.keys[0].outInterpolation, Interpolation::Bezier);
    EXPECT_EQ(path.keys[1].inInterpolation, Interpolation::Hold);

    const ImageFootage& seq = s.layer("Seq").image;
    EXPECT_TRUE(seq.sequence);
    EXPECT_EQ(seq.frameCount, 3);
    EXPECT_EQ(seq.size, (ImageSize{4, 4}));

    const Effect& effect = s.layer("Array").effects.at(0);
    EXPECT_EQ(effect.name, "Strandel");
    ASSERT_EQ(effect.params.size(), 5u);
    EXPECT_EQ(effect.params[3].name, "Array/Offset");
    EXPECT_EQ(effect.params[3].jsonPath, "comps[0].layers[1].effects[0].params[\"Array/Offset\"]");
    EXPECT_EQ(effect.params[1].value, 40);

    for (const char* field : {"generator", "note", "label", "enabled"})
        EXPECT_TRUE(std::any_of(s.scene.warnings.begin(), s.scene.warnings.end(), [&](const std::string& w) {
            return w.find(field) != std::string::npos;
        })) << field;
}

TEST(SceneLoad, WritingAndLoadingAgainGivesTheSameProject)
{
    EveryLayer s;
    Project& project = s.scene.project;
    SaveScene(project, s.dir / "copy.json");
    LoadedScene again = LoadScene(s.dir / "copy.json");
    EXPECT_EQ(again.project.comps, project.comps);
    EXPECT_EQ(again.project.extra, project.extra);
    EXPECT_EQ(again.warnings.size(), s.scene.warnings.size());

    // Keys added afterwards, as a script would, are written too: on an animated property and
    // on one that only had its default.
    Keyframe key;
    key.time = 0.5;
    key.value = {1, 2, 3};
    key.outTangent = {4, 5, 6};
    key.outInterpolation = Interpolation::Hold;
    project.LayerById(s.layer("Path").id)->transform.position.SetKey(key);
    Layer& dot = *project.LayerById(s.layer("Dot").id);
    dot.transform.position.SetKey(key);
    Keyframe turn;
    turn.time = 1;
    turn.value = {45, 0, 0};
    dot.transform.rotation.SetKey(turn);
    SaveScene(project, s.dir / "scripted.json");
    const LoadedScene scripted = LoadScene(s.dir / "scripted.json");
    EXPECT_EQ(scripted.project.comps, project.comps);
    EXPECT_EQ(scripted.project.comps[0].LayerByName("Path")->transform.position.keys.size(), 3u);

    // Written into another folder, image paths follow.
    std::filesystem::create_directory(s.dir / "elsewhere");
    SaveScene(project, s.dir / "elsewhere" / "moved.json");
    const LoadedScene moved = LoadScene(s.dir / "elsewhere" / "moved.json");
    const Layer& movedDot = *moved.project.comps[0].LayerByName("Dot");
    EXPECT_EQ(movedDot.image.file, "../dot.png");
    EXPECT_TRUE(std::filesystem::equivalent(movedDot.image.resolved, s.dir / "dot.png"));
}

} // namespace
} // namespace strandel::host
