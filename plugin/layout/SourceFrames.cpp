#include "layout/SourceFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "frame/FrameTime.h"
#include "frame/GlobalState.h"
#include "frame/ParamIndex.h"
#include "path/CameraInfo.h"
#include "path/PathReader.h"
#include "render/WorldView.h"

namespace strandel {
namespace {

double Ratio(const PF_RationalScale& r) { return r.den == 0 ? 1.0 : double(r.num) / double(r.den); }
double InverseDownsample(const PF_RationalScale& r) { return 1.0 / std::max(Ratio(r), 1e-8); }

bool HasPixels(const PF_EffectWorld* image) { return image && image->data; }

PF_ParamIndex SourceParam(int slotNumber) { return kParamSourceLayer1 + slotNumber; }

// The layer stream value of stream `which`, when it is a 2D or 3D point.
std::optional<Vec3> ReadLayerPoint(SuiteCache& suites, AEGP_LayerH layer, AEGP_LayerStream which,
                                   const A_Time& compTime, bool& threeD)
{
    AEGP_StreamVal2 value{};
    AEGP_StreamType type = AEGP_StreamType_NO_DATA;
    if (suites.Get<AEGP_StreamSuite6>().AEGP_GetLayerStreamValue(layer, which, AEGP_LTimeMode_CompTime, &compTime,
                                                                 false, &value, &type) != A_Err_NONE)
        return std::nullopt;
    if (type < AEGP_StreamType_ThreeD_SPATIAL || type > AEGP_StreamType_TwoD) return std::nullopt;
    threeD = type <= AEGP_StreamType_ThreeD;
    return threeD ? Vec3{value.three_d.x, value.three_d.y, value.three_d.z} : Vec3{value.two_d.x, value.two_d.y, 0};
}

AEGP_ObjectType ObjectTypeOf(SuiteCache& suites, AEGP_LayerH layer)
{
    AEGP_ObjectType type = AEGP_ObjectType_NONE;
    if (suites.Get<AEGP_LayerSuite5>().AEGP_GetLayerObjectType(layer, &type) != A_Err_NONE) return -1;
    return type;
}

bool IsTextOrShape(AEGP_ObjectType type) { return type == AEGP_ObjectType_TEXT || type == AEGP_ObjectType_VECTOR; }

struct FlatQuad {
    double width, height, anchorX, anchorY;
    double uMin, vMin, uMax, vMax;
};

// A text or shape layer: the quad covers its masked bounds, textured by its visible pixels only.
std::optional<FlatQuad> TextShapeQuad(SuiteCache& suites, AEGP_LayerH layer, const A_Time& compTime,
                                      const PF_EffectWorld& image, PF_PixelFormat format)
{
    auto anchor = ReadLayerAnchor(suites, layer, compTime);
    if (!anchor) return std::nullopt;
    A_FloatRect bounds{};
    if (suites.Get<AEGP_LayerSuite5>().AEGP_GetLayerMaskedBounds(layer, AEGP_LTimeMode_CompTime, &compTime, &bounds) !=
            A_Err_NONE ||
        !(bounds.left < bounds.right) || !(bounds.top < bounds.bottom))
        return std::nullopt;
    auto box = OpaqueBounds(image, format);
    if (!box) return std::nullopt;
    const double bw = bounds.right - bounds.left, bh = bounds.bottom - bounds.top;
    if (!(bw > 1e-8) || !(bh > 1e-8)) return std::nullopt;
    return FlatQuad{bw,
                    bh,
                    anchor->x - bounds.left,
                    anchor->y - bounds.top,
                    double(box->x0),
                    double(box->y0),
                    double(std::max(box->x0, box->x1 - 1)),
                    double(std::max(box->y0, box->y1 - 1))};
}

// Where the layer's anchor point lies in the (full-resolution) image.
Vec3 QuadAnchor(SuiteCache& suites, AEGP_LayerH layer, const A_Time& compTime, const PF_EffectWorld& image,
                AEGP_ObjectType objectType, double invDsx, double invDsy)
{
    const double w = std::max(image.width, 0) * invDsx, h = std::max(image.height, 0) * invDsy;
    auto anchor = ReadLayerAnchor(suites, layer, compTime);
    const SourceSize size = LayerSourceSize(suites, layer);
    const double sw = size.ok ? size.width : w, sh = size.ok ? size.height : h;
    if (IsTextOrShape(objectType)) {
        const Vec3 a = anchor.value_or(Vec3{});
        return {sw * 0.5 + a.x - image.origin_x * invDsx, sh * 0.5 + a.y - image.origin_y * invDsy, 0};
    }
    if (!anchor) return {0.5 * w, 0.5 * h, 0};
    return {anchor->x / std::max(sw, 1e-8) * w, anchor->y / std::max(sh, 1e-8) * h, 0};
}

// Checks in a receipt obtained for a frame that yields no quad.
void CheckinReceipt(SuiteCache& suites, AEGP_FrameReceiptH receipt)
{
    if (receipt) suites.Get<AEGP_RenderSuite5>().AEGP_CheckinFrame(receipt);
}

// One inner layer of a collapsed precomp to render: its source item at the layer's own time, at
// the item's size, downsampled by whole factors.
struct InnerLayerRender {
    AEGP_ItemH item;
    A_Time layerTime;
    A_long width, height;
    A_short downsampleX, downsampleY;
};

// Renders one inner layer; the world and receipt join the slot, and `image` shows the world (no
// pixels when the host gave none).
A_Err RenderInnerLayer(const SourceReading& reading, const InnerLayerRender& inner, SourceSlot& slot, ImageView& image)
{
    image = {};
    const PF_InData* in_data = reading.in_data;
    SuiteCache& suites = reading.suites;
    const auto& options = suites.Get<AEGP_RenderOptionsSuite4>();
    AEGP_RenderOptionsH opts = nullptr;
    if (A_Err err = options.AEGP_NewFromItem(PluginId(), inner.item, &opts)) return err;
    A_Err err = options.AEGP_SetTime(opts, inner.layerTime);
    if (!err) err = options.AEGP_SetTimeStep(opts, A_Time{in_data->time_step, in_data->time_scale});
    if (!err) err = options.AEGP_SetDownsampleFactor(opts, inner.downsampleX, inner.downsampleY);
    const A_LRect roi{0, 0, inner.width, inner.height};
    if (!err) err = options.AEGP_SetRegionOfInterest(opts, &roi);
    if (!err) err = options.AEGP_SetMatteMode(opts, AEGP_MatteMode_STRAIGHT);
    AEGP_FrameReceiptH receipt = nullptr;
    AEGP_WorldH hostWorld = nullptr;
    PF_EffectWorld pfWorld{};
    AEGP_WorldType type = AEGP_WorldType_NONE;
    const auto& render = suites.Get<AEGP_RenderSuite5>();
    const auto& worlds = suites.Get<AEGP_WorldSuite3>();
    if (!err) err = render.AEGP_RenderAndCheckoutFrame(opts, nullptr, nullptr, &receipt);
    if (!err && receipt) err = render.AEGP_GetReceiptWorld(receipt, &hostWorld);
    if (!err && hostWorld) err = worlds.AEGP_FillOutPFEffectWorld(hostWorld, &pfWorld);
    if (!err && hostWorld) err = worlds.AEGP_GetType(hostWorld, &type);
    A_Err disposeErr = options.AEGP_Dispose(opts);
    if (!err) err = disposeErr;
    if (err || !hostWorld || !pfWorld.data) {
        CheckinReceipt(suites, receipt);
        return err;
    }
    const PF_PixelFormat format = type == AEGP_WorldType_32   ? PF_PixelFormat_ARGB128
                                  : type == AEGP_WorldType_16 ? PF_PixelFormat_ARGB64
                                                              : PF_PixelFormat_ARGB32;
    slot.worlds.push_back(pfWorld);
    slot.receipts.push_back(receipt);
    image = ViewOf(slot.worlds.back(), format);
    return A_Err_NONE;
}

// Whether an inner layer of a precomp is drawn as its own quad, and its source item if so.
AEGP_ItemH DrawableInnerLayerItem(SuiteCache& suites, AEGP_LayerH inner, const A_Time& precompTime, A_long& w,
                                  A_long& h)
{
    const auto& layers = suites.Get<AEGP_LayerSuite5>();
    AEGP_LayerFlags flags = 0;
    A_Boolean active = false;
    AEGP_ItemH item = nullptr;
    AEGP_ItemType itemType = AEGP_ItemType_NONE;
    if (!inner || layers.AEGP_GetLayerFlags(inner, &flags) != A_Err_NONE || (flags & AEGP_LayerFlag_NULL_LAYER))
        return nullptr;
    if (layers.AEGP_IsVideoActive(inner, AEGP_LTimeMode_CompTime, &precompTime, &active) != A_Err_NONE || !active)
        return nullptr;
    if (ObjectTypeOf(suites, inner) != AEGP_ObjectType_AV) return nullptr;
    if (layers.AEGP_GetLayerSourceItem(inner, &item) != A_Err_NONE || !item) return nullptr;
    const auto& items = suites.Get<AEGP_ItemSuite6>();
    if (items.AEGP_GetItemType(item, &itemType) != A_Err_NONE ||
        (itemType != AEGP_ItemType_COMP && itemType != AEGP_ItemType_FOOTAGE))
        return nullptr;
    if (items.AEGP_GetItemDimensions(item, &w, &h) != A_Err_NONE || w < 1 || h < 1) return nullptr;
    return item;
}

// The precomp behind a layer whose 3D transformations are collapsed, its time and its layer count.
struct CollapsedPrecomp {
    AEGP_CompH comp = nullptr;
    A_Time time{};
    A_long layerCount = 0;
};

// None when the layer is drawn flat.
std::optional<CollapsedPrecomp> FindCollapsedPrecomp(SuiteCache& suites, AEGP_LayerH layer, const A_Time& compTime)
{
    const auto& layers = suites.Get<AEGP_LayerSuite5>();
    AEGP_LayerFlags flags = 0;
    AEGP_ItemH item = nullptr;
    AEGP_ItemType itemType = AEGP_ItemType_NONE;
    CollapsedPrecomp precomp;
    const A_long kCollapsed3D = AEGP_LayerFlag_COLLAPSE | AEGP_LayerFlag_LAYER_IS_3D;
    if (layers.AEGP_GetLayerFlags(layer, &flags) != A_Err_NONE || (flags & kCollapsed3D) != kCollapsed3D ||
        layers.AEGP_GetLayerSourceItem(layer, &item) != A_Err_NONE || !item ||
        suites.Get<AEGP_ItemSuite6>().AEGP_GetItemType(item, &itemType) != A_Err_NONE ||
        itemType != AEGP_ItemType_COMP ||
        suites.Get<AEGP_CompSuite4>().AEGP_GetCompFromItem(item, &precomp.comp) != A_Err_NONE || !precomp.comp)
        return std::nullopt;
    if (layers.AEGP_ConvertCompToLayerTime(layer, &compTime, &precomp.time) != A_Err_NONE ||
        layers.AEGP_GetCompNumLayers(precomp.comp, &precomp.layerCount) != A_Err_NONE)
        precomp.layerCount = 0;
    return precomp;
}

} // namespace

PF_PixelFormat WorldPixelFormat(SuiteCache& suites, const PF_EffectWorld* image)
{
    PF_PixelFormat format = (image->world_flags & PF_WorldFlag_DEEP) ? PF_PixelFormat_ARGB64 : PF_PixelFormat_ARGB32;
    PF_PixelFormat answer = PF_PixelFormat_INVALID;
    if (auto world = suites.TryGet<PF_WorldSuite2>();
        world && world->PF_GetPixelFormat(image, &answer) == PF_Err_NONE && answer != PF_PixelFormat_INVALID)
        format = answer;
    return format;
}

std::optional<PixelBox> OpaqueBounds(const PF_EffectWorld& image, PF_PixelFormat format)
{
    if (!image.data) return std::nullopt;
    const int x0 = std::max(image.extent_hint.left, 0), y0 = std::max(image.extent_hint.top, 0);
    const int x1 = std::min(image.extent_hint.right, image.width),
              y1 = std::min(image.extent_hint.bottom, image.height);
    PixelBox box{x1, y1, x0, y0};
    const auto* base = reinterpret_cast<const uint8_t*>(image.data);
    for (int y = y0; y < y1; ++y) {
        const uint8_t* row = base + std::ptrdiff_t(y) * image.rowbytes;
        for (int x = x0; x < x1; ++x) {
            double alpha;
            if (format == PF_PixelFormat_ARGB128) alpha = reinterpret_cast<const float*>(row)[4 * x];
            else if (format == PF_PixelFormat_ARGB64)
                alpha = reinterpret_cast<const uint16_t*>(row)[4 * x] * 3.0517578125e-5;
            else alpha = row[4 * x] / 255.0;
            if (!(alpha > 1e-6)) continue;
            box.x0 = std::min(box.x0, x), box.y0 = std::min(box.y0, y);
            box.x1 = std::max(box.x1, x + 1), box.y1 = std::max(box.y1, y + 1);
        }
    }
    if (box.x0 >= box.x1 || box.y0 >= box.y1) return std::nullopt;
    return box;
}

std::optional<Vec3> ReadLayerAnchor(SuiteCache& suites, AEGP_LayerH layer, const A_Time& compTime)
{
    bool threeD = false;
    return ReadLayerPoint(suites, layer, AEGP_LayerStream_ANCHORPOINT, compTime, threeD);
}

Vec3 ReadLayerScale(SuiteCache& suites, AEGP_LayerH layer, const A_Time& compTime)
{
    bool threeD = false;
    auto scale = ReadLayerPoint(suites, layer, AEGP_LayerStream_SCALE, compTime, threeD);
    if (!scale) return {1, 1, 1};
    return {scale->x / 100, scale->y / 100, threeD ? scale->z / 100 : 1.0};
}

SourceSize LayerSourceSize(SuiteCache& suites, AEGP_LayerH layer)
{
    AEGP_ItemH item = nullptr;
    A_long w = 0, h = 0;
    if (suites.Get<AEGP_LayerSuite5>().AEGP_GetLayerSourceItem(layer, &item) != A_Err_NONE || !item ||
        suites.Get<AEGP_ItemSuite6>().AEGP_GetItemDimensions(item, &w, &h) != A_Err_NONE || w < 1 || h < 1)
        return {};
    return {true, double(w), double(h)};
}

bool SourceYieldsQuads(const SourceReading& reading, int slotNumber)
{
    SuiteCache& suites = reading.suites;
    const A_Time& compTime = reading.compTime;
    AEGP_LayerH layer = GetLayerFromLayerParam(reading.in_data, suites, SourceParam(slotNumber), compTime);
    if (!layer) return true;
    const auto precomp = FindCollapsedPrecomp(suites, layer, compTime);
    if (!precomp) return true;
    const auto& layers = suites.Get<AEGP_LayerSuite5>();
    for (A_long i = 0; i < precomp->layerCount; ++i) {
        AEGP_LayerH inner = nullptr;
        A_long w = 0, h = 0;
        if (layers.AEGP_GetCompLayerByIndex(precomp->comp, i, &inner) == A_Err_NONE &&
            DrawableInnerLayerItem(suites, inner, precomp->time, w, h))
            return true;
    }
    return false;
}

namespace {

// One quad per drawn inner layer when the layer is a collapsed 3D precomp; `collapsed` says
// whether it is one.
PF_Err BuildCollapsedQuads(const SourceReading& reading, AEGP_LayerH layer, const PF_EffectWorld& image,
                           SourceSlot& slot, std::vector<SourceQuad>& quads, bool& collapsed)
{
    collapsed = false;
    quads.clear();
    SuiteCache& suites = reading.suites;
    const A_Time& compTime = reading.compTime;
    const double invDsx = InverseDownsample(reading.in_data->downsample_x);
    const double invDsy = InverseDownsample(reading.in_data->downsample_y);
    const auto precomp = FindCollapsedPrecomp(suites, layer, compTime);
    if (!precomp) return PF_Err_NONE;
    collapsed = true;
    const A_long n = precomp->layerCount;
    const A_Time& precompTime = precomp->time;
    if (n <= 0) return PF_Err_NONE;
    const auto& layers = suites.Get<AEGP_LayerSuite5>();

    Vec3 centre;
    if (auto anchor = ReadLayerAnchor(suites, layer, compTime)) {
        centre = {anchor->x, anchor->y, 0};
    } else {
        const SourceSize size = LayerSourceSize(suites, layer);
        centre = size.ok ? Vec3{size.width / 2, size.height / 2, 0}
                         : Vec3{image.width * invDsx / 2, image.height * invDsy / 2, 0};
    }
    const Vec3 k = ReadLayerScale(suites, layer, compTime);
    const auto dx = static_cast<A_short>(std::max(1.0, std::round(invDsx)));
    const auto dy = static_cast<A_short>(std::max(1.0, std::round(invDsy)));
    slot.receipts.reserve(slot.receipts.size() + static_cast<std::size_t>(n));
    quads.reserve(static_cast<std::size_t>(n));

    for (A_long i = 0; i < n; ++i) {
        AEGP_LayerH inner = nullptr;
        if (layers.AEGP_GetCompLayerByIndex(precomp->comp, i, &inner) != A_Err_NONE) continue;
        A_long w = 0, h = 0;
        AEGP_ItemH innerItem = DrawableInnerLayerItem(suites, inner, precompTime, w, h);
        if (!innerItem) continue;
        A_Time layerTime{};
        if (A_Err err = layers.AEGP_ConvertCompToLayerTime(inner, &precompTime, &layerTime)) return err;
        ImageView world;
        if (A_Err err = RenderInnerLayer(reading, {innerItem, layerTime, w, h, dx, dy}, slot, world)) return err;
        if (!world.HasPixels()) continue;
        A_Matrix4 m{};
        if (A_Err err = layers.AEGP_GetLayerToWorldXform(inner, &precompTime, &m)) return err;
        Matrix4 toWorld;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) toWorld.m[r][c] = m.mat[r][c];
        SourceQuad quad;
        quad.image = world;
        const Vec3 corners[4] = {{0, 0, 0}, {double(w), 0, 0}, {double(w), double(h), 0}, {0, double(h), 0}};
        for (int c = 0; c < 4; ++c) {
            const Vec3 p = TransformPoint(toWorld, corners[c]);
            quad.corners[c] = {(p.x - centre.x) * k.x, (p.y - centre.y) * k.y, p.z * k.z};
        }
        quad.uMax = world.width - 1;
        quad.vMax = world.height - 1;
        quads.push_back(quad);
    }
    return PF_Err_NONE;
}

PF_Err BuildSourceEntry(const SourceReading& reading, int slotNumber, const PF_EffectWorld* image, SourceSlot& slot,
                        SourceEntry& entry)
{
    entry = {slotNumber, {}};
    const PF_InData* in_data = reading.in_data;
    SuiteCache& suites = reading.suites;
    const A_Time& compTime = reading.compTime;
    const double invDsx = InverseDownsample(in_data->downsample_x), invDsy = InverseDownsample(in_data->downsample_y);
    AEGP_LayerH layer = GetLayerFromLayerParam(in_data, suites, SourceParam(slotNumber), compTime);
    Vec3 scale{1, 1, 1};
    AEGP_ObjectType objectType = -1;
    if (layer) {
        scale = ReadLayerScale(suites, layer, compTime);
        objectType = ObjectTypeOf(suites, layer);
        bool collapsed = false;
        if (PF_Err err = BuildCollapsedQuads(reading, layer, *image, slot, entry.quads, collapsed)) return err;
        if (collapsed) return PF_Err_NONE;
    }

    const PF_PixelFormat format = WorldPixelFormat(suites, image);
    std::optional<FlatQuad> flat;
    if (layer && IsTextOrShape(objectType)) flat = TextShapeQuad(suites, layer, compTime, *image, format);
    if (!flat) {
        const Vec3 anchor = layer ? QuadAnchor(suites, layer, compTime, *image, objectType, invDsx, invDsy)
                                  : Vec3{0.5 * image->width * invDsx, 0.5 * image->height * invDsy, 0};
        flat = FlatQuad{image->width * invDsx,
                        image->height * invDsy,
                        anchor.x,
                        anchor.y,
                        0,
                        0,
                        double(std::max(image->width - 1, 0)),
                        double(std::max(image->height - 1, 0))};
    }
    SourceQuad quad;
    quad.image = ViewOf(*image, format);
    const double W = scale.x * flat->width, H = scale.y * flat->height;
    const double ax = scale.x * flat->anchorX, ay = scale.y * flat->anchorY;
    quad.corners[0] = {-ax, -ay, 0};
    quad.corners[1] = {W - ax, -ay, 0};
    quad.corners[2] = {W - ax, H - ay, 0};
    quad.corners[3] = {-ax, H - ay, 0};
    quad.uMin = flat->uMin, quad.vMin = flat->vMin, quad.uMax = flat->uMax, quad.vMax = flat->vMax;
    entry.quads.push_back(quad);
    return PF_Err_NONE;
}

// The source checked out at another time than the frame's, for the legacy render's shifted copies.
PF_Err CheckoutSourceAtTime(const SourceReading& shifted, int slotNumber, A_long frameTime, SourceSlot& slot,
                            SourceEntry& entry)
{
    const PF_InData* in_data = shifted.in_data;
    PF_ParamDef& def = slot.extraParams.emplace_back();
    PF_Err err = in_data->inter.checkout_param(in_data->effect_ref, SourceParam(slotNumber), frameTime,
                                               in_data->time_step, in_data->time_scale, &def);
    if (err != PF_Err_NONE) {
        slot.extraParams.pop_back();
        return err;
    }
    if (!HasPixels(&def.u.ld)) {
        in_data->inter.checkin_param(in_data->effect_ref, &def);
        slot.extraParams.pop_back();
        return PF_Err_NONE;
    }
    return BuildSourceEntry(shifted, slotNumber, &def.u.ld, slot, entry);
}

} // namespace

PF_Err BuildSourceList(const SourceReading& reading, SourceSlots& slots, SourceList& list)
{
    const PF_InData* in_data = reading.in_data;
    PF_SmartRenderExtra* smart = reading.smart;
    list.clear();
    for (int s = 0; s < kSourceSlotCount; ++s) {
        SourceSlot& slot = slots[s];
        slot = SourceSlot{};
        const PF_ParamIndex param = SourceParam(s);
        const PF_EffectWorld* image = nullptr;
        if (smart) {
            PF_EffectWorld* pixels = nullptr;
            if (smart->cb->checkout_layer_pixels(in_data->effect_ref, param, &pixels) == PF_Err_NONE) {
                slot.pixelsCheckedOut = true;
                slot.checkoutId = param;
                image = pixels;
            }
        } else if (in_data->inter.checkout_param(in_data->effect_ref, param, in_data->current_time, in_data->time_step,
                                                 in_data->time_scale, &slot.param) == PF_Err_NONE) {
            slot.paramCheckedOut = true;
            image = &slot.param.u.ld;
        }
        if (!HasPixels(image)) continue;
        slot.image = image;
        SourceEntry entry;
        if (PF_Err err = BuildSourceEntry(reading, s, image, slot, entry)) return err;
        if (!entry.quads.empty()) list.push_back(std::move(entry));
    }
    return PF_Err_NONE;
}

namespace {

struct FrameCacheItem {
    int32_t source;
    A_long frameTime;
    const SourceEntry* entry;
};

// Of the items showing `source`, the one whose frame time is nearest to `key`; the first wins ties.
template <class Items, class SourceOf, class TimeOf>
auto Nearest(Items& items, int32_t source, A_long key, SourceOf sourceOf, TimeOf timeOf) -> decltype(&items[0])
{
    decltype(&items[0]) best = nullptr;
    for (auto& item : items) {
        if (sourceOf(item) != source) continue;
        if (!best || std::llabs(int64_t(timeOf(item)) - key) < std::llabs(int64_t(timeOf(*best)) - key)) best = &item;
    }
    return best;
}

// Fills a new time-shifted entry from the checkouts smart pre-render registered.
PF_Err FillFromCheckouts(const SourceReading& reading, const SourceEntry& source, A_long key, SourceSlot& slot,
                         SourceCheckoutList& checkouts, SourceEntry& entry, bool& dropped)
{
    const PF_InData* in_data = reading.in_data;
    dropped = true;
    auto position = static_cast<uint32_t>(source.slot);
    SourceCheckout* match = nullptr;
    for (SourceCheckout& c : checkouts)
        if (c.sourcePosition == position && c.frameTime == key) match = &c;
    if (!match) {
        // Pre-render fetched every frame it could; only a full list means this one was left out.
        if (checkouts.size() < kMaxOffsetFrames) return PF_Err_NONE;
        match = Nearest(
            checkouts, static_cast<int32_t>(position), key,
            [](const SourceCheckout& c) { return static_cast<int32_t>(c.sourcePosition); },
            [](const SourceCheckout& c) { return c.frameTime; });
        if (!match) return PF_Err_NONE;
    }
    if (!match->checkedOut) {
        if (PF_Err err = reading.smart->cb->checkout_layer_pixels(
                in_data->effect_ref, static_cast<A_long>(match->checkoutId), &match->pixels))
            return err;
        match->checkedOut = true;
    }
    if (!HasPixels(match->pixels)) return PF_Err_NONE;
    dropped = false;
    const A_Time shifted = AddSecondsToCompTime(reading.compTime, FrameTimeOffsetSeconds(*in_data, match->frameTime));
    return BuildSourceEntry(reading.At(shifted), source.slot, match->pixels, slot, entry);
}

} // namespace

PF_Err ResolveInstanceFrames(const SourceReading& reading, const SourceList& list, SourceSlots& slots,
                             ShiftedFrames& shifted, InstanceList& instances, SourceCheckoutList* checkouts)
{
    const PF_InData* in_data = reading.in_data;
    shifted.clear();
    std::vector<FrameCacheItem> cache;
    cache.reserve(kMaxOffsetFrames);
    const bool legacy = !reading.smart || !checkouts;
    for (SpriteInstance& inst : instances) {
        if (std::fabs(inst.timeOffset) <= 1e-8) continue;
        if (inst.source < 0 || static_cast<std::size_t>(inst.source) >= list.size() ||
            list[inst.source].slot >= kSourceSlotCount || list[inst.source].slot < 0) {
            inst.frame = nullptr;
            continue;
        }
        const SourceEntry& source = list[inst.source];
        const A_long key = ShiftedFrameTime(*in_data, inst.timeOffset);
        auto hit = std::find_if(cache.begin(), cache.end(),
                                [&](const FrameCacheItem& c) { return c.source == inst.source && c.frameTime == key; });
        if (hit != cache.end()) {
            inst.frame = hit->entry;
            continue;
        }
        if (cache.size() >= kMaxOffsetFrames) {
            auto nearest = Nearest(
                cache, inst.source, key, [](const FrameCacheItem& c) { return c.source; },
                [](const FrameCacheItem& c) { return c.frameTime; });
            inst.frame = nearest ? nearest->entry : nullptr;
            continue;
        }
        SourceEntry& entry = shifted.emplace_back();
        SourceSlot& slot = slots[source.slot];
        bool dropped = false;
        PF_Err err;
        if (legacy) {
            const A_Time shiftedTime = AddSecondsToCompTime(reading.compTime, FrameTimeOffsetSeconds(*in_data, key));
            err = CheckoutSourceAtTime(reading.At(shiftedTime), source.slot, key, slot, entry);
        } else {
            err = FillFromCheckouts(reading, source, key, slot, *checkouts, entry, dropped);
        }
        if (err != PF_Err_NONE) return err;
        if (dropped) {
            shifted.pop_back();
            inst.frame = nullptr;
            continue;
        }
        const SourceEntry* frame = entry.quads.empty() ? nullptr : &entry;
        cache.push_back({inst.source, key, frame});
        inst.frame = frame;
    }
    return PF_Err_NONE;
}

PF_Err ReleaseSourceFrames(const PF_InData* in_data, SourceSlots& slots, PF_SmartRenderExtra* smart)
{
    PF_Err first = PF_Err_NONE;
    auto keep = [&](PF_Err err) {
        if (first == PF_Err_NONE) first = err;
    };
    for (SourceSlot& slot : slots) {
        if (!slot.receipts.empty()) {
            SuiteCache suites(in_data->pica_basicP);
            for (AEGP_FrameReceiptH receipt : slot.receipts)
                keep(suites.Get<AEGP_RenderSuite5>().AEGP_CheckinFrame(receipt));
        }
        slot.receipts.clear();
        slot.worlds.clear();
        if (smart && slot.pixelsCheckedOut) keep(smart->cb->checkin_layer_pixels(in_data->effect_ref, slot.checkoutId));
        slot.pixelsCheckedOut = false;
        for (PF_ParamDef& def : slot.extraParams) keep(in_data->inter.checkin_param(in_data->effect_ref, &def));
        slot.extraParams.clear();
        if (slot.paramCheckedOut) keep(in_data->inter.checkin_param(in_data->effect_ref, &slot.param));
        slot.paramCheckedOut = false;
        slot.image = nullptr;
    }
    return first;
}

} // namespace strandel
