#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "AE_EffectSuites.h"
#include "frame/CommandGuard.h"
#include "frame/Dispatch.h"
#include "frame/GlobalSetup.h"
#include "frame/GlobalState.h"
#include "frame/Registration.h"
#include "frame/TagRecord.h"
#include "layout/IdleWatcher.h"
#include "support/SceneFixture.h"

namespace strandel::test {
namespace {

TEST(Commands, AboutTruncatesTo254CharactersAndExceptionsBecomeHostErrors)
{
    PF_OutData out;
    std::memset(&out, 'x', sizeof out);
    std::string longText(300, 'a');
    ASSERT_EQ(WriteAbout(&out, longText.c_str()), PF_Err_NONE);
    EXPECT_EQ(std::strlen(out.return_msg), 254u);
    EXPECT_EQ(WriteAbout(&out, "short"), PF_Err_NONE);
    EXPECT_STREQ(out.return_msg, "short");

    // Every exception becomes a host error code.
    EXPECT_EQ(GuardCommand([]() -> PF_Err { return 7; }), 7);
    EXPECT_EQ(GuardCommand([]() -> PF_Err { throw PF_Err{PF_Err_BAD_CALLBACK_PARAM}; }), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(GuardCommand([]() -> PF_Err { throw std::runtime_error("x"); }), PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_EQ(GuardCommand([]() -> PF_Err { throw 3.5; }), PF_Err_INTERNAL_STRUCT_DAMAGED);
}

class RerenderRequestTest : public HostTest {};

TEST_F(RerenderRequestTest, PicksTheWorldToRerenderOrTouchesTheActiveItem)
{
    StartHost();
    PF_InData in = H().BaseInData();
    PF_LayerDef output{};
    PF_ParamDef inputParam{};
    PF_ParamDef* params[] = {&inputParam};
    PF_ParamDef* noInput[] = {nullptr};
    int foreign = 0;

    EXPECT_EQ(HandleRerenderRequest(&in, params, &output, &foreign), PF_Err_NONE);
    EXPECT_EQ(HandleRerenderRequest(&in, params, &output, nullptr), PF_Err_NONE);
    EXPECT_EQ(H().suites().AcquireCount(kPFAdvItemSuite), 0) << "a foreign generic call acquired a suite";

    EXPECT_EQ(HandleRerenderRequest(&in, params, &output, RerenderToken()), PF_Err_NONE);
    EXPECT_EQ(HandleRerenderRequest(&in, params, nullptr, RerenderToken()), PF_Err_NONE);
    EXPECT_EQ(H().log().forcedRerenders, 2);
    EXPECT_EQ(HandleRerenderRequest(&in, noInput, nullptr, RerenderToken()), PF_Err_NONE);
    EXPECT_EQ(HandleRerenderRequest(&in, nullptr, nullptr, RerenderToken()), PF_Err_NONE);
    EXPECT_EQ(H().log().touchedActiveItem, 2);

    EXPECT_EQ(HandleRerenderRequest(nullptr, params, &output, RerenderToken()), PF_Err_BAD_CALLBACK_PARAM);
    PF_InData noBasic = in;
    noBasic.pica_basicP = nullptr;
    EXPECT_EQ(HandleRerenderRequest(&noBasic, params, &output, RerenderToken()), PF_Err_BAD_CALLBACK_PARAM);
    H().suites().Disable(kPFAdvItemSuite, 1);
    EXPECT_EQ(DispatchCommand(PF_Cmd_COMPLETELY_GENERAL, &in, nullptr, params, &output, RerenderToken()),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_NE(RerenderToken(), CurveParamRefcon());
}

// "Fx" carries two instances following "Path"; "Other" one that follows nothing.
const char* kWatchedScene = R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 2,
  "layers": [
    {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {"Path Layer": "Path"}},
                                               {"name": "Strandel", "params": {"Path Layer": "Path"}}]},
    {"name": "Other", "type": "solid", "effects": [{"name": "Strandel", "params": {}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
       {"time": 0, "value": [0, 0, 0]}, {"time": 1, "value": [10, 0, 0]}]}}}]}]})";

class IdleWatcherTest : public SceneTest {
protected:
    void SetUp() override
    {
        Open(kWatchedScene);
        detail::gSavedBasicSuite = H().BaseInData().pica_basicP;
        ClearWatchedList();
        ResetWatcherForWakeUp();
    }
    void TearDown() override
    {
        detail::gSavedBasicSuite = nullptr;
        SceneTest::TearDown();
    }
    // One idle call; the rerender requests it sent.
    int Idle()
    {
        const int calls = H().log().genericCalls;
        A_long sleep = 1000;
        EXPECT_EQ(IdleWatcher(nullptr, nullptr, &sleep), A_Err_NONE);
        return H().log().genericCalls - calls;
    }
};

// The instance without a Path Layer is found but never asked to rerender.
TEST_F(IdleWatcherTest, AFailedSuiteMakesTheNextCallScanAgain)
{
    // clang-format off
    const struct { const char* suite; int version; } suites[] = {
        {"AEGP Effect Suite", 5}, {"AEGP Item Suite", 10}, {"AEGP Comp Suite", 26}, {"AEGP Stream Suite", 11}};
    // clang-format on
    for (const auto& s : suites) {
        SCOPED_TRACE(s.suite);
        ClearWatchedList();
        ResetWatcherForWakeUp();
        H().suites().Disable(s.suite, s.version);
        EXPECT_EQ(Idle(), 0);
        EXPECT_TRUE(Watcher().rescan);
        H().suites().Enable(s.suite, s.version);
        EXPECT_EQ(Idle(), 2);
        EXPECT_FALSE(Watcher().rescan);
    }

    // The host going away stops the fast wake-up cadence.
    Watcher().found = true;
    DeathHook(nullptr, nullptr);
    EXPECT_FALSE(Watcher().found.load());
}

} // namespace
} // namespace strandel::test
