#include "host/scene/SceneWriter.h"

#include "host/io/AtomicWrite.h"

namespace strandel::host {
namespace {

constexpr const char* kInterpolationNames[] = {"linear", "bezier", "hold"};

void Merge(Json& out, const Json& extra)
{
    for (const auto& [key, value] : extra.items()) out[key] = value;
}

Json ValueJson(const Vec3& v, int dimensions)
{
    if (dimensions <= 1) return v.x;
    if (dimensions == 2) return Json::array({v.x, v.y});
    return Json::array({v.x, v.y, v.z});
}

Json KeyJson(const Keyframe& key, const AnimatedProperty& property)
{
    Json out = {{"time", key.time}, {"value", ValueJson(key.value, property.dimensions)}};
    if (property.spatial && key.inTangent != Vec3{}) out["inTangent"] = ValueJson(key.inTangent, property.dimensions);
    if (property.spatial && key.outTangent != Vec3{}) out["outTangent"] = ValueJson(key.outTangent, property.dimensions);
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
        {"anchorPoint", &t.anchorPoint}, {"position", &t.position},   {"scale", &t.scale},
        {"rotation", &t.rotation},       {"xRotation", &t.xRotation}, {"yRotation", &t.yRotation},
        {"orientation", &t.orientation}, {"pointOfInterest", &t.pointOfInterest},
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
    if (shape.size) out["size"] = {shape.size->x, shape.size->y};
    if (shape.centre) out["position"] = {shape.centre->x, shape.centre->y};
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
    if (const Layer* parent = project.ParentOf(layer)) out["parent"] = parent->name;
    if (layer.width) out["width"] = *layer.width;
    if (layer.height) out["height"] = *layer.height;
    if (layer.type == LayerType::Solid || layer.type == LayerType::Shape)
        out["color"] = {layer.color.r, layer.color.g, layer.color.b, layer.color.a};
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
        Json out = {{"name", comp.name},           {"width", comp.width},       {"height", comp.height},
                    {"frameRate", comp.frameRate}, {"duration", comp.duration}, {"layers", layers}};
        Merge(out, comp.extra);
        comps.push_back(out);
    }
    Json root = {{"comps", comps}};
    Merge(root, project.extra);
    return root;
}

void SaveScene(const Project& project, const std::filesystem::path& file)
{
    WriteFileAtomically(file, SceneToJson(project, file).dump(2) + "\n");
}

} // namespace strandel::host
