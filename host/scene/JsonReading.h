// Checked reading of scene JSON values. Each reader records a problem (JSON path and what was
// expected) instead of stopping, so one pass reports everything wrong with a scene.
#pragma once
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/project/Json.h"
#include "path/Vec3.h"

namespace strandel::host {

// JSON paths as `comps[0].layers[3].transform.position`; names that are not identifiers
// are quoted: `params["Ramp/Scale"]`.
std::string Member(const std::string& path, std::string_view key);
std::string Element(const std::string& path, std::size_t index);

// The shortest text that reads back as `v`: 2 rather than 2.0.
std::string FormatNumber(double v);

class Diagnostics {
public:
    explicit Diagnostics(std::filesystem::path file) : file_(std::move(file)) {}

    void Error(const std::string& path, const std::string& message);
    void Warning(const std::string& path, const std::string& message);
    // "expected <what>, found <value>", or "missing; expected <what>" when `found` is null.
    void Expected(const std::string& path, const std::string& what, const Json* found);

    const std::vector<std::string>& Errors() const { return errors_; }
    const std::vector<std::string>& Warnings() const { return warnings_; }
    std::size_t ErrorCount() const { return errors_.size(); }

private:
    std::filesystem::path file_;
    std::vector<std::string> errors_;
    std::vector<std::string> warnings_;
};

enum class Presence { Optional, Required };

// The member of an object, or null when absent (or when `object` is not an object).
const Json* Find(const Json& object, std::string_view key);

// Each reader takes the value (null when absent) and its path; an absent optional value is
// no problem and gives none.
class JsonReader {
public:
    explicit JsonReader(Diagnostics& diagnostics) : d_(diagnostics) {}
    Diagnostics& Report() { return d_; }

    bool IsObject(const Json* v, const std::string& path, Presence presence = Presence::Optional);
    bool IsArray(const Json* v, const std::string& path, Presence presence = Presence::Optional);
    std::optional<double> Number(const Json* v, const std::string& path, Presence presence = Presence::Optional);
    // Finite and in [low, high]; `what` describes the range for the message.
    std::optional<double> NumberIn(const Json* v, const std::string& path, double low, double high,
                                   const std::string& what, Presence presence = Presence::Optional);
    std::optional<int> Integer(const Json* v, const std::string& path, int low, int high,
                               Presence presence = Presence::Optional);
    std::optional<bool> Bool(const Json* v, const std::string& path, Presence presence = Presence::Optional);
    std::optional<std::string> String(const Json* v, const std::string& path, Presence presence = Presence::Optional);
    // A string that must be one of `choices`.
    std::optional<std::string> Choice(const Json* v, const std::string& path,
                                      std::initializer_list<const char*> choices,
                                      Presence presence = Presence::Optional);
    // An array of minCount..maxCount finite numbers; missing trailing components take `fill`.
    // Gives the vector and how many components the scene wrote.
    std::optional<std::pair<Vec3, int>> Vector(const Json* v, const std::string& path, int minCount, int maxCount,
                                               const Vec3& fill, Presence presence = Presence::Optional);
    // Reports every non-finite number anywhere inside `v`.
    bool AllFinite(const Json& v, const std::string& path);

    // The members of `object` not named in `known`, kept for writing back, each with a warning.
    Json Unknown(const Json& object, const std::string& path, std::initializer_list<std::string_view> known);

private:
    Diagnostics& d_;
};

} // namespace strandel::host
