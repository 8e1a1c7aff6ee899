#include "host/scene/SceneWriter.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

#include "host/io/AtomicWrite.h"

namespace strandel::host {
namespace {

constexpr const char* kInterpolationNames[] = {"linear", "bezier", "hold"};
constexpr std::size_t kLineWidth = 100;

// Whole numbers are written without a fraction: 1280 rather than 1280.0.
Json NumberJson(double v)
{
    if (v == std::floor(v) && std::fabs(v) < 9e15) return static_cast<std::int64_t>(v);
    return v;
}

std::string OneLine(const Json& v)
{
    if (v.empty() || !v.is_structured()) return v.dump();
    std::string text;
    for (auto it = v.begin(); it != v.end(); ++it) {
        text += text.empty() ? "" : ", ";
        if (v.is_object()) text += Json(it.key()).dump() + ": ";
        text += OneLine(*it);
    }
    return v.is_object() ? "{" + text + "}" : "[" + text + "]";
}

// Containers that fit on a line stay on it; others get one member per line.
void Format(const Json& v, std::size_t indent, std::string& out)
{
    const std::string line = OneLine(v);
    if (!v.is_structured() || indent + line.size() <= kLineWidth) {
        out += line;
        return;
    }
    out += v.is_object() ? "{\n" : "[\n";
    for (auto it = v.begin(); it != v.end(); ++it) {
        out += std::string(indent + 2, ' ');
        if (v.is_object()) out += Json(it.key()).dump() + ": ";
        Format(*it, indent + 2, out);
        out += std::next(it) == v.end() ? "\n" : ",\n";
    }
    out += std::string(indent, ' ') + (v.is_object() ? "}" : "]");
}

void Merge(Json& out, const Json& extra)
{
    for (const auto& [key, value] : extra.items()) out[key] = value;
}

Json ValueJson(const Vec3& v, int dimensions)
{
    if (dimensions <= 1) return NumberJson(v.x);
    if (dimensions == 2) return Json::array({NumberJson(v.x), NumberJson(v.y)});
    return Json::array({NumberJson(v.x), NumberJson(v.y), NumberJson(v.z)});
}

Json KeyJson(const Keyframe& key, const AnimatedProperty& property)
{
    Json out = {{"time", NumberJson(key.time)}, {"value", ValueJson(key.value, property.dimensions)}};
    if (property.spatial && key.inTangent != Vec3{}) out["inTangent"] = ValueJson(key.inTangent, property.dimensions);
    if (property.spatial && key.outTangent != Vec3{})
        out["outTangent"] = ValueJson(key.outTangent, property.dimensions);
    if (key.inInterpolation != Interpolation::Linear)
        out["inInterpolation"] = kInterpolationNames[static_cast<int>(key.inInterpolation)];
    if (key.outInterpolation != Interpolation::Linear)
        out["outInterpolation"] = kInterpolationNames[static_cast<int>(key.outInterpolation)];
    Merge(out, key.extra);
    return out;
}

Json PropertyJson(const AnimatedProperty& property)
{
    if (property.keys.empty() && !property.expression && !property.separated && property.extra.empty())
        return ValueJson(property.value, property.dimensions);
    Json out = Json::object();
    if (property.keys.empty()) {
        out["value"] = ValueJson(property.value, property.dimensions);
    } else {
        Json& keys = out["keys"] = Json::array();
        for (const Keyframe& key : property.keys) keys.push_back(KeyJson(key, property));
    }
    if (property.expression) out["expression"] = true;
    if (property.separated) out["separated"] = true;
    Merge(out, property.extra);
    return out;
}

Json TransformJson(const LayerTransform& t)
{
    const std::pair<const char*, const AnimatedProperty*> properties[] = {
        {"anchorPoint", &t.anchorPoint},
        {"position", &t.position},
        {"scale", &t.scale},
        {"rotation", &t.rotation},
        {"xRotation", &t.xRotation},
        {"yRotation", &t.yRotation},
        {"orientation", &t.orientation},
        {"pointOfInterest", &t.pointOfInterest},
    };
    Json out = Json::object();
    for (const auto& [name, property] : properties)
        if (property->specified) out[name] = PropertyJson(*property);
    Merge(out, t.extra);
    return out;
}

std::string FileForDestination(const ImageFootage& footage, const std::filesystem::path& sceneFile,
                               const std::filesystem::path& destination)
{
    const std::filesystem::path written(footage.file);
    if (written.is_absolute()) return footage.file;
    const auto from = std::filesystem::absolute(sceneFile).parent_path().lexically_normal();
    const auto to = std::filesystem::absolute(destination).parent_path().lexically_normal();
    if (from == to) return footage.file;
    return std::filesystem::absolute(footage.resolved).lexically_normal().lexically_relative(to).generic_string();
}

Json ShapeJson(const ShapeSpec& shape)
{
    Json out = {{"kind", shape.kind == ShapeKind::Rect ? "rect" : "ellipse"}};
    if (shape.size) out["size"] = ValueJson({shape.size->x, shape.size->y, 0}, 2);
    if (shape.centre) out["position"] = ValueJson({shape.centre->x, shape.centre->y, 0}, 2);
    Merge(out, shape.extra);
    return out;
}

Json EffectJson(const Effect& effect)
{
    Json params = Json::object();
    for (const EffectParam& param : effect.params) params[param.name] = param.value;
    Json out = {{"name", effect.name}, {"params", params}};
    Merge(out, effect.extra);
    return out;
}

Json LayerJson(const Project& project, const Layer& layer, const std::filesystem::path& destination)
{
    Json out = {{"name", layer.name}, {"type", LayerTypeName(layer.type)}};
    if (layer.threeD) out["threeD"] = true;
    if (!layer.enabled) out["enabled"] = false;
    if (layer.locked) out["locked"] = true;
    if (const Layer* parent = project.ParentOf(layer)) out["parent"] = parent->name;
    if (layer.width) out["width"] = *layer.width;
    if (layer.height) out["height"] = *layer.height;
    if (layer.type == LayerType::Solid || layer.type == LayerType::Shape)
        out["color"] = {NumberJson(layer.color.r), NumberJson(layer.color.g), NumberJson(layer.color.b),
                        NumberJson(layer.color.a)};
    if (layer.type == LayerType::Image) out["file"] = FileForDestination(layer.image, project.sceneFile, destination);
    if (layer.type == LayerType::Shape) out["shape"] = ShapeJson(layer.shape);
    if (layer.type == LayerType::Precomp) {
        out["comp"] = layer.comp;
        if (layer.collapse) out["collapse"] = true;
    }
    if (layer.type == LayerType::Camera && layer.zoom.specified) out["zoom"] = PropertyJson(layer.zoom);
    if (Json transform = TransformJson(layer.transform); !transform.empty()) out["transform"] = transform;
    if (!layer.effects.empty()) {
        Json& effects = out["effects"] = Json::array();
        for (const Effect& effect : layer.effects) effects.push_back(EffectJson(effect));
    }
    Merge(out, layer.extra);
    return out;
}

} // namespace

Json SceneToJson(const Project& project, const std::filesystem::path& destination)
{
    Json comps = Json::array();
    for (const Composition& comp : project.comps) {
        Json layers = Json::array();
        for (const Layer& layer : comp.layers) layers.push_back(LayerJson(project, layer, destination));
        Json out = {{"name", comp.name},
                    {"width", comp.width},
                    {"height", comp.height},
                    {"frameRate", NumberJson(comp.frameRate)},
                    {"duration", NumberJson(comp.duration)},
                    {"layers", layers}};
        Merge(out, comp.extra);
        comps.push_back(out);
    }
    Json root = {{"comps", comps}};
    Merge(root, project.extra);
    return root;
}

void SaveScene(const Project& project, const std::filesystem::path& file)
{
    std::string text;
    Format(SceneToJson(project, file), 0, text);
    WriteFileAtomically(file, text + "\n");
}

} // namespace strandel::host
