// AEGP Utility and Register suites: general-plug-in registration, hooks, the idle trigger,
// messages to the user and the script engine.
#include "AE_GeneralPlug.h"
#include "host/Host.h"
#include "host/script/ScriptEngine.h"
#include "host/suites/MemorySuites.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

A_Err RegisterWithAEGP(AEGP_GlobalRefcon, const A_char* name, AEGP_PluginID* id)
{
    if (!name || !id) return A_Err_PARAMETER;
    *id = Host::Current().RegisterPlugin(name);
    return A_Err_NONE;
}

// The plug-in asks from a thread of its own, which no host runs: every host wakes.
A_Err CauseIdleRoutinesToBeCalled()
{
    Host::ForEachCaller([](Host& host) { ++host.log().idleTriggers; });
    return A_Err_NONE;
}

A_Err RegisterIdleHook(AEGP_PluginID id, AEGP_IdleHook hook, AEGP_IdleRefcon refcon)
{
    if (id == 0 || !hook) return A_Err_PARAMETER;
    Host::Current().AddIdleHook({id, hook, refcon});
    return A_Err_NONE;
}

A_Err RegisterDeathHook(AEGP_PluginID id, AEGP_DeathHook hook, AEGP_DeathRefcon refcon)
{
    if (id == 0 || !hook) return A_Err_PARAMETER;
    Host::Current().AddDeathHook({id, hook, refcon});
    return A_Err_NONE;
}

A_Err IsScriptingAvailable(A_Boolean* available)
{
    if (!available) return A_Err_PARAMETER;
    *available = 1;
    return A_Err_NONE;
}

// A script said to be in the platform's encoding is read as Latin-1, a code page as a real system
// would use: UTF-8 text beyond ASCII arrives as other characters, as it would there.
std::string Utf8FromLatin1(const A_char* text)
{
    std::string out;
    for (auto p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p >= 0x80) out += static_cast<char>(0xC0 | (*p >> 6));
        out += static_cast<char>(*p >= 0x80 ? 0x80 | (*p & 0x3F) : *p);
    }
    return out;
}

// Both handles are always filled; a script that throws, or runs past the host's limit, fails the call.
A_Err ExecuteScript(AEGP_PluginID id, const A_char* script, A_Boolean platformEncoding, AEGP_MemHandle* result,
                    AEGP_MemHandle* error)
{
    if (id == 0 || !script || !result || !error) return A_Err_PARAMETER;
    Host& host = Host::Current();
    const std::string source = platformEncoding ? Utf8FromLatin1(script) : script;
    const ScriptOutcome outcome =
        host.stubbedScript ? *host.stubbedScript : RunScript(host, source, host.scriptTimeLimit);
    *result = NewTextMemHandle(outcome.result);
    *error = NewTextMemHandle(outcome.error);
    return outcome.ok ? A_Err_NONE : A_Err_GENERIC;
}

std::string Utf8FromUtf16(const A_UTF16Char* text)
{
    std::string out;
    for (const A_UTF16Char* p = text; *p; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++p - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

A_Err ReportInfoUnicode(AEGP_PluginID id, const A_UTF16Char* text)
{
    if (id == 0 || !text) return A_Err_PARAMETER;
    Host::Current().log().messages.push_back(Utf8FromUtf16(text));
    return A_Err_NONE;
}

// Registration is asked of version 7, the idle trigger of version 13: two structs, two layouts.
template <class Suite>
Suite UtilitySuite()
{
    auto suite = TableOfTraps<Suite>();
    suite.AEGP_RegisterWithAEGP = RegisterWithAEGP;
    suite.AEGP_CauseIdleRoutinesToBeCalled = CauseIdleRoutinesToBeCalled;
    return suite;
}
const AEGP_RegisterSuite5 kRegisterSuite = [] {
    auto suite = TableOfTraps<AEGP_RegisterSuite5>();
    suite.AEGP_RegisterIdleHook = RegisterIdleHook;
    suite.AEGP_RegisterDeathHook = RegisterDeathHook;
    return suite;
}();

} // namespace

void RegisterUtilitySuites(SuiteRegistry& registry)
{
    registry.Serve(UtilitySuite<AEGP_UtilitySuite3>());
    auto utility = UtilitySuite<AEGP_UtilitySuite6>();
    utility.AEGP_IsScriptingAvailable = IsScriptingAvailable;
    utility.AEGP_ExecuteScript = ExecuteScript;
    utility.AEGP_ReportInfoUnicode = ReportInfoUnicode;
    registry.Serve(utility);
    registry.Serve(kRegisterSuite);
}

} // namespace strandel::host
