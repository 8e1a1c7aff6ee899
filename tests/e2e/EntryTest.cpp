// The plug-in as the host first meets it: loading, command dispatch, global setup and its thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <tuple>

#include "AE_EffectSuites.h"
#include "host/HostError.h"
#include "support/HostFixture.h"

namespace strandel::test {
namespace {

using namespace std::chrono_literals;

class EntryTest : public HostTest {};

TEST_F(EntryTest, LoadingRefusesMissingOrForeignLibraries)
{
    for (const char* path : {"/nonexistent/strandel.so", "libm.so.6"}) {
        try {
            host::Host h(host::HostOptions{path});
            ADD_FAILURE() << "loaded " << path;
        } catch (const host::HostError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

TEST_F(EntryTest, UnlistedCommandsReturnZeroAndTouchNothing)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    const int listed[] = {0, 1, 3, 4, 11, 13, 14, 15, 17, 22, 23, 24};
    for (PF_Cmd cmd = -1; cmd <= 40; ++cmd) {
        if (std::find(std::begin(listed), std::end(listed), cmd) != std::end(listed)) continue;
        PF_InData in = H().BaseInData();
        PF_InData inBefore = in;
        PF_OutData out;
        std::memset(&out, 0xA5, sizeof out);
        PF_OutData outBefore = out;
        int acquiredBefore = H().suites().Outstanding();
        char extra[64];
        std::memset(extra, 0x5A, sizeof extra);
        EXPECT_EQ(H().Call(cmd, &in, &out, nullptr, nullptr, extra), PF_Err_NONE) << "command " << cmd;
        EXPECT_EQ(std::memcmp(&out, &outBefore, sizeof out), 0) << "command " << cmd << " wrote out_data";
        EXPECT_EQ(std::memcmp(&in, &inBefore, sizeof in), 0) << "command " << cmd << " wrote in_data";
        EXPECT_EQ(H().suites().Outstanding(), acquiredBefore);
        for (char c : extra) ASSERT_EQ(c, 0x5A) << "command " << cmd << " wrote its extra";
    }
}

// What setup declares is held by the stored interface (GoldenTest); here, doing it twice, and
// the one wake-up thread it starts, which keeps the host idling until setdown joins it.
TEST_F(EntryTest, ASecondGlobalSetupRegistersNothingAgainAndOneThreadIdlesTheHost)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    const PF_OutData first = H().globalSetupOutput();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(H().idleHooks().size(), 1u) << "a second thread or hook";
    EXPECT_EQ(H().registration().calls, 1);
    const PF_OutData& again = H().globalSetupOutput();
    EXPECT_EQ(std::tie(again.my_version, again.out_flags, again.out_flags2),
              std::tie(first.my_version, first.out_flags, first.out_flags2));

    PF_InData in = H().BaseInData();
    for (PF_Cmd cmd : {PF_Cmd_GLOBAL_SETUP, PF_Cmd_ABOUT}) {
        EXPECT_EQ(H().Call(cmd, &in, nullptr, nullptr, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM) << cmd;
        EXPECT_EQ(H().Call(cmd, nullptr, nullptr, nullptr, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM) << cmd;
    }

    // The limit only bounds a failing test; it asserts nothing about speed.
    for (auto end = std::chrono::steady_clock::now() + 10s; H().log().idleTriggers < 3;) {
        ASSERT_LT(std::chrono::steady_clock::now(), end) << "the wake-up thread never called";
        std::this_thread::sleep_for(5ms);
    }
    H().Shutdown(); // joins the thread: no call may reach the host afterwards
    int after = H().log().idleTriggers;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(H().log().idleTriggers, after);
}

// No plug-in ID: setup succeeds without them; no registration suite: setup fails.
TEST_F(EntryTest, WithoutRegistrationThereAreNoHooksAndNoThread)
{
    for (bool suiteMissing : {false, true}) {
        SCOPED_TRACE(suiteMissing);
        StartHost();
        if (suiteMissing) {
            H().suites().Disable(kAEGPUtilitySuite, 7);
        } else {
            H().SetRegistrationGivesNoId(true);
        }
        EXPECT_EQ(H().GlobalSetup(), suiteMissing ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE);
        EXPECT_TRUE(H().idleHooks().empty());
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(H().log().idleTriggers, 0);
        TearDown();
    }
}

TEST_F(EntryTest, VideoEditorGetsPixelFormatsAndNoRegistration)
{
    StartHost(host::kAppIdVideoEditor);
    H().log().supportedPixelFormats = {PF_PixelFormat_INVALID}; // cleared first
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    const std::vector<PF_PixelFormat> expected = {PF_PixelFormat_ARGB128, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB32};
    EXPECT_EQ(H().log().supportedPixelFormats, expected);
    EXPECT_TRUE(H().idleHooks().empty());
    EXPECT_EQ(H().suites().AcquireCount(kAEGPUtilitySuite), 0);

    // Without the pixel-format suite the editor still sets up.
    H().suites().Disable(kPFPixelFormatSuite, 2);
    EXPECT_EQ(H().GlobalSetup(), PF_Err_NONE);
}

} // namespace
} // namespace strandel::test
