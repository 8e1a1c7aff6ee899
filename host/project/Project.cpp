#include "host/project/Project.h"

#include <array>
#include <cmath>
#include <utility>

namespace strandel::host {
namespace {

constexpr std::array<std::pair<LayerType, std::string_view>, 6> kLayerTypeNames{{
    {LayerType::Null, "null"},
    {LayerType::Solid, "solid"},
    {LayerType::Image, "image"},
    {LayerType::Shape, "shape"},
    {LayerType::Camera, "camera"},
    {LayerType::Precomp, "precomp"},
}};

} // namespace

std::string_view LayerTypeName(LayerType type)
{
    for (const auto& [t, name] : kLayerTypeNames)
        if (t == type) return name;
    return "null";
}

std::optional<LayerType> LayerTypeFromName(std::string_view name)
{
    for (const auto& [t, n] : kLayerTypeNames)
        if (n == name) return t;
    return std::nullopt;
}

std::int64_t Composition::FrameCount() const { return std::llround(duration * timeBase.scale / timeBase.step); }

const Layer* Composition::LayerByName(std::string_view layerName) const
{
    for (const Layer& layer : layers)
        if (layer.name == layerName) return &layer;
    return nullptr;
}

const Layer* Composition::LayerAtIndex(int index) const
{
    if (index < 1 || index > static_cast<int>(layers.size())) return nullptr;
    return &layers[static_cast<std::size_t>(index - 1)];
}

int Composition::IndexOf(const Layer& layer) const
{
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (&layers[i] == &layer) return static_cast<int>(i) + 1;
    return 0;
}

std::vector<std::string> Composition::LayerNames() const
{
    std::vector<std::string> names;
    for (const Layer& layer : layers) names.push_back(layer.name);
    return names;
}

const Composition* Project::CompByName(std::string_view compName) const
{
    for (const Composition& comp : comps)
        if (comp.name == compName) return &comp;
    return nullptr;
}

const Composition* Project::CompByItemId(A_long itemId) const
{
    for (const Composition& comp : comps)
        if (comp.itemId == itemId) return &comp;
    return nullptr;
}

const Layer* Project::LayerById(A_long id) const
{
    if (id == 0) return nullptr;
    for (const Composition& comp : comps)
        for (const Layer& layer : comp.layers)
            if (layer.id == id) return &layer;
    return nullptr;
}

Layer* Project::LayerById(A_long id) { return const_cast<Layer*>(std::as_const(*this).LayerById(id)); }

const Composition* Project::CompOfLayer(const Layer& layer) const
{
    for (const Composition& comp : comps)
        if (comp.IndexOf(layer) != 0) return &comp;
    return nullptr;
}

const Layer* Project::ParentOf(const Layer& layer) const { return LayerById(layer.parentId); }

} // namespace strandel::host
