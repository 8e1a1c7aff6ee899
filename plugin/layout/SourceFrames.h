// The source layers' images as textured quads: at the frame's time, at the copies' shifted
// times, and as one quad per inner layer for collapsed 3D precomps. Every image is handed back
// to the host by ReleaseSourceFrames at the end of the frame.
#pragma once
#include <array>
#include <deque>
#include <optional>
#include <vector>

#include "AE_GeneralPlug.h"
#include "frame/PreRenderData.h"
#include "frame/SuiteCache.h"
#include "layout/SourceTypes.h"
#include "layout/SpriteInstance.h"
#include "path/Vec3.h"

namespace strandel {

constexpr int kSourceSlotCount = 5;

struct SourceSlot {
    PF_ParamDef param{}; // the layer parameter checked out by the legacy render
    bool paramCheckedOut = false;
    bool pixelsCheckedOut = false; // smart render
    A_long checkoutId = 0;
    const PF_EffectWorld* image = nullptr;
    std::deque<PF_ParamDef> extraParams; // checked out at other times; addresses stay put
    std::deque<PF_EffectWorld> worlds; // frames rendered for collapsed precomps
    std::vector<AEGP_FrameReceiptH> receipts;
};

using SourceSlots = std::array<SourceSlot, kSourceSlotCount>;
// Entries of time-shifted frames; copies point into it, so entries never move.
using ShiftedFrames = std::deque<SourceEntry>;

// How a frame reads its source layers: the host, its suites, the comp time the sources are read
// at and, in a smart render, the callbacks that check out layer pixels (null in the legacy render).
struct SourceReading {
    const PF_InData* in_data;
    SuiteCache& suites;
    A_Time compTime;
    PF_SmartRenderExtra* smart = nullptr;

    SourceReading At(const A_Time& time) const { return {in_data, suites, time, smart}; }
};

PF_Err BuildSourceList(const SourceReading& reading, SourceSlots& slots, SourceList& list);
// Points each time-shifted copy at its source's frame at that time; `checkouts` are what smart
// pre-render registered (null in the legacy render, which checks frames out as it goes).
PF_Err ResolveInstanceFrames(const SourceReading& reading, const SourceList& list, SourceSlots& slots,
                             ShiftedFrames& shifted, InstanceList& instances, SourceCheckoutList* checkouts);
PF_Err ReleaseSourceFrames(const PF_InData* in_data, SourceSlots& slots, PF_SmartRenderExtra* smart);

// Whether the source layer in a slot gives the render at least one quad: false only for a collapsed
// 3D precomp none of whose layers would be drawn, whose flat checkout still has pixels.
bool SourceYieldsQuads(const SourceReading& reading, int slotNumber);

PF_PixelFormat WorldPixelFormat(SuiteCache& suites, const PF_EffectWorld* image);

// The smallest box [x0, x1) x [y0, y1) holding every pixel with alpha above 1e-6.
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
std::optional<PixelBox> OpaqueBounds(const PF_EffectWorld& image, PF_PixelFormat format);

std::optional<Vec3> ReadLayerAnchor(SuiteCache& suites, AEGP_LayerH layer, const A_Time& compTime);
Vec3 ReadLayerScale(SuiteCache& suites, AEGP_LayerH layer, const A_Time& compTime);
struct SourceSize {
    bool ok = false;
    double width = 0, height = 0;
};
SourceSize LayerSourceSize(SuiteCache& suites, AEGP_LayerH layer);

} // namespace strandel
