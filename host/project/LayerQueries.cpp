#include "host/project/LayerQueries.h"

namespace strandel::host {

AEGP_LayerFlags LayerFlags(const Layer& layer)
{
    AEGP_LayerFlags flags = 0;
    if (layer.enabled) flags |= AEGP_LayerFlag_VIDEO_ACTIVE;
    if (layer.threeD) flags |= AEGP_LayerFlag_LAYER_IS_3D;
    if (layer.type == LayerType::Precomp && layer.collapse) flags |= AEGP_LayerFlag_COLLAPSE;
    if (layer.type == LayerType::Null) flags |= AEGP_LayerFlag_NULL_LAYER;
    return flags;
}

AEGP_ObjectType LayerObjectType(const Layer& layer)
{
    switch (layer.type) {
    case LayerType::Camera: return AEGP_ObjectType_CAMERA;
    case LayerType::Shape: return AEGP_ObjectType_VECTOR;
    default: return AEGP_ObjectType_AV;
    }
}

AEGP_ItemType SourceItemType(const Layer& layer)
{
    switch (layer.type) {
    case LayerType::Precomp: return AEGP_ItemType_COMP;
    case LayerType::Camera:
    case LayerType::Shape: return AEGP_ItemType_NONE;
    default: return AEGP_ItemType_FOOTAGE;
    }
}

std::optional<ImageSize> LayerSourceSize(const Project& project, const Layer& layer)
{
    const Composition* owner = project.CompOfLayer(layer);
    switch (layer.type) {
    case LayerType::Camera: return std::nullopt;
    case LayerType::Image: return layer.image.size;
    case LayerType::Precomp: {
        const Composition* comp = project.CompByName(layer.comp);
        if (!comp) return std::nullopt;
        return ImageSize{comp->width, comp->height};
    }
    case LayerType::Null: return ImageSize{layer.width.value_or(kNullLayerSize), layer.height.value_or(kNullLayerSize)};
    case LayerType::Solid:
    case LayerType::Shape:
        if (!owner) return std::nullopt;
        return ImageSize{layer.width.value_or(owner->width), layer.height.value_or(owner->height)};
    }
    return std::nullopt;
}

AEGP_KeyframeInterpolationType KeyInterpolationType(Interpolation interpolation)
{
    switch (interpolation) {
    case Interpolation::Linear: return AEGP_KeyInterp_LINEAR;
    case Interpolation::Bezier: return AEGP_KeyInterp_BEZIER;
    case Interpolation::Hold: return AEGP_KeyInterp_HOLD;
    }
    return AEGP_KeyInterp_NONE;
}

AEGP_StreamType PositionStreamType(const Layer& layer)
{
    return layer.threeD ? AEGP_StreamType_ThreeD_SPATIAL : AEGP_StreamType_TwoD_SPATIAL;
}

} // namespace strandel::host
