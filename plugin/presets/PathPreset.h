// The Generate Path command's values and text: the preset context, the script that carries it
// into the host's script engine, its validation and the message its outcome gives the user.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace strandel {

enum class PathPresetKind : uint32_t { Helix = 1, TornadoHelix = 2, Wave = 3, FigureEight = 4 };

struct PathPresetContext {
    int32_t compId = 0;
    int32_t layerId = 0;
    int32_t layerIndexFallback = 0;
    uint32_t preset = 1;
    double size = 0;
    double endRadius = 0;
    double depth = 0;
    int32_t turns = 1;
    double keyInterval = 0;
    int32_t direction = 1;
    double waveLengthZ = 0;
    int32_t waveCycles = 1;
    double waveYAmplitude = 0;
    double waveYPhase = 0;
    bool replaceExistingKeys = false;
    double startTime = 0;
};

// Slider values as the context takes them: counts below 1 are raised to 1, "Reverse" (2) turns
// the other way.
int32_t AtLeastOne(int32_t count);
int32_t DirectionFromPopup(int32_t popupValue);

// The first refusal of a context whose fields are all read, or none.
std::optional<std::string_view> ValidatePresetFields(const PathPresetContext& context);

// 15 significant digits in the classic locale.
std::string FormatScriptNumber(double value);
// A script string literal's body: quote, backslash, tab, CR and LF escaped, other bytes outside
// printable ASCII as \xHH.
std::string EscapeScriptString(std::string_view bytes);
std::string_view PresetName(uint32_t preset);
std::string BuildContextBlock(const PathPresetContext& context, std::string_view presetName);
// Context block, common script, the preset's script and the trailer that makes the result the
// script's completion value.
std::string BuildPathPresetScript(const PathPresetContext& context);

// What the user is told after a run; none when the script answered "OK".
std::optional<std::string> PresetOutcomeMessage(bool executorFailed, const std::string& result,
                                                const std::string& error);
// The report as the host shows it: the product prefix, in UTF-16 (bytes widened one by one when
// the text is not valid UTF-8). Ends with a 0 unit.
std::u16string PresetReportText(std::string_view utf8Message);
std::string PresetReportPrefix();

} // namespace strandel
