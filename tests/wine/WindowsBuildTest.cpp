// The Windows build under Wine: strandel.exe with Strandel.aex renders every frame of every
// example scene at 8, 16 and 32 bits, and each frame must match what this build's strandel and
// plug-in render, as closely as a render must match its golden image.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/image/ExrFile.h"
#include "host/image/PngFile.h"
#include "support/HostTestSupport.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

namespace fs = std::filesystem;

struct Case {
    std::string scene;
    int depth;
};

std::string Name(const Case& c) { return c.scene + "_" + std::to_string(c.depth) + "bit"; }

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (const std::string& scene : ExampleScenes())
        for (int depth : {8, 16, 32}) cases.push_back({scene, depth});
    return cases;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// `command` with its output in `log`: its exit status, or -1 when it did not exit.
int RunLogged(const std::string& command, const fs::path& log)
{
    const int status = std::system((command + " >" + Quoted(log) + " 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// strandel.exe under Wine, in the prefix the tests share.
const std::string kWindowsStrandel = "WINEPREFIX='" + Beside(STRANDEL_WINE_PREFIX).string() +
                                     "' WINEDEBUG=-all '" STRANDEL_WINE64 "' '" +
                                     Beside(STRANDEL_WINDOWS_CLI).string() + "'";

class WindowsBuildTest : public ::testing::TestWithParam<Case> {};

TEST_P(WindowsBuildTest, RendersEveryFrameAsTheLinuxBuild)
{
    const Case& c = GetParam();
    const fs::path work = Beside(STRANDEL_WINE_WORK) / Name(c);
    fs::remove_all(work);
    // Every frame of the scene, drawn by `strandel` (a command line up to its subcommand) into work/<side>/.
    const auto render = [&](const std::string& strandel, const std::string& side) {
        const fs::path pattern = work / side / (c.scene + "_[####]" + (c.depth == 32 ? ".exr" : ".png"));
        const std::string args = " --threads 2 --depth " + std::to_string(c.depth) + " -o " + Quoted(pattern);
        const fs::path scene = DataFile("examples/" + c.scene + ".json"), log = work / (side + ".txt");
        ASSERT_EQ(RunLogged(strandel + " render " + Quoted(scene) + args, log), 0) << host::test::ReadText(log);
    };
    fs::create_directories(work);
    ASSERT_NO_FATAL_FAILURE(render("'" + Beside(STRANDEL_CLI_PATH).string() + "'", "linux"));
    // Stale files where the Windows frames go: Windows renames over an existing file only when asked.
    fs::create_directories(work / "windows");
    for (const auto& entry : fs::directory_iterator(work / "linux"))
        host::test::WriteText(work / "windows" / entry.path().filename(), "stale");
    ASSERT_NO_FATAL_FAILURE(render(kWindowsStrandel, "windows"));

    const auto read = c.depth == 32 ? host::ReadExr : host::ReadPng;
    int frames = 0;
    for (const auto& entry : fs::directory_iterator(work / "linux")) {
        const fs::path name = entry.path().filename();
        SCOPED_TRACE(name.string());
        ASSERT_TRUE(fs::exists(work / "windows" / name));
        host::test::ExpectSameRender(read(work / "windows" / name), read(entry.path()));
        ++frames;
    }
    EXPECT_GT(frames, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(work / "windows"), {}), frames);
    if (!HasFailure()) fs::remove_all(work); // kept for a look when something differs
}

// The Windows loader's failure reaches the user as the host's one line naming the file.
TEST(WindowsCommand, APlugInThatCannotLoadIsNamed)
{
    const fs::path work = Beside(STRANDEL_WINE_WORK) / "unloadable";
    fs::create_directories(work);
    host::test::WriteText(work / "Broken.aex", "not a DLL");
    for (const char* plugin : {"Missing.aex", "Broken.aex"}) {
        EXPECT_EQ(RunLogged(kWindowsStrandel + " --plugin " + Quoted(work / plugin) + " info", work / "out.txt"), 2);
        const std::string out = host::test::ReadText(work / "out.txt");
        const std::string says = "strandel: cannot load plug-in " + (work / plugin).string() + ": ";
        EXPECT_NE(out.find(says), std::string::npos) << out;
    }
    fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Examples, WindowsBuildTest, ::testing::ValuesIn(Cases()),
                         [](const auto& param) { return Name(param.param); });

} // namespace
} // namespace strandel::test
