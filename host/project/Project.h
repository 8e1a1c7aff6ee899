// The project the emulated host models: compositions, their layers (top first), keyframed
// transforms, layer sources and effects with their parameters as the scene gives them.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "A.h"
#include "host/image/PngFile.h"
#include "host/project/AnimatedProperty.h"
#include "host/project/Json.h"
#include "host/project/TimeBase.h"

namespace strandel::host {

enum class LayerType { Null, Solid, Image, Shape, Camera, Precomp };

std::string_view LayerTypeName(LayerType type);
std::optional<LayerType> LayerTypeFromName(std::string_view name);

struct Color {
    double r = 1, g = 1, b = 1, a = 1; // straight, 0..1
    bool operator==(const Color&) const = default;
};

struct Point2 {
    double x = 0, y = 0;
    bool operator==(const Point2&) const = default;
};

struct LayerTransform {
    AnimatedProperty anchorPoint;
    AnimatedProperty position;
    AnimatedProperty scale; // percent
    AnimatedProperty rotation; // degrees, about z
    AnimatedProperty xRotation;
    AnimatedProperty yRotation;
    AnimatedProperty orientation; // degrees (x, y, z)
    AnimatedProperty pointOfInterest; // cameras
    Json extra = Json::object();

    bool operator==(const LayerTransform&) const = default;
};

// An image file, or a numbered sequence ("dot_[####].png": one file per comp frame from 0).
struct ImageFootage {
    std::string file; // as the scene names it, relative to the scene's folder
    std::filesystem::path resolved; // the file, or the pattern of a sequence
    bool sequence = false;
    int frameCount = 1; // a sequence's files 0 .. frameCount - 1 exist
    ImageSize size; // of the first file

    bool operator==(const ImageFootage&) const = default;
};

enum class ShapeKind { Rect, Ellipse };

struct ShapeSpec {
    ShapeKind kind = ShapeKind::Rect;
    std::optional<Point2> size; // default: the layer's bounds
    std::optional<Point2> centre; // in layer pixels; default: the bounds' centre
    Json extra = Json::object();

    bool operator==(const ShapeSpec&) const = default;
};

// Parameter values stay as the scene wrote them: names and values are resolved later against
// the plug-in's parameter table. `jsonPath` lets that check name the place in the scene.
struct EffectParam {
    std::string name;
    Json value;
    std::string jsonPath;

    bool operator==(const EffectParam&) const = default;
};

struct Effect {
    std::string name;
    std::vector<EffectParam> params;
    std::string jsonPath;
    Json extra = Json::object();

    bool operator==(const Effect&) const = default;
};

struct Layer {
    A_long id = 0; // unique in the project
    std::string name;
    LayerType type = LayerType::Null;
    bool threeD = false;
    bool enabled = true;
    bool locked = false; // scripts may not change it
    bool collapse = false; // precomps: collapse transformations
    A_long parentId = 0; // 0: no parent
    LayerTransform transform;
    std::optional<int> width; // solid, null and shape bounds, as given
    std::optional<int> height;
    Color color; // solid and shape
    ImageFootage image; // image layers
    ShapeSpec shape; // shape layers
    std::string comp; // precomps: the composition's name
    AnimatedProperty zoom; // cameras, pixels
    std::vector<Effect> effects;
    A_long sourceItemId = 0; // footage item, or the precomp's comp item; 0 for cameras and shapes
    std::string jsonPath;
    Json extra = Json::object();

    bool operator==(const Layer&) const = default;
};

struct Composition {
    A_long itemId = 0;
    std::string name;
    int width = 0;
    int height = 0;
    double frameRate = 30; // as the scene writes it
    TimeBase timeBase;
    double duration = 0; // seconds
    std::vector<Layer> layers; // top first: layer index 1 is layers[0]
    Json extra = Json::object();

    bool operator==(const Composition&) const = default;

    std::int64_t FrameCount() const;
    const Layer* LayerByName(std::string_view name) const;
    // 1-based, as the compositor numbers layers; none when out of range.
    const Layer* LayerAtIndex(int index) const;
    // 1-based index of a layer of this comp, 0 when it is not one of them.
    int IndexOf(const Layer& layer) const;
    std::vector<std::string> LayerNames() const;
};

struct Project {
    std::filesystem::path sceneFile; // relative files are found beside it
    std::vector<Composition> comps;
    Json extra = Json::object();

    bool operator==(const Project&) const = default;

    const Composition* CompByName(std::string_view name) const;
    const Composition* CompByItemId(A_long itemId) const;
    const Layer* LayerById(A_long id) const;
    Layer* LayerById(A_long id);
    const Composition* CompOfLayer(const Layer& layer) const;
    const Layer* ParentOf(const Layer& layer) const;
};

} // namespace strandel::host
