// Rendering suites: pixel formats of lent worlds, AEGP render options, rendering items to frame
// receipts, and the worlds those receipts hold.
#include <cstring>

#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "host/Host.h"
#include "host/image/BoxReduce.h"
#include "host/project/TimeBase.h"
#include "host/render/LayerPixels.h"
#include "host/render/RenderFailure.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

RenderServices& Services() { return Host::Current().render(); }

PF_Err GetPixelFormat(const PF_EffectWorld* world, PF_PixelFormat* format)
{
    if (!world || !format) return PF_Err_BAD_CALLBACK_PARAM;
    const auto found = Services().worlds.Find(world->data);
    *format = found.value_or(PF_PixelFormat_INVALID);
    return found ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

A_Err NewFromItem(AEGP_PluginID id, AEGP_ItemH itemH, AEGP_RenderOptionsH* options)
{
    if (!options) return A_Err_PARAMETER;
    *options = nullptr;
    Host& host = Host::Current();
    if (id == 0 || !itemH || !host.OwnsItem(itemH)) return A_Err_PARAMETER;
    const auto* item = reinterpret_cast<const Host::Item*>(itemH);
    auto made = std::make_unique<RenderOptions>();
    made->comp = item->comp;
    made->footage = item->footage;
    const Composition* comp = item->comp ? item->comp : host.project().CompOfLayer(*item->footage);
    const TimeBase base = comp ? comp->timeBase : TimeBase{};
    made->time = {0, base.scale};
    made->timeStep = {base.step, base.scale};
    made->depth = host.render().projectDepth;
    *options = static_cast<AEGP_RenderOptionsH>(host.render().renderOptions.Add(std::move(made)));
    return A_Err_NONE;
}

template <class Change>
A_Err ChangeOptions(AEGP_RenderOptionsH options, Change change)
{
    RenderOptions* o = Services().renderOptions.Find(options);
    return o ? change(*o) : A_Err_PARAMETER;
}

A_Err SetTime(AEGP_RenderOptionsH options, A_Time time)
{
    return ChangeOptions(options, [&](RenderOptions& o) {
        if (time.scale == 0) return A_Err_PARAMETER;
        o.time = time;
        return A_Err_NONE;
    });
}

A_Err SetTimeStep(AEGP_RenderOptionsH options, A_Time step)
{
    return ChangeOptions(options, [&](RenderOptions& o) {
        if (step.scale == 0) return A_Err_PARAMETER;
        o.timeStep = step;
        return A_Err_NONE;
    });
}

A_Err SetDownsampleFactor(AEGP_RenderOptionsH options, A_short x, A_short y)
{
    return ChangeOptions(options, [&](RenderOptions& o) {
        if (x < 1 || y < 1) return A_Err_PARAMETER;
        o.downsampleX = x;
        o.downsampleY = y;
        return A_Err_NONE;
    });
}

A_Err SetRegionOfInterest(AEGP_RenderOptionsH options, const A_LRect* roi)
{
    return ChangeOptions(options, [&](RenderOptions& o) {
        if (!roi) return A_Err_PARAMETER;
        o.regionOfInterest = *roi;
        return A_Err_NONE;
    });
}

A_Err SetMatteMode(AEGP_RenderOptionsH options, AEGP_MatteMode mode)
{
    return ChangeOptions(options, [&](RenderOptions& o) {
        if (mode != AEGP_MatteMode_STRAIGHT && mode != AEGP_MatteMode_PREMUL_BLACK) return A_Err_PARAMETER;
        o.matte = mode;
        return A_Err_NONE;
    });
}

A_Err DisposeOptions(AEGP_RenderOptionsH options)
{
    return Services().renderOptions.Remove(options) ? A_Err_NONE : A_Err_PARAMETER;
}

// The part of `image` inside `roi`; an empty region (as all zeros is) means the whole image.
Image Crop(const Image& image, const std::optional<A_LRect>& roi)
{
    if (!roi || roi->left >= roi->right || roi->top >= roi->bottom) return image;
    const int x0 = std::clamp(roi->left, 0, image.Width()), x1 = std::clamp(roi->right, x0, image.Width());
    const int y0 = std::clamp(roi->top, 0, image.Height()), y1 = std::clamp(roi->bottom, y0, image.Height());
    if (x0 == 0 && y0 == 0 && x1 == image.Width() && y1 == image.Height()) return image;
    Image out(x1 - x0, y1 - y0, image.Depth());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) out.Set(x - x0, y - y0, image.Get(x, y));
    return out;
}

void PremultiplyOnBlack(Image& image)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const PixelValue p = image.Get(x, y);
            image.Set(x, y, {p.a, p.r * p.a, p.g * p.a, p.b * p.a});
        }
}

// A comp item flat, a footage item its layer's source; then the region, downsample and matte.
Image RenderItem(Host& host, const RenderOptions& o)
{
    const double seconds = TimeToSeconds(o.time);
    std::optional<Image> full = o.comp ? RenderCompThroughHost(host, *o.comp, seconds, o.depth)
                                       : LayerCheckoutPixels(host, *o.footage, seconds, o.depth, 1);
    Image image = full ? Crop(*full, o.regionOfInterest) : Image();
    image = BoxReduce(image, o.downsampleX);
    if (o.matte == AEGP_MatteMode_PREMUL_BLACK) PremultiplyOnBlack(image);
    return image;
}

A_Err RenderAndCheckoutFrame(AEGP_RenderOptionsH options, AEGP_RenderSuiteCheckForCancellation cancel,
                             AEGP_CancelRefcon refcon, AEGP_FrameReceiptH* receipt)
{
    if (!receipt) return A_Err_PARAMETER;
    *receipt = nullptr;
    Host& host = Host::Current();
    if (host.faults.frameRender) return A_Err_GENERIC;
    const RenderOptions* found = host.render().renderOptions.Find(options);
    // One box filter serves both axes; the compositor's downsampling keeps them equal too.
    if (!found || found->downsampleX != found->downsampleY) return A_Err_PARAMETER;
    A_Boolean cancelled = false;
    if (cancel && cancel(refcon, &cancelled) == A_Err_NONE && cancelled) return A_Err_GENERIC;
    const RenderOptions o = *found;
    Image image;
    if (A_Err err = GuardRender([&] { image = RenderItem(host, o); })) return err;
    auto made = std::make_unique<FrameReceipt>();
    made->world = std::make_unique<LentImage>(host.render().worlds, std::move(image));
    *receipt = static_cast<AEGP_FrameReceiptH>(host.render().receipts.Add(std::move(made)));
    return A_Err_NONE;
}

A_Err CheckinFrame(AEGP_FrameReceiptH receipt)
{
    return Services().receipts.Remove(receipt) ? A_Err_NONE : A_Err_PARAMETER;
}

A_Err GetReceiptWorld(AEGP_FrameReceiptH receipt, AEGP_WorldH* world)
{
    const FrameReceipt* r = Services().receipts.Find(receipt);
    if (!r || !world) return A_Err_PARAMETER;
    *world = reinterpret_cast<AEGP_WorldH>(r->world.get());
    return A_Err_NONE;
}

A_Err GetCurrentTimestamp(AEGP_TimeStamp* stamp)
{
    if (!stamp) return A_Err_PARAMETER;
    const std::uint32_t revision = Services().projectRevision;
    std::memcpy(stamp->a, &revision, sizeof stamp->a);
    return A_Err_NONE;
}

// A receipt's world, while the receipt is checked out.
LentImage* FindWorld(AEGP_WorldH world)
{
    const FrameReceipt* r = Services().receipts.FindIf(
        [&](const FrameReceipt& f) { return world && f.world.get() == reinterpret_cast<LentImage*>(world); });
    return r ? r->world.get() : nullptr;
}

A_Err GetWorldType(AEGP_WorldH world, AEGP_WorldType* type)
{
    LentImage* lent = FindWorld(world);
    if (!lent || !type) return A_Err_PARAMETER;
    switch (lent->Pixels().Depth()) {
    case PixelDepth::Eight: *type = AEGP_WorldType_8; break;
    case PixelDepth::Sixteen: *type = AEGP_WorldType_16; break;
    case PixelDepth::Float: *type = AEGP_WorldType_32; break;
    }
    return A_Err_NONE;
}

A_Err FillOutPFEffectWorld(AEGP_WorldH world, PF_EffectWorld* pf_world)
{
    LentImage* lent = FindWorld(world);
    if (!lent || !pf_world) return A_Err_PARAMETER;
    if (Host::Current().faults.worldFillOut) return A_Err_GENERIC;
    *pf_world = lent->World();
    return A_Err_NONE;
}

const PF_WorldSuite2 kWorldSuite = [] {
    auto suite = TableOfTraps<PF_WorldSuite2>();
    suite.PF_GetPixelFormat = GetPixelFormat;
    return suite;
}();
const AEGP_RenderOptionsSuite4 kRenderOptionsSuite = [] {
    auto suite = TableOfTraps<AEGP_RenderOptionsSuite4>();
    suite.AEGP_NewFromItem = NewFromItem;
    suite.AEGP_SetTime = SetTime;
    suite.AEGP_SetTimeStep = SetTimeStep;
    suite.AEGP_SetDownsampleFactor = SetDownsampleFactor;
    suite.AEGP_SetRegionOfInterest = SetRegionOfInterest;
    suite.AEGP_SetMatteMode = SetMatteMode;
    suite.AEGP_Dispose = DisposeOptions;
    return suite;
}();
const AEGP_RenderSuite5 kRenderSuite = [] {
    auto suite = TableOfTraps<AEGP_RenderSuite5>();
    suite.AEGP_RenderAndCheckoutFrame = RenderAndCheckoutFrame;
    suite.AEGP_CheckinFrame = CheckinFrame;
    suite.AEGP_GetReceiptWorld = GetReceiptWorld;
    suite.AEGP_GetCurrentTimestamp = GetCurrentTimestamp;
    return suite;
}();
const AEGP_WorldSuite3 kAegpWorldSuite = [] {
    auto suite = TableOfTraps<AEGP_WorldSuite3>();
    suite.AEGP_GetType = GetWorldType;
    suite.AEGP_FillOutPFEffectWorld = FillOutPFEffectWorld;
    return suite;
}();

} // namespace

void RegisterRenderSuites(SuiteRegistry& registry)
{
    registry.Serve(kWorldSuite);
    registry.Serve(kRenderOptionsSuite);
    registry.Serve(kRenderSuite);
    registry.Serve(kAegpWorldSuite);
}

} // namespace strandel::host
