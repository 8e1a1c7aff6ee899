// Layer pixels as the host lends them during a render.
#pragma once
#include <optional>

#include "AE_Effect.h"
#include "host/image/Image.h"
#include "host/project/Project.h"

namespace strandel::host {

class Host;

// What a layer checkout lends: the layer's source at the layer's time, before its transform
// (a precomp: its composition rendered flat), at `depth`, reduced by `downsample`. None for a
// layer without pixels (a camera).
std::optional<Image> LayerCheckoutPixels(Host& host, const Layer& layer, double seconds, PixelDepth depth,
                                         int downsample);

// The rectangle such a checkout covers: (0, 0, ceil(w / n), ceil(h / n)); empty without a
// layer or without pixels.
PF_LRect LayerCheckoutBounds(const Project& project, const Layer* layer, int downsample);

// A composition rendered flat at full resolution; a layer carrying the effect shows the
// effect's output in place of its source.
Image RenderCompThroughHost(Host& host, const Composition& comp, double seconds, PixelDepth depth);

} // namespace strandel::host
