// The Windows build under Wine: strandel.exe with Strandel.aex renders every frame of every
// example scene at 8, 16 and 32 bits, and each frame must match what this build's strandel and
// plug-in render, as closely as a render must match its golden image.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
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
void PrintTo(const Case& c, std::ostream* out) { *out << Name(c); }

std::vector<Case> Cases()
{
    std::vector<std::string> scenes;
    for (const auto& entry : fs::directory_iterator(DataFile("examples")))
        if (entry.path().extension() == ".json") scenes.push_back(entry.path().stem().string());
    std::sort(scenes.begin(), scenes.end());
    std::vector<Case> cases;
    for (const std::string& scene : scenes)
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
const std::string kWindowsStrandel =
    "WINEPREFIX='" + Beside(STRANDEL_WINE_PREFIX).string() + "' WINEDEBUG=-all '" STRANDEL_WINE64 "' '" +
    Beside(STRANDEL_WINDOWS_CLI).string() + "'";

// How far apart two values of a channel are in levels: integer steps at 8 and 16 bits. Float has
// no steps; there a level is one 16-bit step, 1/32768 of the values' magnitude (at least 1).
double LevelsApart(double a, double b, host::PixelDepth depth)
{
    switch (depth) {
    case host::PixelDepth::Eight: return std::round(std::fabs(a - b) * 255);
    case host::PixelDepth::Sixteen: return std::round(std::fabs(a - b) * 32768);
    case host::PixelDepth::Float: break;
    }
    return std::fabs(a - b) * 32768 / std::max({1.0, std::fabs(a), std::fabs(b)});
}

struct Difference {
    double worst = 0; // levels
    long pixels = 0;  // that differ at all
};

// Float colour is compared premultiplied by alpha, as the files hold it.
Difference Compare(const host::Image& windows, const host::Image& reference)
{
    const host::PixelDepth depth = reference.Depth();
    const bool premultiply = depth == host::PixelDepth::Float;
    Difference d;
    for (int y = 0; y < reference.Height(); ++y)
        for (int x = 0; x < reference.Width(); ++x) {
            const host::PixelValue p = windows.Get(x, y), q = reference.Get(x, y);
            const double pa = premultiply ? p.a : 1, qa = premultiply ? q.a : 1;
            const double apart = std::max({LevelsApart(p.a, q.a, depth), LevelsApart(p.r * pa, q.r * qa, depth),
                                           LevelsApart(p.g * pa, q.g * qa, depth),
                                           LevelsApart(p.b * pa, q.b * qa, depth)});
            d.worst = std::max(d.worst, apart);
            d.pixels += apart > 0;
        }
    return d;
}

class WindowsBuildTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        fs::remove_all(work_);
        fs::create_directories(work_);
    }

    // Every frame of the scene, drawn by `strandel` (a command line up to its subcommand) into
    // work/<side>/.
    void Render(const std::string& strandel, const std::string& side) const
    {
        const Case& c = GetParam();
        const fs::path scene = DataFile("examples/" + c.scene + ".json");
        const fs::path pattern = work_ / side / (c.scene + "_[####]" + (c.depth == 32 ? ".exr" : ".png"));
        const fs::path log = work_ / (side + ".txt");
        ASSERT_EQ(RunLogged(strandel + " render " + Quoted(scene) + " --threads 2 --depth " + std::to_string(c.depth) +
                                " -o " + Quoted(pattern),
                            log),
                  0)
            << host::test::ReadText(log);
    }

    const fs::path work_ = Beside(STRANDEL_WINE_WORK) / Name(GetParam());
};

TEST_P(WindowsBuildTest, RendersEveryFrameAsTheLinuxBuild)
{
    ASSERT_NO_FATAL_FAILURE(Render("'" + Beside(STRANDEL_CLI_PATH).string() + "'", "linux"));
    // Stale files where the Windows frames go: Windows renames over an existing file only when asked.
    fs::create_directories(work_ / "windows");
    for (const auto& entry : fs::directory_iterator(work_ / "linux"))
        host::test::WriteText(work_ / "windows" / entry.path().filename(), "stale");
    ASSERT_NO_FATAL_FAILURE(Render(kWindowsStrandel, "windows"));

    const auto read = GetParam().depth == 32 ? host::ReadExr : host::ReadPng;
    int frames = 0;
    for (const auto& entry : fs::directory_iterator(work_ / "linux")) {
        const fs::path name = entry.path().filename();
        SCOPED_TRACE(name.string());
        ASSERT_TRUE(fs::exists(work_ / "windows" / name));
        const host::Image reference = read(entry.path()), windows = read(work_ / "windows" / name);
        ASSERT_EQ(windows.Depth(), reference.Depth());
        ASSERT_EQ(windows.Width(), reference.Width());
        ASSERT_EQ(windows.Height(), reference.Height());
        // As for the golden images: one level of difference on at most 0.5 % of the pixels.
        const Difference d = Compare(windows, reference);
        EXPECT_LE(d.worst, 1.0);
        EXPECT_LE(d.pixels, reference.Width() * reference.Height() / 200);
        ++frames;
    }
    EXPECT_GT(frames, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(work_ / "windows"), {}), frames);
    if (!HasFailure()) fs::remove_all(work_); // kept for a look when something differs
}

// The Windows loader's failure reaches the user as the host's one line naming the file.
TEST(WindowsCommand, APlugInThatCannotLoadIsNamed)
{
    const fs::path work = Beside(STRANDEL_WINE_WORK) / "unloadable";
    fs::create_directories(work);
    host::test::WriteText(work / "Broken.aex", "not a DLL");
    for (const char* plugin : {"Missing.aex", "Broken.aex"}) {
        const fs::path log = work / "out.txt";
        EXPECT_EQ(RunLogged(kWindowsStrandel + " --plugin " + Quoted(work / plugin) + " info", log), 2);
        const std::string out = host::test::ReadText(log);
        EXPECT_NE(out.find("strandel: cannot load plug-in " + (work / plugin).string() + ": "), std::string::npos)
            << out;
    }
    fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Examples, WindowsBuildTest, ::testing::ValuesIn(Cases()),
                         [](const auto& param) { return Name(param.param); });

} // namespace
} // namespace strandel::test
