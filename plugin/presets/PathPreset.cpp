#include "presets/PathPreset.h"

#include <cstdio>
#include <locale>
#include <sstream>

#include "presets/PresetScripts.h"

namespace strandel {
namespace {

constexpr std::string_view kErrorPrefix = "ERROR:";
constexpr std::string_view kScriptErrorLine = "JSX実行エラー\n";

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

// Strict UTF-8: empty on any malformed, overlong or surrogate sequence.
std::u16string DecodeUtf8(std::string_view s)
{
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const int extra = lead < 0x80           ? 0
                          : (lead >> 5) == 0x6  ? 1
                          : (lead >> 4) == 0xE  ? 2
                          : (lead >> 3) == 0x1E ? 3
                                                : -1;
        if (extra < 0) return {};
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size()) return {};
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return {};
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
        AppendUtf16(out, c);
        i += extra + 1;
    }
    return out;
}

} // namespace

int32_t AtLeastOne(int32_t count) { return count < 1 ? 1 : count; }
int32_t DirectionFromPopup(int32_t popupValue) { return popupValue == 2 ? -1 : 1; }

std::optional<std::string_view> ValidatePresetFields(const PathPresetContext& context)
{
    if (context.preset < 1 || context.preset > 4) return "未対応のPath Presetです。";
    if (!(context.keyInterval > 0)) return "Key Intervalには0より大きい値を指定してください。";
    return std::nullopt;
}

std::string FormatScriptNumber(double value)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.precision(15);
    s << value;
    return s.str();
}

std::string EscapeScriptString(std::string_view bytes)
{
    std::string out;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        switch (b) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            if (b < 0x20 || b > 0x7E) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", b);
                out += hex;
            } else {
                out += ch;
            }
        }
    }
    return out;
}

std::string_view PresetName(uint32_t preset)
{
    switch (static_cast<PathPresetKind>(preset)) {
    case PathPresetKind::TornadoHelix: return "Tornado Helix";
    case PathPresetKind::Wave: return "Wave";
    case PathPresetKind::FigureEight: return "Figure Eight";
    default: return "Helix";
    }
}

std::string BuildContextBlock(const PathPresetContext& c, std::string_view presetName)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    auto field = [&s](const char* name, const std::string& value) { s << "  " << name << ": " << value << ",\n"; };
    auto integer = [](int64_t v) { return std::to_string(v); };
    s << "var StxPathPresetContext = {\n";
    field("compId", integer(c.compId));
    field("layerId", integer(c.layerId));
    field("layerIndexFallback", integer(c.layerIndexFallback));
    field("preset", "\"" + EscapeScriptString(presetName) + "\"");
    field("size", FormatScriptNumber(c.size));
    field("endRadius", FormatScriptNumber(c.endRadius));
    field("depth", FormatScriptNumber(c.depth));
    field("turns", integer(c.turns));
    field("keyInterval", FormatScriptNumber(c.keyInterval));
    field("direction", integer(c.direction));
    field("waveLengthZ", FormatScriptNumber(c.waveLengthZ));
    field("waveCycles", integer(c.waveCycles));
    field("waveYAmplitude", FormatScriptNumber(c.waveYAmplitude));
    field("waveYPhase", FormatScriptNumber(c.waveYPhase));
    field("replaceExistingKeys", c.replaceExistingKeys ? "true" : "false");
    s << "  startTime: " << FormatScriptNumber(c.startTime) << "\n};\n";
    s << "var StxPathPresetResult = \"ERROR:JSX実行エラー: 結果が返されませんでした。\";\n";
    return s.str();
}

std::string BuildPathPresetScript(const PathPresetContext& context)
{
    const std::string_view common = CommonPresetScript();
    const std::string_view preset = PresetScript(context.preset);
    std::string script;
    script.reserve(common.size() + preset.size() + 1024);
    script += BuildContextBlock(context, PresetName(context.preset));
    script += common;
    script += '\n';
    script += preset;
    script += "\nStxPathPresetResult;\n";
    return script;
}

std::optional<std::string> PresetOutcomeMessage(bool executorFailed, const std::string& result,
                                                const std::string& error)
{
    const std::string scriptError(kScriptErrorLine);
    if (executorFailed) return scriptError + (error.empty() ? "AEGP_ExecuteScript failed." : error);
    if (!error.empty()) return scriptError + error;
    if (result.starts_with(kErrorPrefix)) return result.substr(kErrorPrefix.size());
    if (result == "OK") return std::nullopt;
    if (!result.empty()) return scriptError + result;
    return scriptError + "結果が返されませんでした。";
}

std::string PresetReportPrefix() { return "Strandel Generate Path\n\n"; }

std::u16string PresetReportText(std::string_view utf8Message)
{
    const std::string text = PresetReportPrefix() + std::string(utf8Message);
    std::u16string wide = DecodeUtf8(text);
    if (wide.empty()) {
        for (char ch : text) wide.push_back(static_cast<unsigned char>(ch));
    }
    wide.push_back(u'\0');
    return wide;
}

} // namespace strandel
