#include <gtest/gtest.h>

#include <functional>

#include "host/image/PngFile.h"
#include "host/scene/SceneError.h"
#include "support/HostTestSupport.h"

namespace strandel::host {
namespace {

using test::ScratchDir;

Json BaseScene()
{
    return Json::parse(R"({"comps": [
      {"name": "Main", "width": 320, "height": 240, "frameRate": 30, "duration": 2, "layers": [
        {"name": "Array", "type": "solid", "color": [1, 1, 1, 1],
         "effects": [{"name": "Strandel", "params": {"Count": 4}}]},
        {"name": "Path", "type": "null", "threeD": true,
         "transform": {"position": {"keys": [{"time": 0, "value": [0, 0, 0]}, {"time": 1, "value": [10, 0, 0]}]}}},
        {"name": "Dot", "type": "image", "file": "dot.png"},
        {"name": "Inner", "type": "precomp", "comp": "Sub"}]},
      {"name": "Sub", "width": 10, "height": 10, "frameRate": 30, "duration": 1, "layers": []}]})");
}

// The problems a scene gives; none when it loads.
std::vector<std::string> ProblemsOf(const ScratchDir& dir, const std::string& text)
{
    test::WriteText(dir / "scene.json", text);
    try {
        LoadScene(dir / "scene.json");
    } catch (const SceneError& e) {
        return e.Problems();
    }
    return {};
}

bool HasProblem(const std::vector<std::string>& problems, const std::string& start, const std::string& expectation)
{
    for (const std::string& p : problems)
        if (p.rfind(start, 0) == 0 && p.find(expectation) != std::string::npos) return true;
    return false;
}

std::string Joined(const std::vector<std::string>& problems)
{
    std::string text;
    for (const std::string& p : problems) text += "\n  " + p;
    return text;
}

TEST(SceneErrors, EachKindOfProblemNamesFilePathAndExpectation)
{
    ScratchDir dir;
    Image dot(2, 2, PixelDepth::Eight);
    WritePng(dir / "dot.png", dot);
    ASSERT_TRUE(ProblemsOf(dir, BaseScene().dump()).empty()) << Joined(ProblemsOf(dir, BaseScene().dump()));

    const std::string file = (dir / "scene.json").string() + ": ";
    const std::string main = "comps[0].";
    const struct {
        const char* what;
        std::function<void(Json&)> edit;
        std::string path;
        std::string expectation;
    } cases[] = {
        // clang-format off
        {"wrong type", [](Json& s) { s["comps"][0]["width"] = "wide"; }, main + "width",
         "expected a whole number from 1 to 30000, found \"wide\""},
        {"missing field", [](Json& s) { s["comps"][0].erase("frameRate"); }, main + "frameRate", "missing; expected"},
        {"unusable frame rate", [](Json& s) { s["comps"][0]["frameRate"] = 3.14159; }, main + "frameRate",
         "expected a whole number of frames per second"},
        {"unknown layer type", [](Json& s) { s["comps"][0]["layers"][0]["type"] = "light"; }, main + "layers[0].type",
         "expected one of \"null\", \"solid\""},
        {"duplicate name", [](Json& s) { s["comps"][0]["layers"][2]["name"] = "Array"; }, main + "layers[2].name",
         "expected a name unique in its comp; layers[0] is also named \"Array\""},
        {"unknown parent", [](Json& s) { s["comps"][0]["layers"][2]["parent"] = "Nobody"; },
         main + "layers[2].parent", "no layer is named \"Nobody\""},
        {"parent cycle",
         [](Json& s) {
             s["comps"][0]["layers"][0]["parent"] = "Path";
             s["comps"][0]["layers"][1]["parent"] = "Dot";
             s["comps"][0]["layers"][2]["parent"] = "Array";
         },
         main + "layers[0].parent", "loops: \"Array\" -> \"Path\" -> \"Dot\" -> \"Array\""},
        {"keys out of order", [](Json& s) { s["comps"][0]["layers"][1]["transform"]["position"]["keys"][1]["time"] = 0; },
         main + "layers[1].transform.position.keys[1].time", "expected a time after the previous key's (0 s), found 0"},
        {"key value shape", [](Json& s) { s["comps"][0]["layers"][1]["transform"]["position"]["keys"][1]["value"] = {1}; },
         main + "layers[1].transform.position.keys[1].value", "expected an array of 2 or 3 numbers, found [1]"},
        {"missing image", [](Json& s) { s["comps"][0]["layers"][2]["file"] = "gone.png"; }, main + "layers[2].file",
         "expected an existing PNG file; "},
        {"missing sequence", [](Json& s) { s["comps"][0]["layers"][2]["file"] = "f_[###].png"; }, main + "layers[2].file",
         "f_000.png does not exist"},
        {"precomp of a missing comp", [](Json& s) { s["comps"][0]["layers"][3]["comp"] = "Nope"; },
         main + "layers[3].comp", "none is named \"Nope\""},
        {"precomp of itself", [](Json& s) { s["comps"][0]["layers"][3]["comp"] = "Main"; }, main + "layers[3].comp",
         "cannot contain itself"},
        {"precomp cycle",
         [](Json& s) { s["comps"][1]["layers"].push_back({{"name", "Back"}, {"type", "precomp"}, {"comp", "Main"}}); },
         "comps[1].layers[0].comp", "does not contain \"Sub\""},
        {"field of another layer type", [](Json& s) { s["comps"][0]["layers"][0]["zoom"] = 100; },
         main + "layers[0].zoom", "applies to camera layers"},
        {"tangent off position", [](Json& s) { s["comps"][0]["layers"][0]["transform"] = {{"scale", {{"keys", {{{"time", 0}, {"value", {1, 1}}, {"inTangent", {0, 0}}}}}}}}; },
         main + "layers[0].transform.scale.keys[0].inTangent", "position only"},
        {"colour range", [](Json& s) { s["comps"][0]["layers"][0]["color"] = {1, 2, 0}; }, main + "layers[0].color[1]",
         "expected a number from 0 to 1, found 2"},
        {"parameter keys out of order",
         [](Json& s) {
             s["comps"][0]["layers"][0]["effects"][0]["params"]["Array/Offset"] =
                 Json::parse(R"({"keys": [{"time": 2, "value": 0}, {"time": 1, "value": 5}]})");
         },
         main + "layers[0].effects[0].params[\"Array/Offset\"].keys[1].time", "after the previous key's (2 s)"},
        {"no comps", [](Json& s) { s["comps"] = Json::array(); }, "comps", "expected at least one composition"},
        // clang-format on
    };
    for (const auto& c : cases) {
        Json scene = BaseScene();
        c.edit(scene);
        const auto problems = ProblemsOf(dir, scene.dump(2));
        EXPECT_TRUE(HasProblem(problems, file + c.path + ": ", c.expectation))
            << c.what << ": wanted " << c.path << ": ..." << c.expectation << "; got" << Joined(problems);
    }
}

TEST(SceneErrors, MalformedJsonAndNonFiniteNumbersGiveTheirPlace)
{
    ScratchDir dir;
    const std::string file = (dir / "scene.json").string();
    auto problems = ProblemsOf(dir, "{\n  \"comps\": [\n    {\"name\": \"Main\",, }\n  ]\n}\n");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(HasProblem(problems, file + ":3:21: malformed JSON: ", "(at comps[0].name)")) << Joined(problems);

    problems = ProblemsOf(dir, R"({"comps": [{"name": "Main", "layers": [{"transform": {"position": [1, 1e999]}}]}]})");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(HasProblem(
        problems, file + ":1:", ": comps[0].layers[0].transform.position[1]: expected a finite number, found 1e999"))
        << Joined(problems);
}

TEST(SceneErrors, AllProblemsAreReportedAndNoProjectIsReturned)
{
    ScratchDir dir;
    Image dot(2, 2, PixelDepth::Eight);
    WritePng(dir / "dot.png", dot);
    Json scene = BaseScene();
    Json& array = scene["comps"][0]["layers"][0];
    array["threeD"] = "yes";
    array["transform"] = {{"rotation", "left"}, {"scale", {1, 2, 3, 4}}};
    array["effects"][0].erase("name");
    scene["comps"][0]["layers"][2]["parent"] = "Ghost";
    const auto problems = ProblemsOf(dir, scene.dump());
    EXPECT_EQ(problems.size(), 5u) << Joined(problems);
    for (const char* path : {"layers[0].threeD", "layers[0].transform.rotation", "layers[0].transform.scale",
                             "layers[0].effects[0].name", "layers[2].parent"})
        EXPECT_TRUE(HasProblem(problems, (dir / "scene.json").string() + ": comps[0]." + path + ": ", "expected"))
            << path << Joined(problems);
    EXPECT_THROW(LoadScene(dir / "no such scene.json"), SceneError);
}

} // namespace
} // namespace strandel::host
