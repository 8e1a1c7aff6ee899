// `strandel generate-path` as a user runs it: the new scene, the refusals and their exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "host/HostTestSupport.h"
#include "host/project/Json.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

using host::test::ReadText;

std::string Scene(const std::string& pathExtra)
{
    return R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 10, "layers": [
      {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {"Path Layer": "Path"}}]},
      {"name": "Path", "type": "null", "transform": {"position": [10, 20, 30]})" + pathExtra + "}]}]}";
}

struct CliRun {
    int status = -1;
    std::string out, err;
};

class GeneratePathCliTest : public ::testing::Test {
protected:
    CliRun Generate(const std::string& scene, const std::string& args) const
    {
        host::test::WriteText(dir_ / "scene.json", scene);
        const std::string command = "cd '" + dir_.Path().string() + "' && '" + Beside(STRANDEL_CLI_PATH).string() +
                                    "' generate-path scene.json " + args + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir_ / "out.txt"), ReadText(dir_ / "err.txt")};
    }
    host::test::ScratchDir dir_;
};

TEST_F(GeneratePathCliTest, WritesTheKeysIntoANewScene)
{
    const CliRun run = Generate(Scene(R"(, "threeD": true)"), "--set Preset=Wave --set 'Key Interval=0.5' -o new.json");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto scene = host::Json::parse(ReadText(dir_ / "new.json"));
    const auto& keys = scene["comps"][0]["layers"][1]["transform"]["position"]["keys"];
    ASSERT_EQ(keys.size(), 13u); // three cycles, four keys each, and the last
    EXPECT_EQ(keys[0]["value"], host::Json::parse("[10, 20, 30]"));
    EXPECT_EQ(keys[12]["time"], 6.0);
    EXPECT_EQ(ReadText(dir_ / "scene.json"), Scene(R"(, "threeD": true)")); // the input is left alone
}

TEST_F(GeneratePathCliTest, RefusalsExplainAndWriteNothing)
{
    const struct {
        std::string pathExtra;
        std::string args;
        int status;
        const char* expected; // on standard output for status 1, on standard error for 2
    } cases[] = {
        {"", "-o new.json", 1, "Strandel Generate Path\n\nPath Layerが2Dレイヤーです。3Dレイヤーを指定してください。\n"},
        {R"(, "threeD": true)", "--set Preset='Figure Eight' --set Size=0 -o new.json", 1,
         "Strandel Generate Path\n\nLoop Radiusには0より大きい値を指定してください。\n"},
        {R"(, "threeD": true)", "-o scene.json", 2, "use --in-place"},
        {R"(, "threeD": true)", "", 2, "-o NEW_SCENE is required"},
        {R"(, "threeD": true)", "--set Bogus=1 -o new.json", 2, "Bogus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = Generate(Scene(c.pathExtra), c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status == 1) {
            EXPECT_EQ(run.out, c.expected);
        } else {
            EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
        }
        EXPECT_FALSE(std::filesystem::exists(dir_ / "new.json"));
        EXPECT_EQ(ReadText(dir_ / "scene.json"), Scene(c.pathExtra));
    }
}

TEST_F(GeneratePathCliTest, InPlaceRewritesTheScene)
{
    ASSERT_EQ(Generate(Scene(R"(, "threeD": true)"), "--in-place").status, 0);
    const auto scene = host::Json::parse(ReadText(dir_ / "scene.json"));
    EXPECT_EQ(scene["comps"][0]["layers"][1]["transform"]["position"]["keys"].size(), 9u);
}

} // namespace
} // namespace strandel::test
