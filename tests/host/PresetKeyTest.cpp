// The four key builders run in the script engine on their own, with the common script replaced
// by a stand-in that hands them a context and a start position and returns their keys.
#include <duktape.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "host/project/Json.h"
#include "presets/PresetScripts.h"

namespace strandel::host {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStart[3] = {100, 200, 300};

// The builder's keys as JSON, or the message it failed with.
struct Built {
    Json keys;
    std::string failure;
};

Built BuildKeys(uint32_t preset, const Json& context)
{
    std::unique_ptr<duk_context, void (*)(duk_context*)> ctx(duk_create_heap_default(), duk_destroy_heap);
    const std::string stub =
        "var StxPathPresetContext = " + context.dump() +
        ";\nvar built;\n"
        "var StxPathPreset = {clone3: function (v) { return [v[0], v[1], v[2]]; },\n"
        "  fail: function (m) { throw {message: m}; },\n"
        "  run: function (build) { try { built = JSON.stringify(build(StxPathPresetContext, [100, 200, 300])); }\n"
        "    catch (e) { built = 'FAIL:' + e.message; } }};\n";
    const std::string script = stub + std::string(PresetScript(preset)) + "\nbuilt;\n";
    if (duk_peval_lstring(ctx.get(), script.data(), script.size()) != 0)
        return {Json(), std::string("engine: ") + duk_safe_to_string(ctx.get(), -1)};
    const std::string out = duk_safe_to_string(ctx.get(), -1);
    if (out.rfind("FAIL:", 0) == 0) return {Json(), out.substr(5)};
    return {Json::parse(out), ""};
}

Json Context(Json fields)
{
    Json c = {{"size", 0},           {"endRadius", 0},  {"depth", 0},       {"turns", 1},
              {"keyInterval", 1},    {"direction", 1},  {"waveLengthZ", 0}, {"waveCycles", 1},
              {"waveYAmplitude", 0}, {"waveYPhase", 0}, {"startTime", 2}};
    c.update(fields);
    return c;
}

void ExpectTriple(const Json& actual, double x, double y, double z, const std::string& what)
{
    EXPECT_NEAR(actual[0].get<double>(), x, 1e-9) << what;
    EXPECT_NEAR(actual[1].get<double>(), y, 1e-9) << what;
    EXPECT_NEAR(actual[2].get<double>(), z, 1e-9) << what;
}

void ExpectInIsMinusOut(const Json& keys)
{
    for (const Json& k : keys)
        for (int d = 0; d < 3; ++d) EXPECT_EQ(k["inTangent"][d].get<double>(), -k["outTangent"][d].get<double>());
}

TEST(PresetKeys, HelixRisesAlongZAndLiesOnTheCircleEveryQuarterTurn)
{
    const Built line = BuildKeys(1, Context({{"size", 0}, {"depth", 40}, {"turns", 2}, {"keyInterval", 0.5}}));
    ASSERT_EQ(line.failure, "");
    ASSERT_EQ(line.keys.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_DOUBLE_EQ(line.keys[i]["time"].get<double>(), 2 + 0.5 * i);
        ExpectTriple(line.keys[i]["value"], 100, 200, 300 + 10.0 * i, "value " + std::to_string(i));
        ExpectTriple(line.keys[i]["outTangent"], 0, 0, 10.0 / 3, "out " + std::to_string(i));
    }
    ExpectInIsMinusOut(line.keys);

    const Built b = BuildKeys(1, Context({{"size", 100}, {"depth", 40}}));
    ASSERT_EQ(b.keys.size(), 5u);
    const double handle = 100 * 4.0 / 3 * std::tan(kPi / 8);
    ExpectTriple(b.keys[1]["value"], 0, 300, 310, "key 1");
    ExpectTriple(b.keys[1]["outTangent"], -handle, 0, 10.0 / 3, "key 1 out");
    ExpectTriple(b.keys[2]["value"], -100, 200, 320, "key 2");
    ExpectTriple(b.keys[2]["outTangent"], 0, -handle, 10.0 / 3, "key 2 out");
}

// The handles must follow the spiral itself: the out tangent is a third of the quarter-turn
// step times the derivative of the key positions, for both directions and any radii.
TEST(PresetKeys, TornadoTangentsFollowTheSpiralsDerivative)
{
    for (int direction : {1, -1})
        for (double endRadius : {40.0, 100.0, 250.0, 0.0}) {
            const double size = 100, depth = 50, turns = 2;
            const Built b = BuildKeys(2, Context({{"size", size},
                                                  {"endRadius", endRadius},
                                                  {"depth", depth},
                                                  {"turns", turns},
                                                  {"direction", direction}}));
            ASSERT_EQ(b.failure, "");
            ASSERT_EQ(b.keys.size(), 9u);
            ExpectInIsMinusOut(b.keys);
            const double total = 2 * kPi * turns;
            auto position = [&](double phi, int d) {
                const double r = size + (endRadius - size) * phi / total, theta = direction * phi;
                const double v[3] = {kStart[0] - size + r * std::cos(theta), kStart[1] + r * std::sin(theta),
                                     kStart[2] + depth * turns * phi / total};
                return v[d];
            };
            for (std::size_t i = 0; i < b.keys.size(); ++i) {
                const double phi = total * i / 8.0, h = 1e-6;
                for (int d = 0; d < 3; ++d) {
                    const double derivative = (position(phi + h, d) - position(phi - h, d)) / (2 * h);
                    EXPECT_NEAR(b.keys[i]["outTangent"][d].get<double>(), derivative * (kPi / 2) / 3, 1e-6)
                        << "direction " << direction << " end " << endRadius << " key " << i << " axis " << d;
                    EXPECT_NEAR(b.keys[i]["value"][d].get<double>(), position(phi, d), 1e-9);
                }
            }
        }
}

TEST(PresetKeys, WaveWithPhaseNinetyStartsAtTheStartPosition)
{
    const Built b = BuildKeys(
        3,
        Context({{"size", 30}, {"waveYAmplitude", 20}, {"waveYPhase", 90}, {"waveLengthZ", 400}, {"waveCycles", 1}}));
    ASSERT_EQ(b.failure, "");
    ASSERT_EQ(b.keys.size(), 5u);
    const double values[5][3] = {{100, 200, 300}, {130, 180, 400}, {100, 160, 500}, {70, 180, 600}, {100, 200, 700}};
    for (int i = 0; i < 5; ++i)
        ExpectTriple(b.keys[i]["value"], values[i][0], values[i][1], values[i][2], "key " + std::to_string(i));
    ExpectTriple(b.keys[0]["outTangent"], 30 * 2 * kPi / 12, 0, 400.0 / 12, "key 0 out");
    ExpectTriple(b.keys[1]["outTangent"], 0, -20 * 2 * kPi / 12, 400.0 / 12, "key 1 out");
    ExpectInIsMinusOut(b.keys);
}

TEST(PresetKeys, FigureEightHasNineKeysOnTwoCircles)
{
    const Built b = BuildKeys(4, Context({{"size", 10}, {"turns", 7}, {"depth", 99}}));
    ASSERT_EQ(b.failure, "");
    ASSERT_EQ(b.keys.size(), 9u);
    const double h = 10 * 0.5522847498307936;
    const double values[9][2] = {{100, 200}, {90, 190},  {80, 200},  {90, 210}, {100, 200},
                                 {110, 190}, {120, 200}, {110, 210}, {100, 200}};
    const double in[9][2] = {{0, h}, {h, 0}, {0, -h}, {-h, 0}, {0, h}, {-h, 0}, {0, -h}, {h, 0}, {0, h}};
    for (std::size_t i = 0; i < 9; ++i) {
        ExpectTriple(b.keys[i]["value"], values[i][0], values[i][1], 300, "value " + std::to_string(i));
        ExpectTriple(b.keys[i]["inTangent"], in[i][0], in[i][1], 0, "in " + std::to_string(i));
        EXPECT_DOUBLE_EQ(b.keys[i]["time"].get<double>(), 2.0 + i);
    }
    ExpectInIsMinusOut(b.keys);
}

TEST(PresetKeys, BuildersRefuseBadSliders)
{
    const struct {
        uint32_t preset;
        Json fields;
        const char* message;
    } cases[] = {
        {1, {{"turns", 1.5}}, "Turnsには1以上の整数を指定してください。"},
        {1, {{"turns", 0}}, "Turnsには1以上の整数を指定してください。"},
        {1, {{"keyInterval", 0}}, "Key Intervalには0より大きい値を指定してください。"},
        {1, {{"size", -1}}, "Sizeには0以上の値を指定してください。"},
        {2, {{"turns", 0}, {"size", 0}}, "Turnsには1以上の整数を指定してください。"},
        {2, {{"size", 0}}, "Start Radiusには0より大きい値を指定してください。"},
        {2, {{"size", 1}, {"endRadius", -1}}, "End Radiusには0以上の値を指定してください。"},
        {3, {{"waveCycles", 0}}, "Cyclesには1以上の整数を指定してください。"},
        {3, {{"keyInterval", -1}}, "Key Intervalには0より大きい値を指定してください。"},
        {4, {{"size", 0}, {"keyInterval", 0}}, "Loop Radiusには0より大きい値を指定してください。"},
        {4, {{"size", 1}, {"keyInterval", 0}}, "Key Intervalには0より大きい値を指定してください。"},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildKeys(c.preset, Context(c.fields)).failure, c.message) << c.fields;
}

} // namespace
} // namespace strandel::host
