#include <gtest/gtest.h>

#include "host/scene/SceneReader.h"
#include "host/script/ScriptEngine.h"
#include "support/HostFixture.h"

namespace strandel::host {
namespace {

using namespace std::chrono_literals;

const char* kScene = R"({"comps": [{"name": "Main", "width": 200, "height": 100, "frameRate": 30, "duration": 5,
  "layers": [{"name": "A", "type": "null", "threeD": true, "transform": {"position": {"keys": [
               {"time": 0, "value": [1, 2, 3]}, {"time": 2, "value": [5, 6, 7]}]}}},
             {"name": "B", "type": "null", "locked": true}]}]})";

class ScriptEngineTest : public test::HostTest {
protected:
    void SetUp() override
    {
        StartHost();
        H().OpenProject(ParseScene(kScene, "script.json").project);
    }
    ScriptOutcome Run(const std::string& script, std::chrono::milliseconds limit = 2000ms)
    {
        return RunScript(H(), script, limit);
    }
    const AnimatedProperty& PositionOf(const char* layer)
    {
        return H().project().comps[0].LayerByName(layer)->transform.position;
    }
};

TEST_F(ScriptEngineTest, EditsInsideAGroupAreUndoneTogether)
{
    const Project before = H().project();
    const auto stampBefore = H().render().projectRevision.load();
    const ScriptOutcome out =
        Run("var p = app.project.item(1).layer(1).property('ADBE Transform Group').property('ADBE Position');\n"
            "app.beginUndoGroup('Edit');\n"
            "p.removeKey(2);\n"
            "p.setValueAtTime(1, [10, 20, 30]);\n"
            "p.setInterpolationTypeAtKey(2, KeyframeInterpolationType.HOLD, KeyframeInterpolationType.BEZIER);\n"
            "p.setSpatialTangentsAtKey(2, [1, 0, 0], [0, 1, 0]);\n"
            "app.endUndoGroup();\n"
            "p.numKeys;");
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.result, "2");
    const Keyframe& key = PositionOf("A").keys[1];
    EXPECT_EQ(key.value, (Vec3{10, 20, 30}));
    EXPECT_EQ(key.inInterpolation, Interpolation::Hold);
    EXPECT_EQ(key.outInterpolation, Interpolation::Bezier);
    EXPECT_EQ(key.outTangent, (Vec3{0, 1, 0}));
    EXPECT_GT(H().render().projectRevision.load(), stampBefore);
    ASSERT_EQ(H().undo().GroupCount(), 1u);
    ASSERT_TRUE(H().Undo());
    EXPECT_TRUE(H().project() == before);
}

TEST_F(ScriptEngineTest, ScriptErrorsCarryTheirLineAndNeverCrashTheHost)
{
    const struct {
        const char* script;
        const char* error; // the uncaught error's message; null: caught by the script
        const char* result;
    } cases[] = {
        {"var x = 1;\nundefinedFunction();", "identifier 'undefinedFunction' undefined", nullptr},
        {"try {\n\n  null.x;\n} catch (e) { e.line; }", nullptr, "3"},
        {"app.project.item(1).layer(9);", "layer index out of range", nullptr},
        {"app.project.item(1).layer(2).property('ADBE Transform Group').property('ADBE Position').setValueAtTime(0, "
         "[1, 2]);",
         "layer \"B\" is locked", nullptr},
        {"app.project.item(1).layer(1).property('ADBE Transform Group').property('ADBE Position').removeKey(3);",
         "key index 3 out of range 1..2", nullptr},
        {"app.endUndoGroup();", "no undo group is open", nullptr},
        {"syntax error here", "(line 1)", nullptr},
    };
    for (const auto& c : cases) {
        const ScriptOutcome out = Run(c.script);
        EXPECT_EQ(out.ok, c.error == nullptr) << c.script;
        if (c.error) {
            EXPECT_NE(out.error.find(c.error), std::string::npos) << out.error;
        } else {
            EXPECT_EQ(out.result, c.result) << c.script;
        }
    }
    EXPECT_EQ(PositionOf("B").keys.size(), 0u);
}

TEST_F(ScriptEngineTest, ARunawayScriptIsStoppedAndItsUndoGroupClosed)
{
    const auto start = std::chrono::steady_clock::now();
    const ScriptOutcome out = Run("app.beginUndoGroup('Loop');\ntry { for (;;) {} } catch (e) {}\nfor (;;) {}", 100ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, "the script was stopped after running longer than 100 ms");
    EXPECT_FALSE(H().undo().IsOpen());
    EXPECT_EQ(H().undo().GroupCount(), 1u);
}

} // namespace
} // namespace strandel::host
