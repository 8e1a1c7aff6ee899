#include "host/scene/SceneReader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/io/FileError.h"
#include "host/project/ImageSequence.h"
#include "host/project/LayerQueries.h"
#include "host/project/Transforms.h"
#include "host/scene/JsonReading.h"
#include "host/scene/JsonText.h"
#include "host/scene/PropertyReading.h"
#include "host/scene/SceneError.h"

namespace strandel::host {
namespace {

constexpr int kMaxCompSize = 30000;

// Components (least, most), the default of those left out, spatial, and a scalar's range.
const PropertyRule kAnchorSpec{2, 3, {}, false};
const PropertyRule kPositionSpec{2, 3, {}, true};
const PropertyRule kScaleSpec{2, 3, {100, 100, 100}, false};
const PropertyRule kAngleSpec{1, 1, {}, false};
const PropertyRule kOrientationSpec{3, 3, {}, false};
const PropertyRule kZoomSpec{1, 1, {}, false, 1e-6, HUGE_VAL, "a zoom above 0 (pixels)"};

// Which layer types a type-specific field belongs to.
struct TypeField {
    const char* name;
    std::initializer_list<LayerType> types;
    const char* owners;
};
const TypeField kTypeFields[] = {
    {"width", {LayerType::Solid, LayerType::Null, LayerType::Shape}, "solid, null and shape layers"},
    {"height", {LayerType::Solid, LayerType::Null, LayerType::Shape}, "solid, null and shape layers"},
    {"color", {LayerType::Solid, LayerType::Shape}, "solid and shape layers"},
    {"file", {LayerType::Image}, "image layers"},
    {"shape", {LayerType::Shape}, "shape layers"},
    {"comp", {LayerType::Precomp}, "precomp layers"},
    {"collapse", {LayerType::Precomp}, "precomp layers"},
    {"zoom", {LayerType::Camera}, "camera layers"},
};

bool FieldBelongsTo(const TypeField& field, LayerType type)
{
    return std::find(field.types.begin(), field.types.end(), type) != field.types.end();
}

std::string Quoted(const std::string& s) { return Json(s).dump(); }

class SceneReader {
public:
    SceneReader(Diagnostics& diagnostics, const std::filesystem::path& sceneFile)
        : d_(diagnostics), r_(diagnostics), sceneDir_(sceneFile.parent_path())
    {
    }

    Project Read(const Json& root)
    {
        Project project;
        if (!r_.IsObject(&root, "", Presence::Required)) return project;
        const Json* comps = Find(root, "comps");
        if (r_.IsArray(comps, "comps", Presence::Required)) {
            if (comps->empty()) d_.Expected("comps", "at least one composition", comps);
            for (std::size_t i = 0; i < comps->size(); ++i)
                project.comps.push_back(ReadComp((*comps)[i], Element("comps", i)));
        }
        project.extra = r_.Unknown(root, "", {"comps"});
        CheckCompNames(project);
        for (std::size_t c = 0; c < project.comps.size(); ++c) CheckLayers(project, c);
        CheckPrecomps(project);
        return project;
    }

    // Identities and the defaults that depend on sources and comp sizes; only for a sound scene.
    void Complete(Project& project)
    {
        A_long nextItem = 1;
        for (Composition& comp : project.comps) comp.itemId = nextItem++;
        A_long nextLayer = 1;
        for (Composition& comp : project.comps)
            for (Layer& layer : comp.layers) layer.id = nextLayer++;
        for (std::size_t c = 0; c < project.comps.size(); ++c) {
            Composition& comp = project.comps[c];
            for (std::size_t i = 0; i < comp.layers.size(); ++i) {
                Layer& layer = comp.layers[i];
                const std::string& parent = parentNames_[c][i];
                if (!parent.empty()) layer.parentId = comp.LayerByName(parent)->id;
                if (layer.type == LayerType::Precomp) layer.sourceItemId = project.CompByName(layer.comp)->itemId;
                else if (SourceItemType(layer) == AEGP_ItemType_FOOTAGE) layer.sourceItemId = nextItem++;
                FillDefaults(project, comp, layer);
            }
        }
    }

private:
    Composition ReadComp(const Json& v, const std::string& path)
    {
        Composition comp;
        parentNames_.emplace_back();
        if (!r_.IsObject(&v, path, Presence::Required)) return comp;
        if (auto name = r_.String(Find(v, "name"), Member(path, "name"), Presence::Required)) comp.name = *name;
        if (auto w = r_.Integer(Find(v, "width"), Member(path, "width"), 1, kMaxCompSize, Presence::Required))
            comp.width = *w;
        if (auto h = r_.Integer(Find(v, "height"), Member(path, "height"), 1, kMaxCompSize, Presence::Required))
            comp.height = *h;
        const Json* rate = Find(v, "frameRate");
        if (auto fps = r_.NumberIn(rate, Member(path, "frameRate"), 1e-3, 1000, "a frame rate above 0 up to 1000",
                                   Presence::Required)) {
            if (auto base = TimeBaseForFrameRate(*fps)) {
                comp.frameRate = *fps;
                comp.timeBase = *base;
            } else {
                d_.Expected(Member(path, "frameRate"),
                            "a whole number of frames per second, an NTSC rate such as 29.97, or a ratio with a "
                            "denominator up to 1000",
                            rate);
            }
        }
        if (auto duration = r_.NumberIn(Find(v, "duration"), Member(path, "duration"), 1e-9, HUGE_VAL,
                                        "a duration above 0 (seconds)", Presence::Required))
            comp.duration = *duration;
        const Json* layers = Find(v, "layers");
        if (r_.IsArray(layers, Member(path, "layers"), Presence::Required))
            for (std::size_t i = 0; i < layers->size(); ++i)
                comp.layers.push_back(ReadLayer((*layers)[i], Element(Member(path, "layers"), i)));
        comp.extra = r_.Unknown(v, path, {"name", "width", "height", "frameRate", "duration", "layers"});
        return comp;
    }

    Layer ReadLayer(const Json& v, const std::string& path)
    {
        Layer layer;
        layer.jsonPath = path;
        std::string& parentName = parentNames_.back().emplace_back();
        if (!r_.IsObject(&v, path, Presence::Required)) return layer;
        if (auto name = r_.String(Find(v, "name"), Member(path, "name"), Presence::Required)) layer.name = *name;
        const Json* typeValue = Find(v, "type");
        std::optional<LayerType> type;
        if (auto typeName = r_.Choice(typeValue, Member(path, "type"),
                                      {"null", "solid", "image", "shape", "camera", "precomp"}, Presence::Required))
            type = LayerTypeFromName(*typeName);
        if (auto threeD = r_.Bool(Find(v, "threeD"), Member(path, "threeD"))) layer.threeD = *threeD;
        if (auto enabled = r_.Bool(Find(v, "enabled"), Member(path, "enabled"))) layer.enabled = *enabled;
        if (auto locked = r_.Bool(Find(v, "locked"), Member(path, "locked"))) layer.locked = *locked;
        if (auto parent = r_.String(Find(v, "parent"), Member(path, "parent"))) parentName = *parent;
        if (type) {
            layer.type = *type;
            ReadTypeFields(v, path, layer);
        }
        ReadTransform(v, path, layer);
        const Json* effects = Find(v, "effects");
        if (r_.IsArray(effects, Member(path, "effects")))
            for (std::size_t i = 0; i < effects->size(); ++i)
                layer.effects.push_back(ReadEffect((*effects)[i], Element(Member(path, "effects"), i)));
        layer.extra = r_.Unknown(v, path,
                                 {"name", "type", "threeD", "enabled", "locked", "parent", "transform", "effects",
                                  "width", "height", "color", "file", "shape", "comp", "collapse", "zoom"});
        return layer;
    }

    void ReadTypeFields(const Json& v, const std::string& path, Layer& layer)
    {
        for (const TypeField& field : kTypeFields)
            if (Find(v, field.name) && !FieldBelongsTo(field, layer.type))
                d_.Error(Member(path, field.name), std::string("expected no \"") + field.name + "\" on a " +
                                                       std::string(LayerTypeName(layer.type)) +
                                                       " layer; it applies to " + field.owners);
        const bool hasSize = FieldBelongsTo(kTypeFields[0], layer.type);
        if (hasSize) {
            layer.width = r_.Integer(Find(v, "width"), Member(path, "width"), 1, kMaxCompSize);
            layer.height = r_.Integer(Find(v, "height"), Member(path, "height"), 1, kMaxCompSize);
        }
        if (layer.type == LayerType::Solid || layer.type == LayerType::Shape) ReadColor(v, path, layer);
        switch (layer.type) {
        case LayerType::Image: ReadImageFile(v, path, layer); break;
        case LayerType::Shape: ReadShape(v, path, layer); break;
        case LayerType::Precomp:
            if (auto comp = r_.String(Find(v, "comp"), Member(path, "comp"), Presence::Required)) layer.comp = *comp;
            if (auto collapse = r_.Bool(Find(v, "collapse"), Member(path, "collapse"))) layer.collapse = *collapse;
            break;
        case LayerType::Camera:
            if (const Json* zoom = Find(v, "zoom"))
                if (auto property = ReadProperty(r_, *zoom, Member(path, "zoom"), kZoomSpec)) layer.zoom = *property;
            break;
        default: break;
        }
    }

    void ReadColor(const Json& v, const std::string& path, Layer& layer)
    {
        const Json* color = Find(v, "color");
        const std::string colorPath = Member(path, "color");
        if (!color) return;
        const std::string what = "an array of 3 or 4 numbers from 0 to 1 (straight RGB or RGBA)";
        if (!color->is_array() || color->size() < 3 || color->size() > 4) {
            d_.Expected(colorPath, what, color);
            return;
        }
        double c[4] = {0, 0, 0, 1};
        bool ok = true;
        for (std::size_t i = 0; i < color->size(); ++i) {
            const auto x = r_.NumberIn(&(*color)[i], Element(colorPath, i), 0, 1, "a number from 0 to 1");
            ok = ok && x.has_value();
            if (x) c[i] = *x;
        }
        if (ok) layer.color = {c[0], c[1], c[2], c[3]};
    }

    void ReadImageFile(const Json& v, const std::string& path, Layer& layer)
    {
        const std::string filePath = Member(path, "file");
        const auto file = r_.String(Find(v, "file"), filePath, Presence::Required);
        if (!file) return;
        ImageFootage& footage = layer.image;
        footage.file = *file;
        footage.resolved = sceneDir_ / *file;
        footage.sequence = IsSequencePattern(*file);
        std::filesystem::path first = footage.resolved;
        if (footage.sequence) {
            footage.frameCount = CountSequenceFrames(footage.resolved);
            first = SequenceFramePath(footage.resolved, 0);
        }
        std::error_code ec;
        if (!std::filesystem::is_regular_file(first, ec)) {
            d_.Error(filePath, std::string("expected an existing PNG file") +
                                   (footage.sequence ? " for frame 0 of the sequence" : "") + "; " + first.string() +
                                   " does not exist");
            return;
        }
        try {
            footage.size = ReadPngSize(first);
        } catch (const FileError& e) {
            d_.Error(filePath, std::string("expected a readable PNG; ") + e.what());
        }
    }

    void ReadShape(const Json& v, const std::string& path, Layer& layer)
    {
        const Json* shape = Find(v, "shape");
        const std::string shapePath = Member(path, "shape");
        if (!r_.IsObject(shape, shapePath, Presence::Required)) return;
        if (auto kind =
                r_.Choice(Find(*shape, "kind"), Member(shapePath, "kind"), {"rect", "ellipse"}, Presence::Required))
            layer.shape.kind = *kind == "rect" ? ShapeKind::Rect : ShapeKind::Ellipse;
        if (auto size = r_.Vector(Find(*shape, "size"), Member(shapePath, "size"), 2, 2, {}))
            layer.shape.size = Point2{size->first.x, size->first.y};
        if (auto centre = r_.Vector(Find(*shape, "position"), Member(shapePath, "position"), 2, 2, {}))
            layer.shape.centre = Point2{centre->first.x, centre->first.y};
        layer.shape.extra = r_.Unknown(*shape, shapePath, {"kind", "size", "position"});
    }

    void ReadTransform(const Json& v, const std::string& layerPath, Layer& layer)
    {
        const Json* transform = Find(v, "transform");
        const std::string path = Member(layerPath, "transform");
        if (!r_.IsObject(transform, path)) return;
        LayerTransform& t = layer.transform;
        const struct {
            const char* name;
            AnimatedProperty* target;
            const PropertyRule& rule;
        } properties[] = {
            {"anchorPoint", &t.anchorPoint, kAnchorSpec},
            {"position", &t.position, kPositionSpec},
            {"scale", &t.scale, kScaleSpec},
            {"rotation", &t.rotation, kAngleSpec},
            {"xRotation", &t.xRotation, kAngleSpec},
            {"yRotation", &t.yRotation, kAngleSpec},
            {"orientation", &t.orientation, kOrientationSpec},
            {"pointOfInterest", &t.pointOfInterest, kAnchorSpec},
        };
        for (const auto& p : properties)
            if (const Json* value = Find(*transform, p.name))
                if (auto property = ReadProperty(r_, *value, Member(path, p.name), p.rule)) *p.target = *property;
        if (Find(*transform, "pointOfInterest") && layer.type != LayerType::Camera)
            d_.Error(Member(path, "pointOfInterest"), "expected no point of interest on a " +
                                                          std::string(LayerTypeName(layer.type)) +
                                                          " layer; it applies to camera layers");
        t.extra = r_.Unknown(*transform, path,
                             {"anchorPoint", "position", "scale", "rotation", "xRotation", "yRotation", "orientation",
                              "pointOfInterest"});
    }

    Effect ReadEffect(const Json& v, const std::string& path)
    {
        Effect effect;
        effect.jsonPath = path;
        if (!r_.IsObject(&v, path, Presence::Required)) return effect;
        if (auto name = r_.String(Find(v, "name"), Member(path, "name"), Presence::Required)) effect.name = *name;
        const Json* params = Find(v, "params");
        const std::string paramsPath = Member(path, "params");
        if (r_.IsObject(params, paramsPath))
            for (const auto& [name, value] : params->items()) {
                const std::string paramPath = Member(paramsPath, name);
                CheckParamValue(value, paramPath);
                effect.params.push_back({name, value, paramPath});
            }
        effect.extra = r_.Unknown(v, path, {"name", "params"});
        return effect;
    }

    // Names and values are checked against the plug-in's parameters later; here only what
    // holds for every parameter: finite numbers and keys in time order.
    void CheckParamValue(const Json& value, const std::string& path)
    {
        r_.AllFinite(value, path);
        const Json* keys = Find(value, "keys");
        if (!keys) return;
        const std::string keysPath = Member(path, "keys");
        if (!r_.IsArray(keys, keysPath, Presence::Required)) return;
        if (keys->empty()) d_.Expected(keysPath, "at least one keyframe", keys);
        for (std::size_t i = 0; i < keys->size(); ++i) {
            const Json& key = (*keys)[i];
            const std::string keyPath = Element(keysPath, i);
            if (!r_.IsObject(&key, keyPath, Presence::Required)) continue;
            r_.Number(Find(key, "time"), Member(keyPath, "time"), Presence::Required);
            if (!Find(key, "value"))
                d_.Expected(Member(keyPath, "value"), "the parameter's value at that time", nullptr);
        }
        CheckKeyTimes(r_, *keys, keysPath);
    }

    void CheckCompNames(const Project& project)
    {
        for (std::size_t i = 0; i < project.comps.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (!project.comps[i].name.empty() && project.comps[i].name == project.comps[j].name) {
                    d_.Error(Member(Element("comps", i), "name"), "expected a name no other composition has; comps[" +
                                                                      std::to_string(j) + "] is also named " +
                                                                      Quoted(project.comps[i].name));
                    break;
                }
    }

    // Unique names, parents that exist in the same comp, and no parent cycles.
    void CheckLayers(const Project& project, std::size_t c)
    {
        const Composition& comp = project.comps[c];
        const std::string compPath = Element("comps", c);
        const auto layerPath = [&](std::size_t i) { return Element(Member(compPath, "layers"), i); };
        const std::size_t n = comp.layers.size();
        std::vector<std::ptrdiff_t> parent(n, -1);
        for (std::size_t i = 0; i < n; ++i) {
            const Layer& layer = comp.layers[i];
            for (std::size_t j = 0; j < i; ++j)
                if (!layer.name.empty() && layer.name == comp.layers[j].name) {
                    d_.Error(Member(layerPath(i), "name"), "expected a name unique in its comp; layers[" +
                                                               std::to_string(j) + "] is also named " +
                                                               Quoted(layer.name));
                    break;
                }
            const std::string& parentName = parentNames_[c][i];
            if (parentName.empty()) continue;
            const Layer* p = comp.LayerByName(parentName);
            if (!p)
                d_.Error(Member(layerPath(i), "parent"), "expected the name of a layer in comp " + Quoted(comp.name) +
                                                             "; no layer is named " + Quoted(parentName));
            else parent[i] = comp.IndexOf(*p) - 1;
        }
        // A cycle is reported once, at its first layer.
        std::vector<bool> reported(n, false);
        for (std::size_t i = 0; i < n; ++i) {
            std::vector<std::size_t> chain{i};
            for (std::ptrdiff_t p = parent[i]; p >= 0 && chain.size() <= n; p = parent[static_cast<std::size_t>(p)]) {
                chain.push_back(static_cast<std::size_t>(p));
                if (static_cast<std::size_t>(p) != i) continue;
                if (reported[i]) break;
                std::string loop;
                for (std::size_t k : chain) {
                    loop += (loop.empty() ? "" : " -> ") + Quoted(comp.layers[k].name);
                    reported[k] = true;
                }
                d_.Error(Member(layerPath(i), "parent"), "expected a parent chain that ends; it loops: " + loop);
                break;
            }
        }
    }

    void CheckPrecomps(const Project& project)
    {
        for (std::size_t c = 0; c < project.comps.size(); ++c)
            for (std::size_t i = 0; i < project.comps[c].layers.size(); ++i) {
                const Layer& layer = project.comps[c].layers[i];
                if (layer.type != LayerType::Precomp || layer.comp.empty()) continue;
                const std::string path = Member(Element(Member(Element("comps", c), "layers"), i), "comp");
                const Composition* inner = project.CompByName(layer.comp);
                if (!inner) d_.Error(path, "expected the name of a composition; none is named " + Quoted(layer.comp));
                else if (inner == &project.comps[c])
                    d_.Error(path, "expected another composition; a composition cannot contain itself");
                else if (Contains(project, *inner, project.comps[c], 0))
                    d_.Error(path, "expected a composition that does not contain " + Quoted(project.comps[c].name) +
                                       " in turn; precomps would nest forever");
            }
    }

    // Whether `comp` holds `target` through precomp layers, at any depth.
    static bool Contains(const Project& project, const Composition& comp, const Composition& target, std::size_t depth)
    {
        if (depth > project.comps.size()) return false;
        for (const Layer& layer : comp.layers) {
            if (layer.type != LayerType::Precomp) continue;
            const Composition* inner = project.CompByName(layer.comp);
            if (inner == &target || (inner && Contains(project, *inner, target, depth + 1))) return true;
        }
        return false;
    }

    static void FillDefaults(const Project& project, const Composition& comp, Layer& layer)
    {
        const Vec3 compCentre{comp.width / 2.0, comp.height / 2.0, 0};
        const std::optional<ImageSize> source = LayerSourceSize(project, layer);
        const Vec3 sourceCentre = source ? Vec3{source->width / 2.0, source->height / 2.0, 0} : Vec3{};
        LayerTransform& t = layer.transform;
        const std::pair<AnimatedProperty*, AnimatedProperty> defaults[] = {
            {&t.anchorPoint, ConstantProperty(sourceCentre, 3)},
            {&t.position, ConstantProperty(compCentre, 3, true)},
            {&t.scale, ConstantProperty({100, 100, 100}, 3)},
            {&t.rotation, ConstantProperty({}, 1)},
            {&t.xRotation, ConstantProperty({}, 1)},
            {&t.yRotation, ConstantProperty({}, 1)},
            {&t.orientation, ConstantProperty({}, 3)},
            {&t.pointOfInterest, ConstantProperty(compCentre, 3)},
            {&layer.zoom, ConstantProperty({DefaultCameraZoom(comp), 0, 0}, 1)},
        };
        for (const auto& [property, fallback] : defaults)
            if (!property->specified) *property = fallback;
    }

    Diagnostics& d_;
    JsonReader r_;
    std::filesystem::path sceneDir_;
    std::vector<std::vector<std::string>> parentNames_; // per comp and layer; empty: none
};

} // namespace

LoadedScene ParseScene(std::string_view text, const std::filesystem::path& file)
{
    const Json root = ParseSceneText(text, file);
    Diagnostics diagnostics(file);
    SceneReader reader(diagnostics, file);
    LoadedScene scene{reader.Read(root), {}};
    if (diagnostics.ErrorCount() != 0) throw SceneError(diagnostics.Errors());
    reader.Complete(scene.project);
    scene.project.sceneFile = file;
    scene.warnings = diagnostics.Warnings();
    return scene;
}

LoadedScene LoadScene(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw SceneError({file.string() + ": cannot open the scene file"});
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScene(text.str(), file);
}

} // namespace strandel::host
