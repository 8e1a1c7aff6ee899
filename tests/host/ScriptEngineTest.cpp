#include <gtest/gtest.h>

#include "host/scene/SceneReader.h"
#include "host/script/ScriptEngine.h"
#include "support/HostFixture.h"

namespace strandel::host {
namespace {

using namespace std::chrono_literals;

// The generate-path script runs in this engine: its errors carry their line, a runaway is stopped.
const char* kScene =
    R"({"comps": [{"name": "Main", "width": 200, "height": 100, "frameRate": 30, "duration": 5, "layers": []}]})";

class ScriptEngineTest : public test::HostTest {
protected:
    void SetUp() override
    {
        StartHost();
        H().OpenProject(ParseScene(kScene, "script.json").project);
    }
};

TEST_F(ScriptEngineTest, ErrorsCarryTheirLineAndARunawayIsStoppedWithItsUndoGroupClosed)
{
    const struct {
        const char* script;
        const char* error; // the uncaught error's message; null: caught by the script
        const char* result;
    } cases[] = {
        {"var x = 1;\nundefinedFunction();", "identifier 'undefinedFunction' undefined", nullptr},
        {"try {\n\n  null.x;\n} catch (e) { e.line; }", nullptr, "3"},
        {"syntax error here", "(line 1)", nullptr},
    };
    for (const auto& c : cases) {
        const ScriptOutcome out = RunScript(H(), c.script, 2000ms);
        EXPECT_EQ(out.ok, c.error == nullptr) << c.script;
        if (c.error) {
            EXPECT_NE(out.error.find(c.error), std::string::npos) << out.error;
        } else {
            EXPECT_EQ(out.result, c.result) << c.script;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    const ScriptOutcome out =
        RunScript(H(), "app.beginUndoGroup('Loop');\ntry { for (;;) {} } catch (e) {}\nfor (;;) {}", 100ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, "the script was stopped after running longer than 100 ms");
    EXPECT_FALSE(H().undo().IsOpen());
    EXPECT_EQ(H().undo().GroupCount(), 1u);
}

} // namespace
} // namespace strandel::host
