// The Generate Path command's conversation with the host: the preset context read from the host
// and the parameters, the script run through the host's executor, and messages to the user.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "AE_Effect.h"
#include "frame/SuiteCache.h"
#include "presets/PathPreset.h"

namespace strandel {

inline constexpr std::string_view kScriptingUnavailable = "スクリプト実行が利用できません。";

// Fills the context, or gives the message that refuses it.
std::optional<std::string_view> BuildPresetContext(const PF_InData* in_data, PF_ParamDef* const* params,
                                                   SuiteCache& suites, PathPresetContext& context);

struct PresetScriptRun {
    bool executorFailed = false;
    std::string result;
    std::string error;
};
PresetScriptRun ExecutePresetScript(SuiteCache& suites, const std::string& script);

// Shown by the host; when it cannot, left in the out-data message for the host to show.
void ReportPresetMessage(const PF_InData* in_data, PF_OutData* out_data, SuiteCache& suites,
                         std::string_view utf8Message);

} // namespace strandel
