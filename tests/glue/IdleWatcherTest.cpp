#include <gtest/gtest.h>

#include "frame/GlobalSetup.h"
#include "frame/GlobalState.h"
#include "layout/IdleWatcher.h"
#include "support/SceneFixture.h"

namespace strandel::test {
namespace {

// "Fx" carries two instances following "Path"; "Other" one that follows nothing.
const char* kScene = R"({"comps": [{"name": "Main", "width": 64, "height": 32, "frameRate": 30, "duration": 2,
  "layers": [
    {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": {"Path Layer": "Path"}},
                                               {"name": "Strandel", "params": {"Path Layer": "Path"}}]},
    {"name": "Other", "type": "solid", "effects": [{"name": "Strandel", "params": {}}]},
    {"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
       {"time": 0, "value": [0, 0, 0]}, {"time": 1, "value": [10, 0, 0]}]}}},
    {"name": "Picture", "type": "solid", "width": 8, "height": 8}]}]})";

class IdleWatcherTest : public SceneTest {
protected:
    void SetUp() override
    {
        Open(kScene);
        detail::gSavedBasicSuite = H().BaseInData().pica_basicP;
        ClearWatchedList();
        ResetWatcherForWakeUp();
    }
    void TearDown() override
    {
        detail::gSavedBasicSuite = nullptr;
        SceneTest::TearDown();
    }
    // One idle call; what it changed.
    struct Step {
        int genericCalls;
        uint64_t counterSteps;
        A_long sleep;
    };
    Step Idle()
    {
        const int calls = H().log().genericCalls;
        const uint64_t counter = ChangeCounter();
        A_long sleep = 1000;
        EXPECT_EQ(IdleWatcher(nullptr, nullptr, &sleep), A_Err_NONE);
        return {H().log().genericCalls - calls, ChangeCounter() - counter, sleep};
    }
};

TEST_F(IdleWatcherTest, AMovedKeyGivesOneRequestPerInstanceAndOneCounterStepPerScan)
{
    const Step first = Idle();
    EXPECT_EQ(first.genericCalls, 2); // the instance without a Path Layer is found, never asked
    EXPECT_EQ(first.counterSteps, 1u);
    EXPECT_EQ(first.sleep, 0);
    EXPECT_TRUE(Watcher().found.load());
    ASSERT_EQ(Watcher().watched.size(), 2u);
    EXPECT_EQ(Watcher().watched[0].layerId, H().project().comps[0].LayerByName("Fx")->id);
    EXPECT_EQ(Watcher().watched[0].effectIndex, 0);
    EXPECT_EQ(Watcher().watched[1].effectIndex, 1);

    // Nothing changed: the pulse scans every second call, and asks nothing.
    for (int i = 0; i < 4; ++i) {
        const Step quiet = Idle();
        EXPECT_EQ(quiet.genericCalls, 0);
        EXPECT_EQ(quiet.counterSteps, 0u);
        EXPECT_EQ(quiet.sleep, 1);
    }
    const int touches = H().log().touchedActiveItem;
    H().project().comps[0].layers[2].transform.position.keys[1].value.y += 5; // the path moves
    ++H().render().projectRevision;
    const Step moved = Idle();
    EXPECT_EQ(moved.genericCalls, 2);
    EXPECT_EQ(moved.counterSteps, 1u);
    // The watcher touches the active item once, and each instance's request touches it again.
    EXPECT_EQ(H().log().touchedActiveItem, touches + 1 + 2);
    EXPECT_EQ(H().log().liveEffectHandles, 0);

    // The host going away stops the fast wake-up cadence.
    DeathHook(nullptr, nullptr);
    EXPECT_FALSE(Watcher().found.load());
}

TEST_F(IdleWatcherTest, AFailedSuiteMakesTheNextCallScanAgainAndNoActiveCompNoScanAtAll)
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
        EXPECT_EQ(Idle().genericCalls, 0);
        EXPECT_TRUE(Watcher().rescan);
        H().suites().Enable(s.suite, s.version);
        EXPECT_EQ(Idle().genericCalls, 2);
        EXPECT_FALSE(Watcher().rescan);
    }

    // Without an active comp (nothing, or footage, is active) nothing is scanned and nothing pulses.
    for (bool footage : {false, true}) {
        SCOPED_TRACE(footage);
        ClearWatchedList();
        ResetWatcherForWakeUp();
        H().activeComp = footage ? H().activeComp : nullptr;
        H().activeFootage = footage ? H().project().comps[0].LayerByName("Picture") : nullptr;
        for (int i = 0; i < 3; ++i) {
            const Step step = Idle();
            EXPECT_EQ(step.genericCalls, 0);
            EXPECT_EQ(step.sleep, 1);
        }
        EXPECT_FALSE(Watcher().found.load());
        EXPECT_FALSE(Watcher().rescan);
        EXPECT_EQ(Watcher().pulse, 0);
    }
}

} // namespace
} // namespace strandel::test
