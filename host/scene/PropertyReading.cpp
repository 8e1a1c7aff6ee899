#include "host/scene/PropertyReading.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace strandel::host {
namespace {

constexpr const char* kInterpolationNames[] = {"linear", "bezier", "hold"};

std::optional<std::pair<Vec3, int>> ReadValue(JsonReader& reader, const Json* v, const std::string& path,
                                              const PropertyRule& rule, Presence presence)
{
    if (rule.maxCount > 1) return reader.Vector(v, path, rule.minCount, rule.maxCount, rule.fill, presence);
    const auto x = rule.range ? reader.NumberIn(v, path, rule.low, rule.high, rule.range, presence)
                              : reader.Number(v, path, presence);
    if (!x) return std::nullopt;
    return std::pair{Vec3{*x, 0, 0}, 1};
}

std::optional<Interpolation> ReadInterpolation(JsonReader& reader, const Json* v, const std::string& path)
{
    const auto name = reader.Choice(v, path, {"linear", "bezier", "hold"});
    if (!name) return std::nullopt;
    for (int i = 0; i < 3; ++i)
        if (*name == kInterpolationNames[i]) return static_cast<Interpolation>(i);
    return std::nullopt;
}

// Tangents share the value's component count and default to zero.
std::optional<Vec3> ReadTangent(JsonReader& reader, const Json* v, const std::string& path, const PropertyRule& rule)
{
    const auto tangent = reader.Vector(v, path, rule.minCount, rule.maxCount, {});
    if (!tangent) return std::nullopt;
    return tangent->first;
}

std::optional<Keyframe> ReadKey(JsonReader& reader, const Json& v, const std::string& path, const PropertyRule& rule,
                                int& dimensions)
{
    if (!reader.IsObject(&v, path, Presence::Required)) return std::nullopt;
    Keyframe key;
    const std::size_t errorsBefore = reader.Report().ErrorCount();
    if (const auto t = reader.Number(Find(v, "time"), Member(path, "time"), Presence::Required)) key.time = *t;
    if (const auto value = ReadValue(reader, Find(v, "value"), Member(path, "value"), rule, Presence::Required)) {
        key.value = value->first;
        dimensions = std::max(dimensions, value->second);
    }
    for (auto [name, target] : {std::pair{"inTangent", &key.inTangent}, std::pair{"outTangent", &key.outTangent}}) {
        const Json* t = Find(v, name);
        if (t && !rule.spatial) reader.Report().Error(Member(path, name), "spatial tangents apply to position only");
        if (t && rule.spatial)
            if (const auto tangent = ReadTangent(reader, t, Member(path, name), rule)) *target = *tangent;
    }
    if (const auto in = ReadInterpolation(reader, Find(v, "inInterpolation"), Member(path, "inInterpolation")))
        key.inInterpolation = *in;
    if (const auto out = ReadInterpolation(reader, Find(v, "outInterpolation"), Member(path, "outInterpolation")))
        key.outInterpolation = *out;
    key.extra =
        reader.Unknown(v, path, {"time", "value", "inTangent", "outTangent", "inInterpolation", "outInterpolation"});
    if (reader.Report().ErrorCount() != errorsBefore) return std::nullopt;
    return key;
}

void ReadKeys(JsonReader& reader, const Json& keys, const std::string& path, const PropertyRule& rule,
              AnimatedProperty& property)
{
    if (!reader.IsArray(&keys, path, Presence::Required)) return;
    if (keys.empty()) reader.Report().Expected(path, "at least one keyframe", &keys);
    int dimensions = 0;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (const auto key = ReadKey(reader, keys[i], Element(path, i), rule, dimensions))
            property.keys.push_back(*key);
    CheckKeyTimes(reader, keys, path);
    property.dimensions = dimensions;
    if (!property.keys.empty()) property.value = property.keys.front().value;
}

} // namespace

void CheckKeyTimes(JsonReader& reader, const Json& keys, const std::string& path)
{
    double previous = -HUGE_VAL; // none: the previous key had no usable time
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const Json* t = Find(keys[i], "time");
        const double time = t && t->is_number() ? t->get<double>() : NAN;
        if (!std::isfinite(time)) {
            previous = -HUGE_VAL;
            continue;
        }
        if (!(time > previous))
            reader.Report().Expected(Member(Element(path, i), "time"),
                                     "a time after the previous key's (" + FormatNumber(previous) + " s)", t);
        previous = time;
    }
}

std::optional<AnimatedProperty> ReadProperty(JsonReader& reader, const Json& v, const std::string& path,
                                             const PropertyRule& rule)
{
    AnimatedProperty property;
    property.spatial = rule.spatial;
    property.specified = true;
    const std::size_t errorsBefore = reader.Report().ErrorCount();
    if (!v.is_object()) {
        if (const auto value = ReadValue(reader, &v, path, rule, Presence::Required)) {
            property.value = value->first;
            property.dimensions = value->second;
        }
    } else {
        const Json* value = Find(v, "value");
        const Json* keys = Find(v, "keys");
        if ((value != nullptr) == (keys != nullptr))
            reader.Report().Error(path, "expected either \"value\" or \"keys\"");
        if (value)
            if (const auto read = ReadValue(reader, value, Member(path, "value"), rule, Presence::Required)) {
                property.value = read->first;
                property.dimensions = read->second;
            }
        if (keys) ReadKeys(reader, *keys, Member(path, "keys"), rule, property);
        for (auto [flag, target] :
             {std::pair{"expression", &property.expression}, std::pair{"separated", &property.separated}}) {
            const Json* f = Find(v, flag);
            if (f && !rule.spatial) reader.Report().Error(Member(path, flag), "applies to position only");
            if (f && rule.spatial)
                if (const auto on = reader.Bool(f, Member(path, flag))) *target = *on;
        }
        property.extra = reader.Unknown(v, path, {"value", "keys", "expression", "separated"});
    }
    if (reader.Report().ErrorCount() != errorsBefore) return std::nullopt;
    return property;
}

} // namespace strandel::host
