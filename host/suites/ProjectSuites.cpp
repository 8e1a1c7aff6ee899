// AEGP suites that answer for the project: PF Interface, Layer, Comp, Item and Effect.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "host/project/LayerQueries.h"
#include "host/project/Transforms.h"
#include "host/suites/ProjectHandles.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

constexpr A_Err kBadHandle = A_Err_PARAMETER;

// Live handles the plug-in holds; a handle outside this set is refused.
struct LiveHandles {
    std::mutex mutex;
    std::unordered_set<const void*> effects, streams;
};
LiveHandles& Live()
{
    static LiveHandles live;
    return live;
}

const Layer* EffectLayer(PF_ProgPtr effect_ref)
{
    EffectInstance* fx = InstanceOf(effect_ref);
    return fx ? fx->layer : nullptr;
}

const Composition* CompOf(const Layer* layer)
{
    return layer ? Host::Current().project().CompOfLayer(*layer) : nullptr;
}

void FillMatrix(const Matrix4& m, A_Matrix4* out)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out->mat[r][c] = m.m[r][c];
}

// PF Interface -------------------------------------------------------------------------------

A_Err GetEffectLayer(PF_ProgPtr effect_ref, AEGP_LayerH* layer)
{
    if (!layer) return A_Err_PARAMETER;
    const Layer* l = EffectLayer(effect_ref);
    *layer = ToHandle(l);
    return l ? A_Err_NONE : kBadHandle;
}

A_Err GetNewEffectForEffect(AEGP_PluginID id, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect)
{
    EffectInstance* fx = InstanceOf(effect_ref);
    if (id == 0 || !effect || !fx) return A_Err_PARAMETER;
    *effect = NewEffectHandle(fx);
    return A_Err_NONE;
}

// The effect's time is the comp's time: effect layers are neither offset nor stretched here.
A_Err ConvertEffectToCompTime(PF_ProgPtr effect_ref, A_long what_time, A_u_long time_scale, A_Time* comp_time)
{
    if (!comp_time || !InstanceOf(effect_ref)) return A_Err_PARAMETER;
    *comp_time = {what_time, time_scale};
    return A_Err_NONE;
}

A_Err GetEffectCameraMatrix(PF_ProgPtr effect_ref, const A_Time* comp_time, A_Matrix4* matrix, A_FpLong* distance,
                            A_short* plane_width, A_short* plane_height)
{
    const Layer* layer = EffectLayer(effect_ref);
    const Composition* comp = CompOf(layer);
    if (!comp || !comp_time || !matrix) return A_Err_PARAMETER;
    if (Host::Current().faults.cameraMatrix) return A_Err_GENERIC;
    const double t = Seconds(*comp_time);
    const Project& project = Host::Current().project();
    auto worldToLayer = WorldToLayer(project, *layer, t);
    if (!worldToLayer) return A_Err_GENERIC;
    const CameraView camera = CompCamera(project, *comp, t);
    FillMatrix(camera.cameraToWorld * *worldToLayer, matrix);
    if (distance) *distance = camera.zoom;
    if (plane_width) *plane_width = static_cast<A_short>(std::min(comp->width, 32767));
    if (plane_height) *plane_height = static_cast<A_short>(std::min(comp->height, 32767));
    return A_Err_NONE;
}

// Layer ---------------------------------------------------------------------------------------

A_Err GetCompNumLayers(AEGP_CompH comp, A_long* n)
{
    const Composition* c = FromHandle(comp);
    if (!c || !n) return kBadHandle;
    *n = static_cast<A_long>(c->layers.size());
    return A_Err_NONE;
}

A_Err GetCompLayerByIndex(AEGP_CompH comp, A_long index, AEGP_LayerH* layer)
{
    const Composition* c = FromHandle(comp);
    if (!c || !layer || index < 0 || index >= static_cast<A_long>(c->layers.size())) return kBadHandle;
    *layer = ToHandle(&c->layers[static_cast<std::size_t>(index)]);
    return A_Err_NONE;
}

A_Err GetLayerSourceItem(AEGP_LayerH layer, AEGP_ItemH* item)
{
    const Layer* l = FromHandle(layer);
    if (!l || !item) return kBadHandle;
    *item = ToHandle(Host::Current().ItemForLayerSource(*l));
    return A_Err_NONE;
}

A_Err GetLayerID(AEGP_LayerH layer, AEGP_LayerIDVal* id)
{
    const Layer* l = FromHandle(layer);
    if (!l || !id) return kBadHandle;
    *id = l->id;
    return A_Err_NONE;
}

// 0-based, top first.
A_Err GetLayerIndex(AEGP_LayerH layer, A_long* index)
{
    const Layer* l = FromHandle(layer);
    const Composition* comp = CompOf(l);
    if (!comp || !index) return kBadHandle;
    *index = comp->IndexOf(*l) - 1;
    return A_Err_NONE;
}

A_Err GetLayerFlags(AEGP_LayerH layer, AEGP_LayerFlags* flags)
{
    const Layer* l = FromHandle(layer);
    if (!l || !flags) return kBadHandle;
    *flags = LayerFlags(*l);
    return A_Err_NONE;
}

A_Err IsVideoActive(AEGP_LayerH layer, AEGP_LTimeMode, const A_Time*, A_Boolean* active)
{
    const Layer* l = FromHandle(layer);
    if (!l || !active) return kBadHandle;
    *active = (LayerFlags(*l) & AEGP_LayerFlag_VIDEO_ACTIVE) != 0;
    return A_Err_NONE;
}

A_Err GetLayerParentComp(AEGP_LayerH layer, AEGP_CompH* comp)
{
    const Layer* l = FromHandle(layer);
    if (!l || !comp) return kBadHandle;
    *comp = ToHandle(CompOf(l));
    return A_Err_NONE;
}

// Layers start at comp time 0 and run at the comp's speed.
A_Err ConvertCompToLayerTime(AEGP_LayerH layer, const A_Time* comp_time, A_Time* layer_time)
{
    if (!FromHandle(layer) || !comp_time || !layer_time) return kBadHandle;
    *layer_time = *comp_time;
    return A_Err_NONE;
}

A_Err GetLayerMaskedBounds(AEGP_LayerH layer, AEGP_LTimeMode, const A_Time*, A_FloatRect* bounds)
{
    const Layer* l = FromHandle(layer);
    if (!l || !bounds) return kBadHandle;
    auto size = LayerSourceSize(Host::Current().project(), *l);
    if (!size) return A_Err_GENERIC;
    const double w = size->width, h = size->height;
    *bounds = {0, 0, w, h};
    if (l->type == LayerType::Shape) {
        // A shape layer's visible bounds are its shape's, within the layer.
        const Point2 extent = l->shape.size.value_or(Point2{w, h});
        const Point2 centre = l->shape.centre.value_or(Point2{w / 2, h / 2});
        *bounds = {std::max(0.0, centre.x - extent.x / 2), std::max(0.0, centre.y - extent.y / 2),
                   std::min(w, centre.x + extent.x / 2), std::min(h, centre.y + extent.y / 2)};
    }
    return A_Err_NONE;
}

A_Err GetLayerObjectType(AEGP_LayerH layer, AEGP_ObjectType* type)
{
    const Layer* l = FromHandle(layer);
    if (!l || !type) return kBadHandle;
    *type = LayerObjectType(*l);
    return A_Err_NONE;
}

A_Err GetLayerToWorldXform(AEGP_LayerH layer, const A_Time* comp_time, A_Matrix4* xform)
{
    const Layer* l = FromHandle(layer);
    if (!l || !comp_time || !xform) return kBadHandle;
    FillMatrix(LayerToWorld(Host::Current().project(), *l, Seconds(*comp_time)), xform);
    return A_Err_NONE;
}

A_Err GetLayerFromLayerID(AEGP_CompH comp, AEGP_LayerIDVal id, AEGP_LayerH* layer)
{
    const Composition* c = FromHandle(comp);
    if (!c || !layer) return kBadHandle;
    for (const Layer& l : c->layers)
        if (l.id == id) {
            *layer = ToHandle(&l);
            return A_Err_NONE;
        }
    *layer = nullptr;
    return A_Err_GENERIC;
}

A_Err GetLayerParent(AEGP_LayerH layer, AEGP_LayerH* parent)
{
    const Layer* l = FromHandle(layer);
    if (!l || !parent) return kBadHandle;
    *parent = ToHandle(Host::Current().project().ParentOf(*l));
    return A_Err_NONE;
}

// Comp and Item --------------------------------------------------------------------------------

A_Err GetCompFromItem(AEGP_ItemH item, AEGP_CompH* comp)
{
    const Host::Item* i = FromHandle(item);
    if (!i || !comp) return kBadHandle;
    *comp = ToHandle(i->comp);
    return i->comp ? A_Err_NONE : A_Err_GENERIC;
}

A_Err GetItemFromComp(AEGP_CompH comp, AEGP_ItemH* item)
{
    const Composition* c = FromHandle(comp);
    if (!c || !item) return kBadHandle;
    *item = ToHandle(Host::Current().ItemForComp(*c));
    return A_Err_NONE;
}

A_Err GetActiveItem(AEGP_ItemH* item)
{
    if (!item) return A_Err_PARAMETER;
    const Host& host = Host::Current();
    if (host.activeFootage) *item = ToHandle(host.ItemForLayerSource(*host.activeFootage));
    else *item = host.activeComp ? ToHandle(host.ItemForComp(*host.activeComp)) : nullptr;
    return A_Err_NONE;
}

A_Err GetItemType(AEGP_ItemH item, AEGP_ItemType* type)
{
    const Host::Item* i = FromHandle(item);
    if (!i || !type) return kBadHandle;
    *type = i->comp ? AEGP_ItemType_COMP : AEGP_ItemType_FOOTAGE;
    return A_Err_NONE;
}

A_Err GetItemID(AEGP_ItemH item, AEGP_ItemID* id)
{
    const Host::Item* i = FromHandle(item);
    if (!i || !id) return kBadHandle;
    *id = i->id;
    return A_Err_NONE;
}

A_Err GetItemDimensions(AEGP_ItemH item, A_long* width, A_long* height)
{
    const Host::Item* i = FromHandle(item);
    if (!i || !width || !height) return kBadHandle;
    if (i->comp) {
        *width = i->comp->width;
        *height = i->comp->height;
        return A_Err_NONE;
    }
    auto size = LayerSourceSize(Host::Current().project(), *i->footage);
    if (!size) return A_Err_GENERIC;
    *width = size->width;
    *height = size->height;
    return A_Err_NONE;
}

A_Err GetItemCurrentTime(AEGP_ItemH item, A_Time* time)
{
    const Host::Item* i = FromHandle(item);
    if (!i || !time) return kBadHandle;
    const TimeBase base = i->comp ? i->comp->timeBase : TimeBase{};
    *time = SecondsToTime(Host::Current().currentSeconds, base.scale);
    return A_Err_NONE;
}

// Effect ---------------------------------------------------------------------------------------

constexpr AEGP_InstalledEffectKey kStrandelKey = 1;

A_Err GetLayerNumEffects(AEGP_LayerH layer, A_long* n)
{
    const Layer* l = FromHandle(layer);
    if (!l || !n) return kBadHandle;
    *n = static_cast<A_long>(l->effects.size());
    return A_Err_NONE;
}

A_Err GetLayerEffectByIndex(AEGP_PluginID id, AEGP_LayerH layer, AEGP_EffectIndex index, AEGP_EffectRefH* effect)
{
    const Layer* l = FromHandle(layer);
    if (id == 0 || !l || !effect) return kBadHandle;
    EffectInstance* fx = Host::Current().FindInstance(l->id, index);
    if (!fx) return A_Err_PARAMETER;
    *effect = NewEffectHandle(fx);
    return A_Err_NONE;
}

A_Err GetInstalledKeyFromLayerEffect(AEGP_EffectRefH effect, AEGP_InstalledEffectKey* key)
{
    if (!FromHandle(effect) || !key) return kBadHandle;
    *key = kStrandelKey;
    return A_Err_NONE;
}

A_Err DisposeEffect(AEGP_EffectRefH effect)
{
    auto& live = Live();
    std::lock_guard lock(live.mutex);
    if (!live.effects.erase(effect)) return kBadHandle;
    delete reinterpret_cast<EffectHandle*>(effect);
    --Host::Current().log().liveEffectHandles;
    return A_Err_NONE;
}

A_Err EffectCallGeneric(AEGP_PluginID id, AEGP_EffectRefH effect, const A_Time* time, PF_Cmd cmd, void* extra)
{
    EffectHandle* h = FromHandle(effect);
    if (id == 0 || !h || !time) return kBadHandle;
    ++Host::Current().log().genericCalls;
    return h->instance->Command(cmd, nullptr, nullptr, nullptr, extra);
}

A_Err GetEffectMatchName(AEGP_InstalledEffectKey key, A_char* match_name)
{
    if (key != kStrandelKey || !match_name) return A_Err_PARAMETER;
    const std::string& name = Host::Current().registration().matchName;
    std::strncpy(match_name, name.c_str(), 47); // the host's match names hold 48 bytes
    match_name[47] = '\0';
    return A_Err_NONE;
}

const AEGP_PFInterfaceSuite1 kPFInterface = [] {
    auto suite = TableOfTraps<AEGP_PFInterfaceSuite1>();
    suite.AEGP_GetEffectLayer = GetEffectLayer;
    suite.AEGP_GetNewEffectForEffect = GetNewEffectForEffect;
    suite.AEGP_ConvertEffectToCompTime = ConvertEffectToCompTime;
    suite.AEGP_GetEffectCameraMatrix = GetEffectCameraMatrix;
    return suite;
}();
const AEGP_LayerSuite5 kLayer = [] {
    auto suite = TableOfTraps<AEGP_LayerSuite5>();
    suite.AEGP_GetCompNumLayers = GetCompNumLayers;
    suite.AEGP_GetCompLayerByIndex = GetCompLayerByIndex;
    suite.AEGP_GetLayerSourceItem = GetLayerSourceItem;
    suite.AEGP_GetLayerID = GetLayerID;
    suite.AEGP_GetLayerIndex = GetLayerIndex;
    suite.AEGP_GetLayerFlags = GetLayerFlags;
    suite.AEGP_IsVideoActive = IsVideoActive;
    suite.AEGP_GetLayerParentComp = GetLayerParentComp;
    suite.AEGP_ConvertCompToLayerTime = ConvertCompToLayerTime;
    suite.AEGP_GetLayerMaskedBounds = GetLayerMaskedBounds;
    suite.AEGP_GetLayerObjectType = GetLayerObjectType;
    suite.AEGP_GetLayerToWorldXform = GetLayerToWorldXform;
    suite.AEGP_GetLayerFromLayerID = GetLayerFromLayerID;
    suite.AEGP_GetLayerParent = GetLayerParent;
    return suite;
}();
const AEGP_CompSuite4 kComp = [] {
    auto suite = TableOfTraps<AEGP_CompSuite4>();
    suite.AEGP_GetCompFromItem = GetCompFromItem;
    suite.AEGP_GetItemFromComp = GetItemFromComp;
    return suite;
}();
// The idle watcher asks the newer comp suite for the same call.
const AEGP_CompSuite12 kComp12 = [] {
    auto suite = TableOfTraps<AEGP_CompSuite12>();
    suite.AEGP_GetCompFromItem = GetCompFromItem;
    suite.AEGP_GetItemFromComp = GetItemFromComp;
    return suite;
}();
const AEGP_ItemSuite6 kItem = [] {
    auto suite = TableOfTraps<AEGP_ItemSuite6>();
    suite.AEGP_GetActiveItem = GetActiveItem;
    suite.AEGP_GetItemType = GetItemType;
    suite.AEGP_GetItemID = GetItemID;
    suite.AEGP_GetItemDimensions = GetItemDimensions;
    suite.AEGP_GetItemCurrentTime = GetItemCurrentTime;
    return suite;
}();
const AEGP_EffectSuite5 kEffect = [] {
    auto suite = TableOfTraps<AEGP_EffectSuite5>();
    suite.AEGP_GetLayerNumEffects = GetLayerNumEffects;
    suite.AEGP_GetLayerEffectByIndex = GetLayerEffectByIndex;
    suite.AEGP_GetInstalledKeyFromLayerEffect = GetInstalledKeyFromLayerEffect;
    suite.AEGP_DisposeEffect = DisposeEffect;
    suite.AEGP_EffectCallGeneric = EffectCallGeneric;
    suite.AEGP_GetEffectMatchName = GetEffectMatchName;
    return suite;
}();

} // namespace

double Seconds(const A_Time& t) { return t.scale ? double(t.value) / double(t.scale) : 0.0; }

EffectHandle* FromHandle(AEGP_EffectRefH h)
{
    auto& live = Live();
    std::lock_guard lock(live.mutex);
    return live.effects.count(h) ? reinterpret_cast<EffectHandle*>(h) : nullptr;
}

StreamHandle* FromHandle(AEGP_StreamRefH h)
{
    auto& live = Live();
    std::lock_guard lock(live.mutex);
    return live.streams.count(h) ? reinterpret_cast<StreamHandle*>(h) : nullptr;
}

AEGP_EffectRefH NewEffectHandle(EffectInstance* instance)
{
    auto h = reinterpret_cast<AEGP_EffectRefH>(new EffectHandle{instance});
    auto& live = Live();
    std::lock_guard lock(live.mutex);
    live.effects.insert(h);
    ++Host::Current().log().liveEffectHandles;
    return h;
}

AEGP_StreamRefH NewStreamHandle(const StreamHandle& stream)
{
    auto h = reinterpret_cast<AEGP_StreamRefH>(new StreamHandle(stream));
    auto& live = Live();
    std::lock_guard lock(live.mutex);
    live.streams.insert(h);
    ++Host::Current().log().liveStreams;
    return h;
}

A_Err DisposeStreamHandle(AEGP_StreamRefH stream)
{
    auto& live = Live();
    std::lock_guard lock(live.mutex);
    if (!live.streams.erase(stream)) return kBadHandle;
    delete reinterpret_cast<StreamHandle*>(stream);
    --Host::Current().log().liveStreams;
    return A_Err_NONE;
}

void RegisterProjectSuites(SuiteRegistry& registry)
{
    registry.Serve(kPFInterface);
    registry.Serve(kLayer);
    registry.Serve(kComp);
    registry.Serve(kComp12);
    registry.Serve(kItem);
    registry.Serve(kEffect);
}

} // namespace strandel::host
