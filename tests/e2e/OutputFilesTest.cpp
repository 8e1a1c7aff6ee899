// The command's image files appear whole or not at all: when the process is killed in the middle
// of a multi-frame render, and when the destination takes no more bytes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/HostTestSupport.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

namespace fs = std::filesystem;
using host::test::ReadText;
using host::test::ScratchDir;

constexpr int kFrames = 16;

// The count of copies grows from 1 to 200 over the first half second: so do the files.
const char* kGrowingScene = R"({"comps": [{"name": "Main", "width": 160, "height": 90, "frameRate": 30,
  "duration": 1, "layers": [
    {"name": "Fx", "type": "solid", "color": [0, 0, 0, 1], "effects": [{"name": "Strandel", "params": {
       "Path Layer": "Path", "Source Layer 1": "Dot", "Random/Rotation Z": 180, "Random/Scale": 80,
       "Count": {"keys": [{"time": 0, "value": 1}, {"time": 0.5, "value": 200}]}}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
       {"time": 0, "value": [10, 45, 0], "outTangent": [40, -80, 0]}, {"time": 1, "value": [150, 45, 0]}]}}},
    {"name": "Dot", "type": "solid", "color": [1, 0.5, 0.25, 0.75], "width": 7, "height": 3}]}]})";

// strandel render of a scene (the example at half size by default) into the folder, run by the
// shell after `limits`; its output and messages go to files beside the folder.
std::string RenderCommand(const fs::path& dir, int threads, const std::string& limits = "",
                          const fs::path& scene = DataFile("examples/helix.json"))
{
    return limits + "exec '" + Beside(STRANDEL_CLI_PATH).string() + "' render '" + scene.string() +
           "' --resolution half --frames 0-" + std::to_string(kFrames - 1) + " --threads " + std::to_string(threads) +
           " -o '" + (dir / "f_[##].png").string() + "' >'" + (dir.parent_path() / "out.txt").string() + "' 2>'" +
           (dir.parent_path() / "err.txt").string() + "'";
}

std::string FrameFile(int frame) { return (frame < 10 ? "f_0" : "f_") + std::to_string(frame) + ".png"; }

pid_t StartRender(const std::string& command)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

int FramesIn(const fs::path& folder)
{
    int n = 0;
    for (int f = 0; f < kFrames; ++f) n += fs::exists(folder / FrameFile(f));
    return n;
}

TEST(OutputFilesTest, AKilledRenderLeavesEachFrameWholeOrAbsent)
{
    ScratchDir dir;
    fs::create_directories(dir / "whole");
    ASSERT_EQ(Wait(StartRender(RenderCommand(dir / "whole", 2))), 0) << ReadText(dir / "err.txt");

    // Kills at once, as the first frame lands and half way; driven by the files rather than by
    // time, so a loaded machine moves the kills but never past them.
    int written = 0, absent = 0, killed = 0;
    for (int framesBeforeKill : {0, 1, kFrames / 2}) {
        SCOPED_TRACE("killed after " + std::to_string(framesBeforeKill) + " frames");
        const fs::path folder = dir / ("killed" + std::to_string(framesBeforeKill));
        fs::create_directories(folder);
        const pid_t pid = StartRender(RenderCommand(folder, 2));
        while (FramesIn(folder) < framesBeforeKill && ::waitpid(pid, nullptr, WNOHANG) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ::kill(pid, SIGKILL);
        killed += Wait(pid) == -SIGKILL;
        for (int f = 0; f < kFrames; ++f) {
            const std::string name = FrameFile(f);
            if (!fs::exists(folder / name)) {
                ++absent;
                continue;
            }
            ++written;
            EXPECT_EQ(ReadText(folder / name), ReadText(dir / "whole" / name)) << name << " is not the whole frame";
        }
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name.starts_with(".") || name.starts_with("f_")) << "a stray file " << name;
        }
    }
    EXPECT_GT(killed, 0);
    EXPECT_GT(written, 0);
    EXPECT_GT(absent, 0);
}

TEST(OutputFilesTest, AFullDestinationFailsTheFrameByNameAndKeepsTheFramesBefore)
{
    ScratchDir dir;
    fs::create_directories(dir / "whole");
    host::test::WriteText(dir / "growing.json", kGrowingScene);
    ASSERT_EQ(Wait(StartRender(RenderCommand(dir / "whole", 1, "", dir / "growing.json"))), 0)
        << ReadText(dir / "err.txt");
    // Files larger than the first frame cannot be written: the shell lowers the file size limit
    // and ignores the signal that would otherwise end the process, so each write fails instead.
    constexpr std::uintmax_t kBlock = 512;
    const std::uintmax_t first = fs::file_size(dir / "whole" / "f_00.png");
    const std::uintmax_t limit = (first + kBlock - 1) / kBlock * kBlock;
    int failing = -1;
    for (int f = 0; f < kFrames && failing < 0; ++f)
        if (fs::file_size(dir / "whole" / FrameFile(f)) > limit) failing = f;
    ASSERT_GT(failing, 0) << "the frames must grow for this test";

    fs::create_directories(dir / "full");
    const std::string limits = "ulimit -f " + std::to_string(limit / kBlock) + "; trap '' XFSZ; ";
    EXPECT_EQ(Wait(StartRender(RenderCommand(dir / "full", 1, limits, dir / "growing.json"))), 1);
    const std::string failed = FrameFile(failing);
    const std::string err = ReadText(dir / "err.txt");
    EXPECT_NE(err.find("frame " + std::to_string(failing) + " failed"), std::string::npos) << err;
    EXPECT_NE(err.find((dir / "full" / failed).string() + ": writing failed: "), std::string::npos)
        << "the message names the file and the reason: " << err;
    for (const auto& entry : fs::directory_iterator(dir / "full")) {
        const std::string name = entry.path().filename().string();
        EXPECT_LT(name, failed) << "only the frames before the failing one are there";
        EXPECT_EQ(ReadText(entry.path()), ReadText(dir / "whole" / name)) << name;
    }
    EXPECT_EQ(static_cast<int>(std::distance(fs::directory_iterator(dir / "full"), {})), failing);
}

} // namespace
} // namespace strandel::test
