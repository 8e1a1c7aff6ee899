#include "host/SceneParams.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "host/CurveRecord.h"
#include "host/HostError.h"

namespace strandel::host {
namespace {

using nlohmann::json;

std::vector<std::string> Choices(const PF_ParamDef& d)
{
    std::vector<std::string> out;
    std::istringstream s(d.u.pd.u.namesptr ? d.u.pd.u.namesptr : "");
    for (std::string c; std::getline(s, c, '|');) out.push_back(c);
    return out;
}

[[noreturn]] void Expected(const std::string& what, const json& got)
{
    throw HostError("expected " + what + ", got " + got.dump());
}

double Number(const json& v, const char* what)
{
    if (!v.is_number()) Expected(what, v);
    return v.get<double>();
}

ParamValue ConvertValue(EffectInstance& inst, int index, const json& v, const LayerIdByName& layers)
{
    const PF_ParamDef& d = inst.param(index).def;
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER:
    case PF_Param_SLIDER:
    case PF_Param_ANGLE: return Number(v, "a number");
    case PF_Param_CHECKBOX:
        if (!v.is_boolean()) Expected("true or false", v);
        return v.get<bool>() ? 1.0 : 0.0;
    case PF_Param_POPUP: {
        if (v.is_number_integer()) return v.get<double>();
        auto choices = Choices(d);
        if (v.is_string())
            for (std::size_t i = 0; i < choices.size(); ++i)
                if (choices[i] == v.get<std::string>()) return double(i + 1);
        std::string list;
        for (const auto& c : choices) list += (list.empty() ? "\"" : ", \"") + c + "\"";
        Expected("one of " + list + " or its number", v);
    }
    case PF_Param_POINT_3D:
        if (!v.is_array() || v.size() < 2 || v.size() > 3) Expected("[x, y, z]", v);
        return Vec3{Number(v[0], "[x, y, z]"), Number(v[1], "[x, y, z]"),
                    v.size() == 3 ? Number(v[2], "[x, y, z]") : 0};
    case PF_Param_LAYER: {
        if (v.is_null() || v == "None") return A_long{0};
        if (!v.is_string()) Expected("a layer name", v);
        auto id = layers(v.get<std::string>());
        if (!id) throw HostError("no layer named \"" + v.get<std::string>() + "\" in this comp");
        return *id;
    }
    case PF_Param_ARBITRARY_DATA: {
        if (!v.is_array()) Expected("a list of curve points [x, y, inDx, inDy, outDx, outDy]", v);
        std::vector<CurvePointValues> points;
        for (const json& p : v) {
            if (!p.is_array() || p.size() != 6) Expected("a curve point [x, y, inDx, inDy, outDx, outDy]", p);
            CurvePointValues pv;
            for (int k = 0; k < 6; ++k) pv[k] = Number(p[k], "a curve point of six numbers");
            points.push_back(pv);
        }
        return inst.ArbUnflatten(index, EncodeCurveRecord(points, true));
    }
    default: throw HostError("\"" + inst.PathOf(index) + "\" holds no value a scene can set");
    }
}

// A curve editor row stands for the hidden curve record the plug-in registers under its name:
// "__<Group> <Row> Data" where two groups share a row name, else "__<Row> Data" (panel names hold
// 31 characters).
std::optional<int> CurveDataIndexForRow(EffectInstance& inst, int rowIndex)
{
    const ParamInfo& row = inst.param(rowIndex);
    if (!(row.def.ui_flags & PF_PUI_CONTROL)) return std::nullopt;
    auto registered = [&](std::string dataName) -> std::optional<int> {
        dataName = dataName.substr(0, sizeof(PF_ParamDef::name) - 1);
        for (int i = 0; i < inst.paramCount(); ++i)
            if (inst.param(i).def.param_type == PF_Param_ARBITRARY_DATA && inst.param(i).def.name == dataName) return i;
        return std::nullopt;
    };
    const std::string rowName = row.def.name;
    if (auto data = registered("__" + row.group + " " + rowName + " Data")) return data;
    return registered("__" + rowName + " Data");
}

// The editor row that stands for a hidden curve parameter, by its Group/Name.
std::optional<std::string> CurveRowFor(EffectInstance& inst, int dataIndex)
{
    for (int row = 1; row < inst.paramCount(); ++row)
        if (CurveDataIndexForRow(inst, row) == dataIndex) return inst.PathOf(row);
    return std::nullopt;
}

} // namespace

int SceneParamIndex(EffectInstance& inst, const std::string& name)
{
    const int index = inst.Resolve(name);
    return CurveDataIndexForRow(inst, index).value_or(index);
}

void StoreSceneParams(EffectInstance& inst, Effect& sceneEffect, const std::set<int>& indices,
                      const LayerNameById& layers)
{
    for (int index : indices) {
        json value = SceneParamValue(inst, index, layers);
        auto named = std::find_if(sceneEffect.params.begin(), sceneEffect.params.end(), [&](const EffectParam& p) {
            try {
                return SceneParamIndex(inst, p.name) == index;
            } catch (const HostError&) {
                return false; // a name the scene check already reported
            }
        });
        if (named != sceneEffect.params.end()) {
            named->value = std::move(value);
            continue;
        }
        const std::string name = CurveRowFor(inst, index).value_or(inst.PathOf(index));
        sceneEffect.params.push_back({name, std::move(value), sceneEffect.jsonPath + ".params." + name});
    }
}

void ApplySceneParam(EffectInstance& inst, const std::string& name, const json& value, const LayerIdByName& layers,
                     std::vector<std::string>& warnings)
{
    int index = SceneParamIndex(inst, name);
    if (!value.is_object()) {
        inst.SetValue(index, ConvertValue(inst, index, value, layers), &warnings);
        return;
    }
    if (!value.contains("keys") || !value["keys"].is_array() || value["keys"].empty())
        Expected("a value or {\"keys\": [{\"time\": seconds, \"value\": v}, ...]}", value);
    std::vector<ParamKey> keys;
    try {
        for (const json& k : value["keys"]) {
            if (!k.is_object() || !k.contains("time") || !k.contains("value"))
                Expected("a key {\"time\": seconds, \"value\": v}", k);
            keys.push_back({Number(k["time"], "a time in seconds"), ConvertValue(inst, index, k["value"], layers)});
        }
    } catch (...) {
        for (const ParamKey& k : keys)
            if (auto h = std::get_if<PF_Handle>(&k.value)) inst.ArbDispose(index, *h);
        throw;
    }
    inst.SetKeys(index, std::move(keys), &warnings);
}

json SceneParamValue(EffectInstance& inst, int index, const LayerNameById& layers)
{
    const PF_ParamDef& d = inst.param(index).def;
    auto one = [&](const ParamValue& v) -> json {
        if (auto n = std::get_if<double>(&v)) {
            if (d.param_type == PF_Param_CHECKBOX) return *n != 0;
            if (d.param_type == PF_Param_POPUP) {
                auto choices = Choices(d);
                auto i = static_cast<std::size_t>(*n);
                return i >= 1 && i <= choices.size() ? json(choices[i - 1]) : json(*n);
            }
            return *n;
        }
        if (auto p = std::get_if<Vec3>(&v)) return json::array({p->x, p->y, p->z});
        if (auto id = std::get_if<A_long>(&v)) {
            auto name = *id ? layers(*id) : std::nullopt;
            return name ? json(*name) : json(nullptr);
        }
        auto decoded = DecodeCurveRecord(inst.ArbFlatten(index, std::get<PF_Handle>(v)));
        if (!decoded) return nullptr;
        json points = json::array();
        for (const auto& p : decoded->points) points.push_back(json(p));
        return points;
    };
    const auto& keys = inst.track(index).keys;
    if (keys.size() == 1) return one(keys[0].value);
    json out = json::array();
    for (const ParamKey& k : keys) out.push_back({{"time", k.time}, {"value", one(k.value)}});
    return {{"keys", out}};
}

} // namespace strandel::host
