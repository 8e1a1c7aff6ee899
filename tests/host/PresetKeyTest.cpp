// The four key builders run in the script engine on their own, with the common script replaced
// by a stand-in that hands them a context and a start position and returns their keys.
#include <duktape.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "host/project/Json.h"
#include "presets/PresetScripts.h"

namespace strandel::host {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStart[3] = {100, 200, 300};
using Triple = std::array<double, 3>;

// The builder's keys as JSON, or the message it failed with.
struct Built {
    Json keys;
    std::string failure;
};

// The context holds every slider at a neutral value but for the given fields.
Built BuildKeys(uint32_t preset, const Json& fields)
{
    // clang-format off
    Json context = {{"size", 0}, {"endRadius", 0}, {"depth", 0}, {"turns", 1}, {"keyInterval", 1}, {"direction", 1},
                    {"waveLengthZ", 0}, {"waveCycles", 1}, {"waveYAmplitude", 0}, {"waveYPhase", 0}, {"startTime", 2}};
    // clang-format on
    context.update(fields);
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

// Every key's in tangent is its out tangent reversed; `values` and `outs` hold keys `first` on.
void ExpectKeys(const Built& b, std::size_t count, std::size_t first, const std::vector<Triple>& values,
                const std::vector<Triple>& outs)
{
    ASSERT_EQ(b.failure, "");
    ASSERT_EQ(b.keys.size(), count);
    for (std::size_t i = 0; i < count; ++i)
        for (int d = 0; d < 3; ++d) {
            const Json& k = b.keys[i];
            EXPECT_EQ(k["inTangent"][d].get<double>(), -k["outTangent"][d].get<double>()) << i;
            if (i >= first && i - first < values.size()) {
                EXPECT_NEAR(k["value"][d].get<double>(), values[i - first][d], 1e-9) << "value " << i;
            }
            if (i >= first && i - first < outs.size()) {
                EXPECT_NEAR(k["outTangent"][d].get<double>(), outs[i - first][d], 1e-9) << "out " << i;
            }
        }
}

TEST(PresetKeys, HelixWaveAndFigureEightKeysLieOnTheirCurves)
{
    const double z = 10.0 / 3, h = 100 * 4.0 / 3 * std::tan(kPi / 8), w = 2 * kPi / 12, f = 10 * 0.5522847498307936;
    // clang-format off
    const struct { uint32_t preset; Json fields; std::size_t count, first; std::vector<Triple> values, outs; } cases[] = {
        // Size 0: a line along z, its depth given per turn.
        {1, {{"depth", 40}, {"turns", 2}, {"keyInterval", 0.5}}, 9, 8, {{100, 200, 380}}, {{0, 0, z}}},
        {1, {{"size", 100}, {"depth", 40}}, 5, 1, {{0, 300, 310}, {-100, 200, 320}}, {{-h, 0, z}, {0, -h, z}}},
        {3, {{"size", 30}, {"waveYAmplitude", 20}, {"waveYPhase", 90}, {"waveLengthZ", 400}, {"waveCycles", 1}}, 5, 0,
         {{100, 200, 300}, {130, 180, 400}, {100, 160, 500}, {70, 180, 600}, {100, 200, 700}},
         {{30 * w, 0, 400.0 / 12}, {0, -20 * w, 400.0 / 12}}},
        // Two loops of radius 10 in the start's plane, whatever the turns and depth.
        {4, {{"size", 10}, {"turns", 7}, {"depth", 99}}, 9, 0,
         {{100, 200, 300}, {90, 190, 300}, {80, 200, 300}, {90, 210, 300}, {100, 200, 300}, {110, 190, 300},
          {120, 200, 300}, {110, 210, 300}, {100, 200, 300}},
         {{0, -f, 0}, {-f, 0, 0}, {0, f, 0}, {f, 0, 0}, {0, -f, 0}, {f, 0, 0}, {0, f, 0}, {-f, 0, 0}, {0, -f, 0}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields.dump());
        ExpectKeys(BuildKeys(c.preset, c.fields), c.count, c.first, c.values, c.outs);
    }
}

// The handles must follow the spiral itself: the out tangent is a third of the quarter-turn
// step times the derivative of the key positions, for both directions and any radii.
TEST(PresetKeys, TornadoTangentsFollowTheSpiralsDerivative)
{
    for (int direction : {1, -1})
        for (double endRadius : {40.0, 100.0, 250.0, 0.0}) {
            const double size = 100, depth = 50, turns = 2;
            const Built b = BuildKeys(2, {{"size", size},
                                          {"endRadius", endRadius},
                                          {"depth", depth},
                                          {"turns", turns},
                                          {"direction", direction}});
            ExpectKeys(b, 9, 0, {}, {});
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

TEST(PresetKeys, BuildersRefuseBadSliders)
{
    // clang-format off
    const struct { uint32_t preset; Json fields; const char* message; } cases[] = {
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
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(BuildKeys(c.preset, c.fields).failure, c.message) << c.fields;
}

} // namespace
} // namespace strandel::host
