#include <gtest/gtest.h>

#include <algorithm>

#include "host/image/PngFile.h"
#include "host/scene/SceneWriter.h"
#include "support/HostTestSupport.h"

namespace strandel::host {
namespace {

using test::ScratchDir;

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
// generate-path does after adding keys) and loading it again gives the same project.
TEST(SceneLoad, AValidSceneGivesItsProjectAndWritesBackTheSame)
{
    ScratchDir dir;
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

    // Keys added as a script would: on an animated property and on one that only had its default.
    Keyframe key;
    key.time = 0.5;
    key.value = {1, 2, 3};
    key.outTangent = {4, 5, 6};
    key.outInterpolation = Interpolation::Hold;
    project.LayerById(layer("Path").id)->transform.position.SetKey(key);
    project.LayerById(layer("Dot").id)->transform.position.SetKey(key);
    SaveScene(project, dir / "copy.json");
    const LoadedScene again = LoadScene(dir / "copy.json");
    EXPECT_EQ(again.project.comps, project.comps);
    EXPECT_EQ(again.project.extra, project.extra);
    EXPECT_EQ(again.warnings.size(), scene.warnings.size());
    EXPECT_EQ(again.project.comps[0].LayerByName("Path")->transform.position.keys.size(), 3u);

    // Written into another folder, image paths follow.
    std::filesystem::create_directory(dir / "elsewhere");
    SaveScene(project, dir / "elsewhere" / "moved.json");
    const LoadedScene moved = LoadScene(dir / "elsewhere" / "moved.json");
    const Layer& movedDot = *moved.project.comps[0].LayerByName("Dot");
    EXPECT_EQ(movedDot.image.file, "../dot.png");
    EXPECT_TRUE(std::filesystem::equivalent(movedDot.image.resolved, dir / "dot.png"));
}

} // namespace
} // namespace strandel::host
