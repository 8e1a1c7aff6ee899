#include "host/scene/JsonReading.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>

namespace strandel::host {
namespace {

constexpr std::size_t kShownValueLength = 40;

bool IsIdentifier(std::string_view key)
{
    if (key.empty() || std::isdigit(static_cast<unsigned char>(key[0]))) return false;
    return std::all_of(key.begin(), key.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

std::string Show(const Json& v)
{
    if (v.is_number_float() && !std::isfinite(v.get<double>())) return "a non-finite number";
    std::string text = v.dump();
    if (text.size() > kShownValueLength) text = text.substr(0, kShownValueLength - 3) + "...";
    return text;
}

std::string JoinChoices(std::initializer_list<const char*> choices)
{
    std::string text;
    for (const char* c : choices) text += (text.empty() ? "" : ", ") + std::string("\"") + c + "\"";
    return text;
}

std::string ComponentCount(int minCount, int maxCount)
{
    if (minCount == maxCount) return std::to_string(minCount);
    return std::to_string(minCount) + (maxCount == minCount + 1 ? " or " : " to ") + std::to_string(maxCount);
}

} // namespace

std::string FormatNumber(double v)
{
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), v);
    return {text, result.ptr};
}

std::string Member(const std::string& path, std::string_view key)
{
    if (!IsIdentifier(key)) return path + "[" + Json(std::string(key)).dump() + "]";
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string Element(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

void Diagnostics::Error(const std::string& path, const std::string& message)
{
    errors_.push_back(file_.string() + ": " + (path.empty() ? "" : path + ": ") + message);
}

void Diagnostics::Warning(const std::string& path, const std::string& message)
{
    warnings_.push_back(file_.string() + ": " + (path.empty() ? "" : path + ": ") + message);
}

void Diagnostics::Expected(const std::string& path, const std::string& what, const Json* found)
{
    Error(path, found ? "expected " + what + ", found " + Show(*found) : "missing; expected " + what);
}

const Json* Find(const Json& object, std::string_view key)
{
    if (!object.is_object()) return nullptr;
    const auto it = object.find(std::string(key));
    return it == object.end() ? nullptr : &*it;
}

bool JsonReader::IsObject(const Json* v, const std::string& path, Presence presence)
{
    if (v ? v->is_object() : presence == Presence::Optional) return v != nullptr;
    d_.Expected(path, "an object", v);
    return false;
}

bool JsonReader::IsArray(const Json* v, const std::string& path, Presence presence)
{
    if (v ? v->is_array() : presence == Presence::Optional) return v != nullptr;
    d_.Expected(path, "an array", v);
    return false;
}

std::optional<double> JsonReader::Number(const Json* v, const std::string& path, Presence presence)
{
    return NumberIn(v, path, -HUGE_VAL, HUGE_VAL, "a finite number", presence);
}

std::optional<double> JsonReader::NumberIn(const Json* v, const std::string& path, double low, double high,
                                           const std::string& what, Presence presence)
{
    if (!v) {
        if (presence == Presence::Required) d_.Expected(path, what, nullptr);
        return std::nullopt;
    }
    if (v->is_number()) {
        const double x = v->get<double>();
        if (std::isfinite(x) && x >= low && x <= high) return x;
    }
    d_.Expected(path, what, v);
    return std::nullopt;
}

std::optional<int> JsonReader::Integer(const Json* v, const std::string& path, int low, int high, Presence presence)
{
    const std::string what = "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    if (v && v->is_number() && v->get<double>() != std::floor(v->get<double>())) {
        d_.Expected(path, what, v);
        return std::nullopt;
    }
    const auto x = NumberIn(v, path, low, high, what, presence);
    if (!x) return std::nullopt;
    return static_cast<int>(*x);
}

std::optional<bool> JsonReader::Bool(const Json* v, const std::string& path, Presence presence)
{
    if (v && v->is_boolean()) return v->get<bool>();
    if (v || presence == Presence::Required) d_.Expected(path, "true or false", v);
    return std::nullopt;
}

std::optional<std::string> JsonReader::String(const Json* v, const std::string& path, Presence presence)
{
    if (v && v->is_string() && !v->get_ref<const std::string&>().empty()) return v->get<std::string>();
    if (v || presence == Presence::Required) d_.Expected(path, "a non-empty string", v);
    return std::nullopt;
}

std::optional<std::string> JsonReader::Choice(const Json* v, const std::string& path,
                                              std::initializer_list<const char*> choices, Presence presence)
{
    if (v && v->is_string())
        for (const char* c : choices)
            if (v->get_ref<const std::string&>() == c) return std::string(c);
    if (v || presence == Presence::Required) d_.Expected(path, "one of " + JoinChoices(choices), v);
    return std::nullopt;
}

std::optional<std::pair<Vec3, int>> JsonReader::Vector(const Json* v, const std::string& path, int minCount,
                                                       int maxCount, const Vec3& fill, Presence presence)
{
    if (!v) {
        if (presence == Presence::Required)
            d_.Expected(path, "an array of " + ComponentCount(minCount, maxCount) + " numbers", nullptr);
        return std::nullopt;
    }
    const int count = v->is_array() ? static_cast<int>(v->size()) : -1;
    if (count < minCount || count > maxCount) {
        d_.Expected(path, "an array of " + ComponentCount(minCount, maxCount) + " numbers", v);
        return std::nullopt;
    }
    double c[3] = {fill.x, fill.y, fill.z};
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const auto x = Number(&(*v)[static_cast<std::size_t>(i)], Element(path, static_cast<std::size_t>(i)));
        ok = ok && x.has_value();
        if (x) c[i] = *x;
    }
    if (!ok) return std::nullopt;
    return std::pair{Vec3{c[0], c[1], c[2]}, count};
}

bool JsonReader::AllFinite(const Json& v, const std::string& path)
{
    if (v.is_number()) return Number(&v, path).has_value();
    bool ok = true;
    if (v.is_array())
        for (std::size_t i = 0; i < v.size(); ++i) ok = AllFinite(v[i], Element(path, i)) && ok;
    if (v.is_object())
        for (const auto& [key, member] : v.items()) ok = AllFinite(member, Member(path, key)) && ok;
    return ok;
}

Json JsonReader::Unknown(const Json& object, const std::string& path, std::initializer_list<std::string_view> known)
{
    Json extra = Json::object();
    for (const auto& [key, member] : object.items()) {
        if (std::find(known.begin(), known.end(), key) != known.end()) continue;
        d_.Warning(Member(path, key), "unknown field, kept as it is");
        AllFinite(member, Member(path, key));
        extra[key] = member;
    }
    return extra;
}

} // namespace strandel::host
