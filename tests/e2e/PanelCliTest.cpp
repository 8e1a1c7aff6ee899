// `strandel panel` as a user runs it: the drawn panel against its stored image, a scripted curve
// edit saved and rendered, and scripted input refused before anything is written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "host/image/PngFile.h"
#include "support/HostTestSupport.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

namespace fs = std::filesystem;
using host::test::SamePixels;

struct CliRun {
    int status = -1;
    std::string err;
};

class PanelCliTest : public ::testing::Test {
protected:
    CliRun Strandel(const std::string& args) const
    {
        const std::string command = "cd '" + dir_.Path().string() + "' && '" + Beside(STRANDEL_CLI_PATH).string() +
                                    "' " + args + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, host::test::ReadText(dir_ / "err.txt")};
    }

    host::test::ScratchDir dir_;
};

// STRANDEL_UPDATE_GOLDEN=DIR writes the panel into DIR instead (look at it before committing).
// The wave's scale curve rises from 0 to 1 at x 0.5 and falls back; an Alt-click on that point
// leaves a straight line at 0, which --set can give the same render directly.
TEST_F(PanelCliTest, TheWavePanelMatchesItsStoredImageAndAnAltClickSavedFlattensTheScaleRamp)
{
    fs::copy(DataFile("examples"), dir_ / "examples");
    ASSERT_EQ(Strandel("panel examples/wave.json -o panel.png").status, 0);
    if (const char* update = std::getenv("STRANDEL_UPDATE_GOLDEN"); update && *update) {
        fs::copy_file(dir_ / "panel.png", fs::path(update) / "panel.png", fs::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << fs::path(update) / "panel.png";
    }
    EXPECT_TRUE(SamePixels(host::ReadPng(dir_ / "panel.png"), host::ReadPng(DataFile("golden/panel.png"))));

    const std::string kFlat = "'Ramp/Scale Curve=[[0,0,0,0,0.3333333333333333,0],[1,0,-0.3333333333333333,0,0,0]]'";
    const std::string kRuns[] = {
        "panel examples/wave.json --click 'Ramp/Scale Curve' 110,10 --alt --save examples/edited.json",
        "render examples/edited.json --frame 15 -o edited.png",
        "render examples/wave.json --frame 15 --set " + kFlat + " -o flat.png",
        "render examples/wave.json --frame 15 -o wave.png"};
    for (const std::string& args : kRuns) ASSERT_EQ(Strandel(args).status, 0) << args;
    const host::Image edited = host::ReadPng(dir_ / "edited.png");
    EXPECT_TRUE(SamePixels(edited, host::ReadPng(dir_ / "flat.png")));
    EXPECT_FALSE(SamePixels(edited, host::ReadPng(dir_ / "wave.png")));
}

TEST_F(PanelCliTest, BadScriptedInputIsRefusedBeforeAnythingIsWritten)
{
    const std::pair<std::string, std::string> kCases[] = {
        {"--click 'Ramp/Scale Curve' 220,10", "220,10 lies outside the row's 220 x 84 area"},
        {"--drag 'Ramp/Scale Curve' 10,10 30,84", "30,84 lies outside the row's 220 x 84 area"},
        {"--click 'Ramp/Nope' 5,5", "unknown parameter \"Ramp/Nope\""},
        {"--click Count 5,5", "only its custom rows take the mouse"},
        {"--click 'Ramp/Scale Curve' '5;5'", "\"5;5\" is not a point X,Y in pixels"},
        {"--alt --click 'Ramp/Scale Curve' 5,5", "--alt belongs after a --click"},
        {"--stored-twirls --click 'Ramp/Scale Curve' 5,5", "the row is not shown in the panel"},
    };
    for (const auto& [args, message] : kCases) {
        SCOPED_TRACE(args);
        const CliRun run = Strandel("panel '" + DataFile("examples/wave.json").string() + "' " + args +
                                    " --save saved.json -o panel.png");
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir_ / "saved.json"));
        EXPECT_FALSE(fs::exists(dir_ / "panel.png"));
    }
}

} // namespace
} // namespace strandel::test
