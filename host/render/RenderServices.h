// What the host keeps for rendering beyond one frame: the worlds it has lent, the AEGP render
// handles the plug-in holds, the render cache, the project's change count and bit depth.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "AE_GeneralPlug.h"
#include "host/project/Project.h"
#include "host/render/LiveTable.h"
#include "host/render/RenderCache.h"
#include "host/render/WorldFormats.h"

namespace strandel::host {

// What AEGP_RenderOptionsH points at: an item and how to render it.
struct RenderOptions {
    const Composition* comp = nullptr; // a comp item
    const Layer* footage = nullptr; // a footage item: this layer's source
    A_Time time{0, 1};
    A_Time timeStep{1, 30};
    A_short downsampleX = 1, downsampleY = 1;
    std::optional<A_LRect> regionOfInterest; // full-resolution pixels; none: the whole item
    AEGP_MatteMode matte = AEGP_MatteMode_STRAIGHT;
    PixelDepth depth = PixelDepth::Eight;
};

// What AEGP_FrameReceiptH points at; its world is what AEGP_WorldH points at.
struct FrameReceipt {
    std::unique_ptr<LentImage> world;
};

struct RenderServices {
    WorldFormats worlds;
    RenderCache cache;
    LiveTable<RenderOptions> renderOptions;
    LiveTable<FrameReceipt> receipts;
    // Moves with every change to the project; AEGP_GetCurrentTimestamp reports it.
    std::atomic<std::uint32_t> projectRevision{0};
    // The project's bit depth: what AEGP renders give.
    std::atomic<PixelDepth> projectDepth{PixelDepth::Eight};
};

} // namespace strandel::host
