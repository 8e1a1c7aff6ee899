#include <gtest/gtest.h>

#include <utility>
#include <vector>

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
    // Each case's edits: JSON pointer and the value put there (none: the field is removed).
    // clang-format off
    const struct { std::vector<std::pair<const char*, const char*>> edits; const char* path; const char* expectation; } cases[] = {
        {{{"/comps/0/width", R"("wide")"}}, "comps[0].width", "expected a whole number from 1 to 30000, found \"wide\""},
        {{{"/comps/0/frameRate", nullptr}}, "comps[0].frameRate", "missing; expected"},
        {{{"/comps/0/frameRate", "3.14159"}}, "comps[0].frameRate", "expected a whole number of frames per second"},
        {{{"/comps/0/layers/0/type", R"("light")"}}, "comps[0].layers[0].type", "expected one of \"null\", \"solid\""},
        {{{"/comps/0/layers/2/name", R"("Array")"}}, "comps[0].layers[2].name", "expected a name unique in its comp; layers[0] is also named \"Array\""},
        {{{"/comps/0/layers/2/parent", R"("Nobody")"}}, "comps[0].layers[2].parent", "no layer is named \"Nobody\""},
        {{{"/comps/0/layers/0/parent", R"("Path")"}, {"/comps/0/layers/1/parent", R"("Dot")"}, {"/comps/0/layers/2/parent", R"("Array")"}},
         "comps[0].layers[0].parent", "loops: \"Array\" -> \"Path\" -> \"Dot\" -> \"Array\""},
        {{{"/comps/0/layers/1/transform/position/keys/1/time", "0"}}, "comps[0].layers[1].transform.position.keys[1].time", "expected a time after the previous key's (0 s), found 0"},
        {{{"/comps/0/layers/1/transform/position/keys/1/value", "[1]"}}, "comps[0].layers[1].transform.position.keys[1].value", "expected an array of 2 or 3 numbers, found [1]"},
        {{{"/comps/0/layers/2/file", R"("gone.png")"}}, "comps[0].layers[2].file", "expected an existing PNG file; "},
        {{{"/comps/0/layers/2/file", R"("f_[###].png")"}}, "comps[0].layers[2].file", "f_000.png does not exist"},
        {{{"/comps/0/layers/3/comp", R"("Nope")"}}, "comps[0].layers[3].comp", "none is named \"Nope\""},
        {{{"/comps/0/layers/3/comp", R"("Main")"}}, "comps[0].layers[3].comp", "cannot contain itself"},
        {{{"/comps/1/layers/-", R"({"name": "Back", "type": "precomp", "comp": "Main"})"}}, "comps[1].layers[0].comp", "does not contain \"Sub\""},
        {{{"/comps/0/layers/0/zoom", "100"}}, "comps[0].layers[0].zoom", "applies to camera layers"},
        {{{"/comps/0/layers/0/transform", R"({"scale": {"keys": [{"time": 0, "value": [1, 1], "inTangent": [0, 0]}]}})"}},
         "comps[0].layers[0].transform.scale.keys[0].inTangent", "position only"},
        {{{"/comps/0/layers/0/color", "[1, 2, 0]"}}, "comps[0].layers[0].color[1]", "expected a number from 0 to 1, found 2"},
        {{{"/comps/0/layers/0/effects/0/params/Array~1Offset", R"({"keys": [{"time": 2, "value": 0}, {"time": 1, "value": 5}]})"}},
         "comps[0].layers[0].effects[0].params[\"Array/Offset\"].keys[1].time", "after the previous key's (2 s)"},
        {{{"/comps", "[]"}}, "comps", "expected at least one composition"},
    };
    // clang-format on
    for (const auto& c : cases) {
        Json scene = BaseScene();
        for (const auto& [pointer, value] : c.edits) {
            const Json::json_pointer at(pointer);
            if (value) {
                scene[at] = Json::parse(value);
            } else {
                scene[at.parent_pointer()].erase(at.back());
            }
        }
        const auto problems = ProblemsOf(dir, scene.dump(2));
        EXPECT_TRUE(HasProblem(problems, file + c.path + ": ", c.expectation))
            << "wanted " << c.path << ": ..." << c.expectation << "; got" << Joined(problems);
    }

    // All the problems of one scene are reported, and no project comes back.
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
        EXPECT_TRUE(HasProblem(problems, file + "comps[0]." + path + ": ", "expected")) << path << Joined(problems);
    EXPECT_THROW(LoadScene(dir / "no such scene.json"), SceneError);
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

} // namespace
} // namespace strandel::host
