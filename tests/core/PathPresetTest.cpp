#include <gtest/gtest.h>

#include <limits>

#include "presets/PathPreset.h"

namespace strandel {
namespace {

TEST(PathPresetText, NumbersUseFifteenDigitsInTheClassicLocale)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1000, "1000"},
        {0.1, "0.1"},
        {1e-20, "1e-20"},
        {-0.0, "-0"},
        {1.0 / 3, "0.333333333333333"},
        {123456789012345678.0, "1.23456789012346e+17"},
        {-2.5, "-2.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatScriptNumber(c.value), c.text) << c.value;
}

TEST(PathPresetText, StringLiteralBodiesEscapeByteByByte)
{
    const struct {
        std::string in;
        const char* out;
    } cases[] = {
        {"Figure Eight", "Figure Eight"}, {"a\"b\\c", "a\\\"b\\\\c"},
        {"\t\n\r", "\\t\\n\\r"},          {std::string("\x01\x1f\x7f", 3), "\\x01\\x1F\\x7F"},
        {std::string("\0", 1), "\\x00"},  {"\xE6\x97\xA5", "\\xE6\\x97\\xA5"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeScriptString(c.in), c.out);
}

TEST(PathPresetValidation, PresetIsCheckedBeforeKeyInterval)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        uint32_t preset;
        double keyInterval;
        const char* message; /* null: accepted */
    } cases[] = {
        {0, 0, "未対応のPath Presetです。"},
        {5, 1, "未対応のPath Presetです。"},
        {1, 0, "Key Intervalには0より大きい値を指定してください。"},
        {4, -1, "Key Intervalには0より大きい値を指定してください。"},
        {3, nan, "Key Intervalには0より大きい値を指定してください。"},
        {2, 1e-9, nullptr},
    };
    for (const auto& c : cases) {
        PathPresetContext context;
        context.preset = c.preset;
        context.keyInterval = c.keyInterval;
        EXPECT_EQ(ValidatePresetFields(context).value_or("accepted"), c.message ? c.message : "accepted")
            << c.preset << " " << c.keyInterval;
    }
}

TEST(PathPresetOutcome, EachBranchOfTheOutcome)
{
    const struct {
        bool executorFailed;
        const char *result, *error, *message; /* null: nothing shown */
    } cases[] = {
        {true, "OK", "", "JSX実行エラー\nAEGP_ExecuteScript failed."},
        {true, "OK", "boom", "JSX実行エラー\nboom"},
        {false, "OK", "boom", "JSX実行エラー\nboom"},
        {false, "ERROR:Path Layerが未指定です。", "", "Path Layerが未指定です。"},
        {false, "ERROR:", "", ""},
        {false, "OK", "", nullptr},
        {false, "OK ", "", "JSX実行エラー\nOK "},
        {false, "", "", "JSX実行エラー\n結果が返されませんでした。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PresetOutcomeMessage(c.executorFailed, c.result, c.error).value_or("(nothing)"),
                  c.message ? c.message : "(nothing)")
            << c.result;
    }
}

TEST(PathPresetOutcome, ReportTextIsUtf16WithTheProductPrefix)
{
    const std::u16string jp = PresetReportText("Path Layerが未指定です。");
    EXPECT_EQ(jp, std::u16string(u"Strandel Generate Path\n\nPath Layerが未指定です。") + u'\0');
    // A character beyond the basic plane becomes a surrogate pair.
    EXPECT_EQ(PresetReportText("\xF0\x9F\x98\x80"), std::u16string(u"Strandel Generate Path\n\n\U0001F600") + u'\0');
    // Bytes that are not UTF-8 are widened one by one.
    for (const std::string bad : {"\xE6\x97", "\xC0\xAF", "\xED\xA0\x80", "\xFF"}) {
        const std::string text = PresetReportPrefix() + bad;
        std::u16string widened(text.begin(), text.end());
        for (std::size_t i = 0; i < text.size(); ++i) widened[i] = static_cast<unsigned char>(text[i]);
        EXPECT_EQ(PresetReportText(bad), widened + u'\0');
    }
}

} // namespace
} // namespace strandel
