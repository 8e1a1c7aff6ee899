// What smart pre-render hands to smart render: the settings snapshot and the time-shifted
// source frames it asked the host for.
#pragma once
#include <cstdint>
#include <vector>

#include "AE_Effect.h"
#include "frame/RenderSettings.h"

namespace strandel {

constexpr std::size_t kMaxOffsetFrames = 256;
constexpr A_long kInputCheckoutId = 0x57380000;
constexpr A_long kFirstShiftedCheckoutId = kInputCheckoutId + 0x10000;

struct SourceCheckout {
    uint32_t sourcePosition = 0; // 0..4
    uint32_t paramIndex = 0; // 23..27
    uint32_t checkoutId = 0;
    int32_t frameTime = 0; // in the command's time scale
    double offset = 0; // seconds
    PF_EffectWorld* pixels = nullptr;
    bool checkedOut = false;
};

using SourceCheckoutList = std::vector<SourceCheckout>;

struct PreRenderData {
    RenderSettings settings;
    SourceCheckoutList checkouts;
};

} // namespace strandel
