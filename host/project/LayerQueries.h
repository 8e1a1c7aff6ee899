// What the host reports about a layer: flags, object type, its source item and stream types.
#pragma once
#include <optional>

#include "AE_GeneralPlug.h"
#include "host/project/Project.h"

namespace strandel::host {

constexpr int kNullLayerSize = 100;

// VIDEO_ACTIVE for enabled layers (layers span the whole comp), LAYER_IS_3D, COLLAPSE on
// precomps that collapse transformations, NULL_LAYER.
AEGP_LayerFlags LayerFlags(const Layer& layer);
// Cameras CAMERA, shape layers VECTOR, every other layer AV.
AEGP_ObjectType LayerObjectType(const Layer& layer);

// COMP for precomps, FOOTAGE for image, solid and null layers, NONE for cameras and shapes.
AEGP_ItemType SourceItemType(const Layer& layer);
// The size of the layer's source: the image, the solid's or null's size (the comp's, or 100 x 100
// for a null, unless given), the precomp's comp. Shape layers report their bounds; cameras none.
std::optional<ImageSize> LayerSourceSize(const Project& project, const Layer& layer);

AEGP_KeyframeInterpolationType KeyInterpolationType(Interpolation interpolation);

// Position is spatial: three-D spatial on 3D layers, two-D spatial on 2D ones.
AEGP_StreamType PositionStreamType(const Layer& layer);

} // namespace strandel::host
