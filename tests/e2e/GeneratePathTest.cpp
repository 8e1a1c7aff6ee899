// The "Generate Path" button pressed through the host.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "frame/ParamIndex.h"
#include "host/scene/SceneWriter.h"
#include "support/HostFixture.h"

namespace strandel::test {
namespace {

const std::string kPrefix = "Strandel Generate Path\n\n";
const std::string kPath3D =
    R"({"name": "Path", "type": "null", "threeD": true, "transform": {"position": [50, 60, 70]}})";

// The path layer comes first: its ID is 1, its index 0.
std::string Scene(const std::string& pathLayer, const std::string& fxParams = R"({"Path Layer": "Path"})")
{
    return R"({"comps": [{"name": "Main", "width": 200, "height": 100, "frameRate": 30, "duration": 20, "layers": [)" +
           pathLayer + R"(, {"name": "Fx", "type": "solid", "effects": [{"name": "Strandel", "params": )" + fxParams +
           "}]}]}]}";
}

class GeneratePathTest : public HostTest {
protected:
    PF_Err Press(const std::function<void(std::vector<PF_ParamDef>&)>& adjust = nullptr)
    {
        out_ = PF_OutData{};
        return H().instances().front()->UserChangedParam(kParamGeneratePath, &out_, adjust);
    }
    const host::AnimatedProperty& Position() { return H().project().comps[0].LayerByName("Path")->transform.position; }

    PF_OutData out_{};
};

constexpr A_long kRerenderAndRefresh = PF_OutFlag_FORCE_RERENDER | PF_OutFlag_REFRESH_UI;

// Turns and cycles below one (`low`) are raised to one. `noIds`: the host's scripting gives
// layers no IDs, so the path layer is taken by its index.
TEST_F(GeneratePathTest, EachPresetWritesLinearKeysFromTheStartPosition)
{
    // clang-format off
    const struct { const char* preset; std::size_t keys; bool low = false, noIds = false; } cases[] = {
        {"Helix", 9}, {"Tornado Helix", 9}, {"Wave", 13}, {"Figure Eight", 9}, {"Helix", 5, true},
        {"Wave", 5, true}, {"Figure Eight", 9, true}, {"Helix", 9, false, true}};
    // clang-format on
    const std::function<void(std::vector<PF_ParamDef>&)> belowOne = [](std::vector<PF_ParamDef>& defs) {
        defs[kParamTurns].u.sd.value = 0;
        defs[kParamCycles].u.sd.value = -2;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.preset) + (c.low ? ", low" : "") + (c.noIds ? ", no IDs" : ""));
        OpenScene(Scene(kPath3D));
        H().scriptLayersWithoutId = c.noIds;
        Set("Preset", c.preset);
        Set("Key Interval", 0.25);
        H().currentSeconds = 2;
        ASSERT_EQ(Press(c.low ? belowOne : nullptr), PF_Err_NONE);
        EXPECT_TRUE(H().log().messages.empty()) << H().log().messages.front();
        EXPECT_EQ(out_.out_flags & kRerenderAndRefresh, kRerenderAndRefresh);
        EXPECT_EQ(H().log().touchedActiveItem, 1);
        EXPECT_EQ(H().log().refreshedWindows, 1);
        const auto& keys = Position().keys;
        ASSERT_EQ(keys.size(), c.keys);
        EXPECT_EQ(keys[0].value, (Vec3{50, 60, 70}));
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_DOUBLE_EQ(keys[i].time, 2 + 0.25 * i);
            EXPECT_EQ(keys[i].inInterpolation, host::Interpolation::Linear);
            EXPECT_EQ(keys[i].outTangent, -1.0 * keys[i].inTangent);
        }
        ASSERT_EQ(H().undo().GroupCount(), 1u);
        EXPECT_EQ(H().undo().LastGroupName(), "Strandel Generate Path");
    }
}

TEST_F(GeneratePathTest, RefusalsLeaveTheProjectAsItWas)
{
    const std::string kFx = R"({"Path Layer": "Path"})";
    auto path = [](const std::string& rest) { return R"({"name": "Path", "type": "null", )" + rest + "}"; };
    // clang-format off
    const struct { std::string pathLayer, fxParams; const char* message; bool scriptRan;
                   std::function<void(std::vector<PF_ParamDef>&)> adjust = nullptr; } cases[] = {
        {path(R"("transform": {"position": [50, 60]})"), kFx, "Path Layerが2Dレイヤーです。3Dレイヤーを指定してください。", true},
        {path(R"("threeD": true, "locked": true)"), kFx, "Positionが書き込み不可です。レイヤーのロックを解除してください。", true},
        {path(R"("threeD": true, "transform": {"position": {"value": [1, 2, 3], "separated": true}})"), kFx,
         "Positionが次元分割されています。次元分割を解除してください。", true},
        {path(R"("threeD": true, "transform": {"position": {"value": [1, 2, 3], "expression": true}})"), kFx,
         "Position Expressionが有効です。Expressionを無効にしてください。", true},
        {kPath3D, "{}", "Path Layerが未指定です。", false},
        {kPath3D, R"({"Path Layer": "Path", "Preset": "Figure Eight", "Size": 0})",
         "Loop Radiusには0より大きい値を指定してください。", true},
        {kPath3D, kFx, "Key Intervalには0より大きい値を指定してください。", false,
         [](std::vector<PF_ParamDef>& defs) { defs[kParamKeyInterval].u.fs_d.value = 0; }},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        OpenScene(Scene(c.pathLayer, c.fxParams));
        const host::Project before = H().project();
        if (!c.scriptRan) H().stubbedScript = host::ScriptOutcome{true, "OK", ""}; // would hide a run
        ASSERT_EQ(Press(c.adjust), PF_Err_NONE);
        ASSERT_EQ(H().log().messages.size(), 1u);
        EXPECT_EQ(H().log().messages[0], kPrefix + c.message);
        EXPECT_TRUE(H().project() == before);
        EXPECT_EQ(out_.out_flags & kRerenderAndRefresh, c.scriptRan ? kRerenderAndRefresh : 0);
        EXPECT_EQ(H().log().touchedActiveItem, c.scriptRan ? 1 : 0);
        EXPECT_EQ(out_.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    }

    // Without a plug-in ID there is no script to run, and the message goes to the out data.
    OpenScene(Scene(kPath3D), host::kAppIdCompositor, true);
    ASSERT_EQ(Press(), PF_Err_NONE);
    EXPECT_TRUE(H().log().messages.empty());
    EXPECT_EQ(std::string(out_.return_msg), kPrefix + "スクリプト実行が利用できません。");
    EXPECT_EQ(out_.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, PF_OutFlag_DISPLAY_ERROR_MESSAGE);
}

TEST_F(GeneratePathTest, ExistingKeysAreReplacedOrKeptAndUndoRestoresTheSceneExactly)
{
    const std::string path = R"({"name": "Path", "type": "null", "threeD": true, "transform": {"position": {"keys": [
        {"time": 0, "value": [50, 60, 70], "outTangent": [5, 0, 0]}, {"time": 0.5, "value": [9, 9, 9]},
        {"time": 30, "value": [1, 1, 1], "inInterpolation": "hold"}]}}})";
    for (bool replace : {true, false}) {
        SCOPED_TRACE(replace);
        OpenScene(Scene(path));
        Set("Replace Existing Keys", replace);
        const std::string before = host::SceneToJson(H().project(), "generate.json").dump();
        ASSERT_EQ(Press(), PF_Err_NONE);
        const auto& keys = Position().keys;
        // Helix, 2 turns, 1 s apart: keys at 0..8; kept keys at 0.5 and 30, the one at 0 overwritten.
        ASSERT_EQ(keys.size(), replace ? 9u : 11u);
        EXPECT_EQ(keys[0].value, (Vec3{50, 60, 70}));
        if (!replace) {
            EXPECT_EQ(keys[1].value, (Vec3{9, 9, 9}));
            EXPECT_EQ(keys.back().value, (Vec3{1, 1, 1}));
        }
        ASSERT_TRUE(H().Undo());
        EXPECT_EQ(host::SceneToJson(H().project(), "generate.json").dump(), before);
    }
}

} // namespace
} // namespace strandel::test
