// One frame of one effect instance, rendered as the compositor renders it: smart pre-render
// then smart render, or the legacy render command; reused from the render cache when it can be.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "host/EffectInstance.h"
#include "host/image/Image.h"

namespace strandel::host {

struct FrameRequest {
    std::int64_t frame = 0; // of the effect layer's comp
    PixelDepth depth = PixelDepth::Eight;
    int downsample = 1; // downsample ratios 1 / n
    bool legacy = false; // PF_Cmd_RENDER instead of the smart commands
};

struct FrameResult {
    PF_Err err = PF_Err_NONE;
    Image image; // ceil(w / n) x ceil(h / n) of the effect layer's source
    bool fromCache = false;
    // What the plug-in did not give back by the end of the frame (the host took it back).
    std::vector<std::string> leaks;
    // What the host could not lend the plug-in (a source image that cannot be read): the frame
    // was drawn without it. Such a frame is not kept in the render cache.
    std::vector<std::string> problems;
};

// `cancel`, when given, is what the abort callback answers. Throws HostError for an effect
// without a layer that has pixels.
FrameResult RenderEffectFrame(EffectInstance& effect, const FrameRequest& request,
                              const std::atomic<bool>* cancel = nullptr);

} // namespace strandel::host
