// The strandel command (render, generate-path, panel) run as a user runs it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "host/image/ExrFile.h"
#include "host/image/PngFile.h"
#include "host/project/Json.h"
#include "support/HostTestSupport.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

namespace fs = std::filesystem;
using host::test::ReadText;
using host::test::SamePixels;
using host::test::ScratchDir;
using host::test::WriteText;

const char* kScene = R"({"comps": [
  {"name": "Main", "width": 64, "height": 33, "frameRate": 30, "duration": 1, "layers": [
    {"name": "Fx", "type": "solid", "color": [0, 0, 0, 1],
     "effects": [{"name": "Strandel", "params": {"Path Layer": "Path", "Source Layer 1": "Dot", "Count": 6,
        "Spacing": 150, "Array/Offset": {"keys": [{"time": 0, "value": 0}, {"time": 1, "value": 30}]}}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
        {"time": 0, "value": [6, 16, 0]}, {"time": 1, "value": [58, 16, 40]}]}}},
    {"name": "Dot", "type": "solid", "color": [1, 0.5, 0.25, 0.75], "width": 6, "height": 6}]}]})";

std::string PathScene(const std::string& pathExtra)
{
    return R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 10, "layers": [
      {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {"Path Layer": "Path"}}]},
      {"name": "Path", "type": "null", "transform": {"position": [10, 20, 30]})" +
           pathExtra + "}]}]}";
}

// The count of copies grows from 1 to 200 over the first half second: so do the files.
const char* kGrowingScene = R"({"comps": [{"name": "Main", "width": 160, "height": 90, "frameRate": 30,
  "duration": 1, "layers": [
    {"name": "Fx", "type": "solid", "color": [0, 0, 0, 1], "effects": [{"name": "Strandel", "params": {
       "Path Layer": "Path", "Source Layer 1": "Dot", "Random/Rotation Z": 180, "Random/Scale": 80,
       "Count": {"keys": [{"time": 0, "value": 1}, {"time": 0.5, "value": 200}]}}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
       {"time": 0, "value": [10, 45, 0], "outTangent": [40, -80, 0]}, {"time": 1, "value": [150, 45, 0]}]}}},
    {"name": "Dot", "type": "solid", "color": [1, 0.5, 0.25, 0.75], "width": 7, "height": 3}]}]})";

constexpr int kFrames = 16;

// Frames 0-15 of a scene at half size into folder/f_[##].png.
std::string RenderFrames(const std::string& scene, const std::string& folder, int threads)
{
    return "render '" + scene + "' --resolution half --frames 0-" + std::to_string(kFrames - 1) + " --threads " +
           std::to_string(threads) + " -o '" + folder + "/f_[##].png'";
}

std::string FrameFile(int frame) { return (frame < 10 ? "f_0" : "f_") + std::to_string(frame) + ".png"; }

int ExitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status); }

struct CliRun {
    int status = -1;
    std::string out, err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(work());
        WriteText(work() / "scene.json", kScene);
    }
    fs::path work() const { return dir_ / "work"; }

    // The shell command that runs strandel in the work folder after `prefix`; its output is
    // captured outside it.
    std::string Command(const std::string& args, const std::string& prefix = "",
                        const fs::path& strandel = Beside(STRANDEL_CLI_PATH)) const
    {
        return prefix + "cd '" + work().string() + "' && exec '" + strandel.string() + "' " + args + " >'" +
               (dir_ / "out.txt").string() + "' 2>'" + (dir_ / "err.txt").string() + "'";
    }
    CliRun Run(const std::string& args, const std::string& prefix = "",
               const fs::path& strandel = Beside(STRANDEL_CLI_PATH)) const
    {
        const int status = std::system(Command(args, prefix, strandel).c_str());
        return {ExitStatus(status), ReadText(dir_ / "out.txt"), ReadText(dir_ / "err.txt")};
    }
    CliRun Render(const std::string& args) const { return Run("render " + args); }
    CliRun Generate(const std::string& scene, const std::string& args) const
    {
        WriteText(work() / "path.json", scene);
        return Run("generate-path path.json " + args);
    }

    std::set<std::string> FilesIn(const fs::path& folder) const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.insert(fs::relative(entry.path(), folder).string());
        return names;
    }

    ScratchDir dir_;
};

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(CliTest, BadArgumentsAndScenesExitTwoWithOneLineAndWriteNothing)
{
    WriteText(work() / "file.txt", "not a folder");
    WriteText(work() / "bad.json", R"({"comps": [{"name": "Main", "width": 8, "height": 8, "frameRate": 30,
        "duration": 1, "layers": [{"name": "Fx", "type": "solid",
        "effects": [{"name": "Strandel", "params": {"Count": "many"}}]}]}]})");
    // Argument errors take one line, on standard error; a bad scene lists each of its problems on a line of its own.
    // clang-format off
    const struct { const char* args; const char* says; bool oneLine = true; } cases[] = {
        {"render scene.json --frame 30", "outside"},            {"render scene.json --frames 5-2", "--frames"},
        {"render scene.json --frames five", "--frames"},        {"render scene.json --frame 1 --frames 0-2", "--frames"},
        {"render scene.json --layer Nope", "Nope"},             {"render scene.json --layer Dot", "Dot"},
        {"render scene.json --comp Nope", "Nope"},              {"render scene.json --depth 32 -o f_[#].png", ".exr"},
        {"render scene.json --depth 12", "--depth"},            {"render scene.json --resolution double", "--resolution"},
        {"render scene.json --threads 0", "--threads"},         {"render scene.json --set Count=abc", "Count"},
        {"render scene.json --set Nope=1", "unknown parameter \"Nope\""},
        {"render scene.json --set Scale=1", R"("Array Transform/Scale", "Object Transform/Scale", "Ramp/Scale", "Random/Scale")"},
        {"render scene.json --set 'Orientation Mode=Sideways'", "Orientation Mode"},
        {"render scene.json --set 'Path Layer=Nowhere'", "Nowhere"},
        {"render scene.json --set 'Generate Path=1'", "Generate Path"}, {"render scene.json --set Count", "Param=value"},
        {"render scene.json -o f.png", "[####]"},               {"render scene.json -o f_[#].tif", ".png or .exr"},
        {"render scene.json -o file.txt/f_[#].png", "file.txt"}, {"render missing.json", "missing.json"},
        {"--plugin /nonexistent/strandel.so render scene.json", "/nonexistent/strandel.so"},
        {"--plugin libm.so.6 render scene.json", "libm.so.6"},
        {"render bad.json", "Count", false},                    {"generate-path scene.json -o scene.json", "use --in-place"},
        {"generate-path scene.json", "-o NEW_SCENE is required"},
        {"generate-path scene.json --set Bogus=1 -o new.json", "Bogus"},
    };
    // clang-format on
    const std::set<std::string> before = FilesIn(work());
    for (const auto& c : cases) {
        const CliRun run = Run(c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_TRUE(c.oneLine ? Lines(run.err) == 1 : Lines(run.err) >= 1) << c.args << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.args;
        EXPECT_EQ(FilesIn(work()), before) << c.args;
    }
}

TEST_F(CliTest, FramesGoWhereThePatternSaysReplacingFilesWhole)
{
    fs::create_directories(work() / "frames");
    WriteText(work() / "frames" / "f_004.png", "an old file");
    const CliRun run = Render("scene.json --frames 3-5 -o 'frames/f_[###].png' --set Count=5000");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(FilesIn(work() / "frames"), (std::set<std::string>{"f_003.png", "f_004.png", "f_005.png"}))
        << "no temporary files left";
    EXPECT_EQ(host::ReadPngSize(work() / "frames" / "f_004.png"), (host::ImageSize{64, 33}));
    EXPECT_NE(run.err.find("warning"), std::string::npos) << "the clamped Count is reported: " << run.err;
    EXPECT_EQ(Lines(run.out), 1);
    EXPECT_NE(run.out.find("3 frames"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("frames/f_003.png"), std::string::npos) << run.out;

    // Without -o: out/<scene>_[####] beside where it runs; PNG, or EXR at 32 bits.
    ASSERT_EQ(Render("scene.json --frame 2").status, 0);
    ASSERT_EQ(Render("scene.json --frame 2 --depth 32").status, 0);
    EXPECT_EQ(FilesIn(work() / "out"), (std::set<std::string>{"scene_0002.png", "scene_0002.exr"}));
}

TEST_F(CliTest, DepthsAndResolutionsGiveTheirFormatsAndSizes)
{
    ASSERT_EQ(Render("scene.json --frame 20 --depth 32 -o f.exr").status, 0);
    ASSERT_EQ(Render("scene.json --frame 20 --depth 16 -o s.png").status, 0);
    const host::Image exr = host::ReadExr(work() / "f.exr");
    const host::Image png = host::ReadPng(work() / "s.png");
    ASSERT_EQ(exr.Width(), 64);
    ASSERT_EQ(exr.Height(), 33);
    ASSERT_EQ(png.Depth(), host::PixelDepth::Sixteen);
    int drawn = 0;
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 64; ++x) {
            const host::PixelValue f = exr.Get(x, y), s = png.Get(x, y);
            EXPECT_NEAR(f.a, s.a, 1e-3) << x << ", " << y;
            if (s.a < 0.05) continue;
            ++drawn;
            EXPECT_NEAR(f.r, s.r, 2e-3) << x << ", " << y;
            EXPECT_NEAR(f.b, s.b, 2e-3) << x << ", " << y;
        }
    EXPECT_GT(drawn, 0);

    const std::pair<const char*, host::ImageSize> sizes[] = {
        {"half", {32, 17}}, {"third", {22, 11}}, {"quarter", {16, 9}}};
    for (const auto& [resolution, size] : sizes) {
        ASSERT_EQ(Render(std::string("scene.json --frame 20 -o r.png --resolution ") + resolution).status, 0);
        EXPECT_EQ(host::ReadPngSize(work() / "r.png"), size) << resolution;
    }
}

TEST_F(CliTest, AFailedFrameExitsOneNamingItsFileAndKeepsTheFramesBeforeIt)
{
    fs::create_directories(work() / "f_01.png"); // frame 1 cannot be written over a folder
    const CliRun run = Render("scene.json --frames 0-2 -o 'f_[##].png'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("frame 1 failed: f_01.png"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_regular_file(work() / "f_00.png"));
    EXPECT_NE(run.out.find("1 frame"), std::string::npos) << run.out;

    // A source image whose header is whole, so the scene loads, and whose pixels are cut off.
    host::WritePng(work() / "whole.png", host::Image(6, 6, host::PixelDepth::Eight));
    const std::string png = ReadText(work() / "whole.png");
    WriteText(work() / "cut.png", png.substr(0, 40));
    std::string scene = kScene;
    scene.replace(scene.find(R"({"name": "Dot", "type": "solid")"), 0,
                  R"({"name": "Pic", "type": "image", "file": "cut.png"},)");
    WriteText(work() / "cut.json", scene);

    const CliRun cut = Render("cut.json --frames 0-1 -o 'f_[#].png' --set 'Source Layer 1=Pic'");
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("frame 0 failed: "), std::string::npos) << cut.err;
    EXPECT_NE(cut.err.find("cut.png"), std::string::npos) << cut.err;
    EXPECT_FALSE(fs::exists(work() / "f_0.png")) << "a frame drawn without its source is not written";
}

TEST_F(CliTest, GeneratePathWritesANewSceneOrInPlaceAndARefusalWritesNothing)
{
    const std::string scene3D = PathScene(R"(, "threeD": true)");
    const CliRun run = Generate(scene3D, "--set Preset=Wave --set 'Key Interval=0.5' -o new.json");
    ASSERT_EQ(run.status, 0) << run.err;
    auto keys = [&](const char* file) {
        return host::Json::parse(ReadText(work() / file))["comps"][0]["layers"][1]["transform"]["position"]["keys"];
    };
    ASSERT_EQ(keys("new.json").size(), 13u); // three cycles, four keys each, and the last
    EXPECT_EQ(keys("new.json")[12]["time"], 6.0);
    EXPECT_EQ(ReadText(work() / "path.json"), scene3D); // the input is left alone
    ASSERT_EQ(Generate(scene3D, "--in-place").status, 0);
    EXPECT_EQ(keys("path.json").size(), 9u);

    fs::remove(work() / "new.json");
    const CliRun refused = Generate(PathScene(""), "--set Preset='Figure Eight' -o new.json");
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_EQ(refused.out, "Strandel Generate Path\n\nPath Layerが2Dレイヤーです。3Dレイヤーを指定してください。\n");
    EXPECT_FALSE(fs::exists(work() / "new.json"));
    EXPECT_EQ(ReadText(work() / "path.json"), PathScene(""));
}

// Nothing of the build machine is compiled in: a copy of the command finds the plug-in beside it.
TEST_F(CliTest, ACopyOfTheCommandFindsThePlugInBesideItself)
{
    const fs::path strandel = work() / "strandel", plugin = work() / "strandel.so";
    fs::copy_file(Beside(STRANDEL_CLI_PATH), strandel);
    fs::copy_file(PluginPath(), plugin);
    const CliRun run = Run("info", "", strandel);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("(" + plugin.string() + ")"), std::string::npos) << run.out;
}

int FramesIn(const fs::path& folder)
{
    int n = 0;
    for (int f = 0; f < kFrames; ++f) n += fs::exists(folder / FrameFile(f));
    return n;
}

// Kills at once, as the first frame lands and half way; driven by the files rather than by time,
// so a loaded machine moves the kills but never past them. The whole frames are drawn on one
// thread, the killed renders on two: several threads write the same files as one.
TEST_F(CliTest, AKilledRenderLeavesEachFrameWholeOrAbsent)
{
    const std::string helix = DataFile("examples/helix.json").string();
    ASSERT_EQ(Run(RenderFrames(helix, "whole", 1)).status, 0) << ReadText(dir_ / "err.txt");
    int written = 0, absent = 0, killed = 0;
    for (int framesBeforeKill : {0, 1, kFrames / 2}) {
        SCOPED_TRACE("killed after " + std::to_string(framesBeforeKill) + " frames");
        const std::string name = "killed" + std::to_string(framesBeforeKill);
        const fs::path folder = work() / name;
        fs::create_directories(folder);
        const std::string command = Command(RenderFrames(helix, name, 2));
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        while (FramesIn(folder) < framesBeforeKill && ::waitpid(pid, nullptr, WNOHANG) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        killed += ExitStatus(status) == -SIGKILL;
        for (int f = 0; f < kFrames; ++f) {
            const std::string frame = FrameFile(f);
            if (!fs::exists(folder / frame)) {
                ++absent;
                continue;
            }
            ++written;
            EXPECT_EQ(ReadText(folder / frame), ReadText(work() / "whole" / frame)) << frame << " is not whole";
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string file = entry.path().filename().string();
            EXPECT_TRUE(file.starts_with(".") || file.starts_with("f_")) << "a stray file " << file;
        }
    }
    EXPECT_GT(killed, 0);
    EXPECT_GT(written, 0);
    EXPECT_GT(absent, 0);
}

TEST_F(CliTest, AFullDestinationFailsTheFrameByNameAndKeepsTheFramesBefore)
{
    WriteText(work() / "growing.json", kGrowingScene);
    ASSERT_EQ(Run(RenderFrames("growing.json", "whole", 1)).status, 0) << ReadText(dir_ / "err.txt");
    // Files larger than the first frame cannot be written: the shell lowers the file size limit
    // and ignores the signal that would otherwise end the process, so each write fails instead.
    constexpr std::uintmax_t kBlock = 512;
    const std::uintmax_t limit = (fs::file_size(work() / "whole" / "f_00.png") + kBlock - 1) / kBlock * kBlock;
    int failing = -1;
    for (int f = 0; f < kFrames && failing < 0; ++f)
        if (fs::file_size(work() / "whole" / FrameFile(f)) > limit) failing = f;
    ASSERT_GT(failing, 0) << "the frames must grow for this test";

    fs::create_directories(work() / "full");
    const std::string limits = "ulimit -f " + std::to_string(limit / kBlock) + "; trap '' XFSZ; ";
    const CliRun run = Run(RenderFrames("growing.json", "full", 1), limits);
    EXPECT_EQ(run.status, 1);
    const std::string failed = FrameFile(failing);
    EXPECT_NE(run.err.find("frame " + std::to_string(failing) + " failed"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("full/" + failed + ": writing failed: "), std::string::npos)
        << "the message names the file and the reason: " << run.err;
    for (const auto& entry : fs::directory_iterator(work() / "full")) {
        const std::string name = entry.path().filename().string();
        EXPECT_LT(name, failed) << "only the frames before the failing one are there";
        EXPECT_EQ(ReadText(entry.path()), ReadText(work() / "whole" / name)) << name;
    }
    EXPECT_EQ(static_cast<int>(std::distance(fs::directory_iterator(work() / "full"), {})), failing);
}

// The panel's stored image: STRANDEL_UPDATE_GOLDEN=DIR writes it into DIR instead. The wave's scale
// curve rises from 0 to 1 at x 0.5 and falls back; an Alt-click on that point leaves a straight
// line at 0, which --set can give the same render directly.
TEST_F(CliTest, TheWavePanelMatchesItsStoredImageAndAnAltClickSavedFlattensTheScaleRamp)
{
    fs::copy(DataFile("examples"), work() / "examples");
    ASSERT_EQ(Run("panel examples/wave.json -o panel.png").status, 0);
    if (const char* update = std::getenv("STRANDEL_UPDATE_GOLDEN"); update && *update) {
        fs::copy_file(work() / "panel.png", fs::path(update) / "panel.png", fs::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << fs::path(update) / "panel.png";
    }
    EXPECT_TRUE(SamePixels(host::ReadPng(work() / "panel.png"), host::ReadPng(DataFile("golden/panel.png"))));

    const std::string kFlat = "'Ramp/Scale Curve=[[0,0,0,0,0.3333333333333333,0],[1,0,-0.3333333333333333,0,0,0]]'";
    const std::string kRuns[] = {
        "panel examples/wave.json --click 'Ramp/Scale Curve' 110,10 --alt --save examples/edited.json",
        "render examples/edited.json --frame 15 -o edited.png",
        "render examples/wave.json --frame 15 --set " + kFlat + " -o flat.png",
        "render examples/wave.json --frame 15 -o wave.png"};
    for (const std::string& args : kRuns) ASSERT_EQ(Run(args).status, 0) << args;
    const host::Image edited = host::ReadPng(work() / "edited.png");
    EXPECT_TRUE(SamePixels(edited, host::ReadPng(work() / "flat.png")));
    EXPECT_FALSE(SamePixels(edited, host::ReadPng(work() / "wave.png")));
}

TEST_F(CliTest, BadScriptedPanelInputIsRefusedBeforeAnythingIsWritten)
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
        const CliRun run =
            Run("panel '" + DataFile("examples/wave.json").string() + "' " + args + " --save saved.json -o panel.png");
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(work() / "saved.json"));
        EXPECT_FALSE(fs::exists(work() / "panel.png"));
    }
}

} // namespace
} // namespace strandel::test
