#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "AE_EffectSuites.h"
#include "frame/CommandGuard.h"
#include "frame/Dispatch.h"
#include "frame/GlobalSetup.h"
#include "frame/GlobalState.h"
#include "frame/Registration.h"
#include "frame/TagRecord.h"
#include "layout/IdleWatcher.h"
#include "support/HostFixture.h"

namespace strandel::test {
namespace {

using namespace std::chrono_literals;

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

std::atomic<int> gWakeUps{0};
A_Err CountWakeUp()
{
    ++gWakeUps;
    return A_Err_NONE;
}

TEST(WakeUp, StartsOnceCallsRepeatedlyAndSlowsDownWithoutInstances)
{
    GlobalSetdown();
    gWakeUps = 0;
    ASSERT_TRUE(StartWakeUpThread(CountWakeUp));
    EXPECT_FALSE(StartWakeUpThread(CountWakeUp)) << "a second thread was started";
    EXPECT_TRUE(Watcher().found) << "starting the thread assumes instances exist";

    // Same window, both cadences: the fast one must call far more often. Counts, not clocks.
    std::this_thread::sleep_for(500ms);
    int fast = gWakeUps.exchange(0);
    Watcher().found = false;
    std::this_thread::sleep_for(260ms); // let the current fast sleep end
    gWakeUps = 0;
    std::this_thread::sleep_for(500ms);
    int slow = gWakeUps.load();
    EXPECT_GE(fast, 5);
    EXPECT_LE(slow, 4);
    EXPECT_GT(fast, 2 * slow);

    GlobalSetdown();
    EXPECT_FALSE(WakeUpThreadRunning());
    EXPECT_FALSE(Watcher().found);
    EXPECT_FALSE(StartWakeUpThread(nullptr));
}

class RerenderRequestTest : public HostTest {};

TEST_F(RerenderRequestTest, PicksTheWorldToRerenderOrTouchesTheActiveItem)
{
    StartHost();
    PF_InData in = H().BaseInData();
    PF_LayerDef output{}, input{};
    PF_ParamDef inputParam{};
    inputParam.u.ld = input;
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

} // namespace
} // namespace strandel::test
