// The plug-in as the host first meets it: its binaries, loading, dispatch, setup and parameters.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <tuple>

#include "AE_EffectSuites.h"
#include "frame/PiPL.h"
#include "host/SceneParams.h"
#include "support/HostFixture.h"
#include "support/PeReader.h"

namespace strandel::test {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

const std::vector<std::string> kExports = {"EffectMain", "NvOptimusEnablementCuda", "PluginDataEntryFunction2"};

TEST(BinaryExports, LinuxPluginExportsExactlyThreeSymbols)
{
    const std::string cmd = "nm -D --defined-only --format=just-symbols '" + PluginPath() + "' | sort";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string names;
    for (std::array<char, 512> line; fgets(line.data(), line.size(), pipe.get());) names += line.data();
    EXPECT_EQ(names, "EffectMain\nNvOptimusEnablementCuda\nPluginDataEntryFunction2\n");
}

TEST(BinaryExports, WindowsPluginExportsThreeSymbolsAndCarriesThePiPL)
{
    if (AexPath().empty()) GTEST_SKIP() << "no MinGW-w64 cross compiler on this machine";
    PeImage dll(AexPath());
    EXPECT_EQ(dll.ModuleName(), "Strandel.aex");
    auto names = dll.ExportNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, kExports);
    auto pipl = dll.Resource("PIPL", kPiPLResourceId, kPiPLLanguage);
    ASSERT_TRUE(pipl.has_value()) << "no PIPL 16000 resource in language 1033";
    EXPECT_EQ(*pipl, BuildPiPLResource());
}

class EntryTest : public HostTest {};

TEST_F(EntryTest, UnlistedCommandsReturnZeroAndTouchNothing)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    const int listed[] = {0, 1, 3, 4, 11, 13, 14, 15, 17, 22, 23, 24};
    for (PF_Cmd cmd = -1; cmd <= 40; ++cmd) {
        if (std::find(std::begin(listed), std::end(listed), cmd) != std::end(listed)) continue;
        PF_InData in = H().BaseInData(), inBefore = in;
        PF_OutData out;
        std::memset(&out, 0xA5, sizeof out);
        PF_OutData outBefore = out;
        char extra[64];
        std::memset(extra, 0x5A, sizeof extra);
        EXPECT_EQ(H().Call(cmd, &in, &out, nullptr, nullptr, extra), PF_Err_NONE) << "command " << cmd;
        EXPECT_EQ(std::memcmp(&out, &outBefore, sizeof out), 0) << "command " << cmd << " wrote out_data";
        EXPECT_EQ(std::memcmp(&in, &inBefore, sizeof in), 0) << "command " << cmd << " wrote in_data";
        EXPECT_EQ(H().suites().Outstanding(), 0);
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

// No plug-in ID, or the video editor, which registers nothing and is told the pixel formats:
// setup succeeds without hooks or thread. No registration suite: setup fails.
TEST_F(EntryTest, WithoutRegistrationThereAreNoHooksAndNoThread)
{
    enum Case { kNoId, kNoSuite, kEditor };
    for (Case c : {kNoId, kNoSuite, kEditor}) {
        SCOPED_TRACE(c);
        StartHost(c == kEditor ? host::kAppIdVideoEditor : host::kAppIdCompositor);
        H().SetRegistrationGivesNoId(c == kNoId);
        if (c == kNoSuite) H().suites().Disable(kAEGPUtilitySuite, 7);
        H().log().supportedPixelFormats = {PF_PixelFormat_INVALID}; // cleared first
        EXPECT_EQ(H().GlobalSetup(), c == kNoSuite ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE);
        EXPECT_TRUE(H().idleHooks().empty());
        if (c == kEditor) {
            EXPECT_EQ(
                H().log().supportedPixelFormats,
                (std::vector<PF_PixelFormat>{PF_PixelFormat_ARGB128, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB32}));
            EXPECT_EQ(H().suites().AcquireCount(kAEGPUtilitySuite), 0);
            H().suites().Disable(kPFPixelFormatSuite, 2);
            EXPECT_EQ(H().GlobalSetup(), PF_Err_NONE) << "without the pixel-format suite the editor still sets up";
        }
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(H().log().idleTriggers, 0);
        TearDown();
    }
}

class ParamsTest : public HostTest {};

TEST_F(ParamsTest, AFailedAddStopsDefinitionAndLeaksNoCurve)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    for (int n : {1, 50, 108, 110, 120}) {
        SCOPED_TRACE(n);
        {
            host::EffectInstance fx(H());
            fx.FailNthAdd(n, PF_Err_OUT_OF_MEMORY);
            EXPECT_EQ(fx.Setup(), PF_Err_OUT_OF_MEMORY);
            EXPECT_EQ(fx.paramCount(), n); // the input layer and the n - 1 rows before the failure
            // Each curve added so far: its default plus the value the host copied from it.
            EXPECT_EQ(H().handles().LiveCount(), static_cast<std::size_t>(2 * std::max(0, n - 108)));
        }
        EXPECT_EQ(H().handles().LiveCount(), 0u);
    }
}

// Popups, checkboxes, angles, layers and keyframed numbers are held by the example scenes' golden
// images; here what those scenes do not use. The names and values refused: CliTest.
TEST_F(ParamsTest, NamesResolveAndSceneValuesConvertOrClampWithAWarning)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    host::EffectInstance& fx = H().AddInstance();
    EXPECT_EQ(fx.Resolve("Count"), 32);
    EXPECT_EQ(fx.Resolve("Array/Count"), 32);
    EXPECT_EQ(fx.Resolve("Ramp/Scale"), 63);
    std::vector<std::string> warnings;
    auto apply = [&](const char* name, const json& v) {
        host::ApplySceneParam(
            fx, name, v, [](const std::string&) { return std::nullopt; }, warnings);
    };
    apply("Count", 5000);
    apply("Position", json::array({1, 2, 3}));
    apply("Offset", {{"keys", {{{"time", 0}, {"value", 0}}, {{"time", 2}, {"value", 100}}}}});
    apply("Quality", {{"keys", {{{"time", 0}, {"value", "Draft"}}, {{"time", 1}, {"value", "High"}}}}});
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Array/Count"), std::string::npos) << warnings[0];
    EXPECT_EQ(fx.DefAt(32, 0).u.sd.value, 1000);
    EXPECT_EQ(fx.DefAt(39, 0).u.point3d_d.z_value, 3.0);
    EXPECT_DOUBLE_EQ(fx.DefAt(34, 0.5).u.fs_d.value, 25.0);
    EXPECT_DOUBLE_EQ(fx.DefAt(34, 5).u.fs_d.value, 100.0);
    EXPECT_EQ(fx.DefAt(105, 0.99).u.pd.value, 1);
    EXPECT_EQ(fx.DefAt(105, 1).u.pd.value, 3);
}

} // namespace
} // namespace strandel::test
