// The host's script engine: runs a script against the project's object model, with a time limit.
#pragma once
#include <chrono>
#include <string>

namespace strandel::host {

class Host;

struct ScriptOutcome {
    bool ok = false; // the script ran to its end without an uncaught error
    std::string result; // its completion value as text
    std::string error; // the uncaught error, when not ok
};

// Any undo group the script leaves open is closed when it ends.
ScriptOutcome RunScript(Host& host, const std::string& script, std::chrono::milliseconds limit);

} // namespace strandel::host
