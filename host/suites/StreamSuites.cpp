// AEGP Stream, Dynamic Stream and Keyframe suites: layer transform streams and effect parameters.
#include <cmath>

#include "host/project/LayerQueries.h"
#include "host/suites/ProjectHandles.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {

A_Err DisposeStreamHandle(AEGP_StreamRefH stream);

namespace {

constexpr A_Err kBadHandle = A_Err_PARAMETER;

const AnimatedProperty* PropertyOf(const StreamHandle& s)
{
    if (!s.layer) return nullptr;
    const LayerTransform& t = s.layer->transform;
    switch (s.which) {
    case AEGP_LayerStream_ANCHORPOINT: return &t.anchorPoint;
    case AEGP_LayerStream_POSITION: return &t.position;
    case AEGP_LayerStream_SCALE: return &t.scale;
    case AEGP_LayerStream_ROTATION: return &t.rotation;
    default: return nullptr;
    }
}

AEGP_StreamType LayerStreamType(const Layer& layer, AEGP_LayerStream which)
{
    switch (which) {
    case AEGP_LayerStream_ANCHORPOINT:
    case AEGP_LayerStream_POSITION: return PositionStreamType(layer);
    case AEGP_LayerStream_SCALE: return layer.threeD ? AEGP_StreamType_ThreeD : AEGP_StreamType_TwoD;
    case AEGP_LayerStream_ROTATION: return AEGP_StreamType_OneD;
    default: return AEGP_StreamType_NO_DATA;
    }
}

AEGP_StreamType ParamStreamType(const PF_ParamDef& d)
{
    switch (d.param_type) {
    case PF_Param_LAYER: return AEGP_StreamType_LAYER_ID;
    case PF_Param_POINT_3D: return AEGP_StreamType_ThreeD;
    case PF_Param_FLOAT_SLIDER:
    case PF_Param_SLIDER:
    case PF_Param_ANGLE:
    case PF_Param_CHECKBOX:
    case PF_Param_POPUP: return AEGP_StreamType_OneD;
    default: return AEGP_StreamType_NO_DATA;
    }
}

AEGP_StreamType TypeOf(const StreamHandle& s)
{
    if (s.layer) return LayerStreamType(*s.layer, s.which);
    return ParamStreamType(s.effect->param(s.paramIndex).def);
}

void PutVector(AEGP_StreamType type, const Vec3& v, AEGP_StreamVal2& out)
{
    if (type == AEGP_StreamType_ThreeD_SPATIAL || type == AEGP_StreamType_ThreeD) out.three_d = {v.x, v.y, v.z};
    else if (type == AEGP_StreamType_TwoD_SPATIAL || type == AEGP_StreamType_TwoD) out.two_d = {v.x, v.y};
    else out.one_d = v.x;
}

// A parameter's value at a time, in the units its stream reports.
AEGP_StreamVal2 ParamValueAt(EffectInstance& fx, int index, double seconds)
{
    AEGP_StreamVal2 v{};
    const PF_ParamDef d = fx.DefAt(index, seconds);
    switch (d.param_type) {
    case PF_Param_LAYER: {
        const auto& keys = fx.track(index).keys;
        v.layer_id = keys.empty() ? 0 : std::get<A_long>(keys.front().value);
        break;
    }
    case PF_Param_POINT_3D: v.three_d = {d.u.point3d_d.x_value, d.u.point3d_d.y_value, d.u.point3d_d.z_value}; break;
    case PF_Param_FLOAT_SLIDER: v.one_d = d.u.fs_d.value; break;
    case PF_Param_SLIDER: v.one_d = d.u.sd.value; break;
    case PF_Param_ANGLE: v.one_d = d.u.ad.value / 65536.0; break;
    case PF_Param_CHECKBOX: v.one_d = d.u.bd.value; break;
    case PF_Param_POPUP: v.one_d = d.u.pd.value; break;
    default: break;
    }
    return v;
}

AEGP_StreamValue2 NewValue(AEGP_StreamRefH stream, const AEGP_StreamVal2& val)
{
    ++Host::Current().log().liveStreamValues;
    return {stream, val};
}

// Stream ---------------------------------------------------------------------------------------

A_Err GetNewLayerStream(AEGP_PluginID id, AEGP_LayerH layer, AEGP_LayerStream which, AEGP_StreamRefH* stream)
{
    const Layer* l = FromHandle(layer);
    if (id == 0 || !l || !stream) return kBadHandle;
    StreamHandle s;
    s.layer = l;
    s.which = which;
    if (!PropertyOf(s)) return A_Err_PARAMETER;
    *stream = NewStreamHandle(s);
    return A_Err_NONE;
}

A_Err GetNewEffectStreamByIndex(AEGP_PluginID id, AEGP_EffectRefH effect, PF_ParamIndex index, AEGP_StreamRefH* stream)
{
    EffectHandle* e = FromHandle(effect);
    if (id == 0 || !e || !stream) return kBadHandle;
    if (index < 1 || index >= e->instance->paramCount()) return A_Err_PARAMETER;
    StreamHandle s;
    s.effect = e->instance;
    s.paramIndex = index;
    *stream = NewStreamHandle(s);
    return A_Err_NONE;
}

A_Err GetStreamType(AEGP_StreamRefH stream, AEGP_StreamType* type)
{
    StreamHandle* s = FromHandle(stream);
    if (!s || !type) return kBadHandle;
    *type = TypeOf(*s);
    return A_Err_NONE;
}

A_Err GetNewStreamValue(AEGP_PluginID id, AEGP_StreamRefH stream, AEGP_LTimeMode, const A_Time* time, A_Boolean,
                        AEGP_StreamValue2* value)
{
    StreamHandle* s = FromHandle(stream);
    if (id == 0 || !s || !time || !value) return kBadHandle;
    AEGP_StreamVal2 v{};
    if (s->layer) PutVector(TypeOf(*s), PropertyOf(*s)->ValueAt(Seconds(*time)), v);
    else v = ParamValueAt(*s->effect, s->paramIndex, Seconds(*time));
    *value = NewValue(stream, v);
    return A_Err_NONE;
}

A_Err DisposeStreamValue(AEGP_StreamValue2* value)
{
    if (!value) return A_Err_PARAMETER;
    --Host::Current().log().liveStreamValues;
    return A_Err_NONE;
}

A_Err GetExpressionState(AEGP_PluginID, AEGP_StreamRefH stream, A_Boolean* enabled)
{
    StreamHandle* s = FromHandle(stream);
    if (!s || !enabled) return kBadHandle;
    const AnimatedProperty* p = PropertyOf(*s);
    *enabled = p && p->expression;
    return A_Err_NONE;
}

A_Err GetLayerStreamValue(AEGP_LayerH layer, AEGP_LayerStream which, AEGP_LTimeMode, const A_Time* time, A_Boolean,
                          AEGP_StreamVal2* value, AEGP_StreamType* type)
{
    const Layer* l = FromHandle(layer);
    if (!l || !time || !value) return kBadHandle;
    StreamHandle s;
    s.layer = l;
    s.which = which;
    const AnimatedProperty* p = PropertyOf(s);
    if (!p) return A_Err_PARAMETER;
    const AEGP_StreamType t = LayerStreamType(*l, which);
    PutVector(t, p->ValueAt(Seconds(*time)), *value);
    if (type) *type = t;
    return A_Err_NONE;
}

// Dynamic stream -------------------------------------------------------------------------------

A_Err AreDimensionsSeparated(AEGP_StreamRefH stream, A_Boolean* separated)
{
    StreamHandle* s = FromHandle(stream);
    if (!s || !separated) return kBadHandle;
    const AnimatedProperty* p = PropertyOf(*s);
    *separated = p && p->separated;
    return A_Err_NONE;
}

A_Err SetDynamicStreamFlag(AEGP_StreamRefH stream, AEGP_DynStreamFlags flag, A_Boolean, A_Boolean set)
{
    StreamHandle* s = FromHandle(stream);
    if (!s || !s->effect || flag != AEGP_DynStreamFlag_HIDDEN) return kBadHandle;
    auto& hidden = s->effect->hiddenStreams;
    if (hidden.size() < static_cast<std::size_t>(s->effect->paramCount())) hidden.resize(s->effect->paramCount());
    hidden[s->paramIndex] = set != 0;
    return A_Err_NONE;
}

// Keyframe -------------------------------------------------------------------------------------

const Keyframe* KeyAt(AEGP_StreamRefH stream, AEGP_KeyframeIndex index)
{
    StreamHandle* s = FromHandle(stream);
    const AnimatedProperty* p = s ? PropertyOf(*s) : nullptr;
    if (!p || index < 0 || index >= static_cast<AEGP_KeyframeIndex>(p->keys.size())) return nullptr;
    return &p->keys[static_cast<std::size_t>(index)];
}

A_Err GetStreamNumKFs(AEGP_StreamRefH stream, A_long* n)
{
    StreamHandle* s = FromHandle(stream);
    if (!s || !n) return kBadHandle;
    const AnimatedProperty* p = PropertyOf(*s);
    *n = p ? static_cast<A_long>(p->keys.size()) : 0;
    return A_Err_NONE;
}

A_Err GetKeyframeTime(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_LTimeMode, A_Time* time)
{
    const Keyframe* k = KeyAt(stream, index);
    if (!k || !time) return kBadHandle;
    const Composition* comp = Host::Current().project().CompOfLayer(*FromHandle(stream)->layer);
    *time = SecondsToTime(k->time, comp ? comp->timeBase.scale : 30);
    return A_Err_NONE;
}

A_Err GetNewKeyframeValue(AEGP_PluginID id, AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_StreamValue2* value)
{
    const Keyframe* k = KeyAt(stream, index);
    if (id == 0 || !k || !value) return kBadHandle;
    AEGP_StreamVal2 v{};
    PutVector(TypeOf(*FromHandle(stream)), k->value, v);
    *value = NewValue(stream, v);
    return A_Err_NONE;
}

A_Err GetNewKeyframeSpatialTangents(AEGP_PluginID id, AEGP_StreamRefH stream, AEGP_KeyframeIndex index,
                                    AEGP_StreamValue2* in, AEGP_StreamValue2* out)
{
    const Keyframe* k = KeyAt(stream, index);
    if (id == 0 || !k) return kBadHandle;
    if (Host::Current().faults.spatialTangents) return A_Err_GENERIC;
    const AEGP_StreamType type = TypeOf(*FromHandle(stream));
    if (type != AEGP_StreamType_ThreeD_SPATIAL && type != AEGP_StreamType_TwoD_SPATIAL) return A_Err_PARAMETER;
    AEGP_StreamVal2 v{};
    if (in) {
        PutVector(type, k->inTangent, v);
        *in = NewValue(stream, v);
    }
    if (out) {
        PutVector(type, k->outTangent, v);
        *out = NewValue(stream, v);
    }
    return A_Err_NONE;
}

A_Err GetKeyframeInterpolation(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_KeyframeInterpolationType* in,
                               AEGP_KeyframeInterpolationType* out)
{
    const Keyframe* k = KeyAt(stream, index);
    if (!k) return kBadHandle;
    if (in) *in = KeyInterpolationType(k->inInterpolation);
    if (out) *out = KeyInterpolationType(k->outInterpolation);
    return A_Err_NONE;
}

const AEGP_StreamSuite6 kStream = [] {
    auto suite = TableOfTraps<AEGP_StreamSuite6>();
    suite.AEGP_GetNewLayerStream = GetNewLayerStream;
    suite.AEGP_GetNewEffectStreamByIndex = GetNewEffectStreamByIndex;
    suite.AEGP_DisposeStream = DisposeStreamHandle;
    suite.AEGP_GetStreamType = GetStreamType;
    suite.AEGP_GetNewStreamValue = GetNewStreamValue;
    suite.AEGP_DisposeStreamValue = DisposeStreamValue;
    suite.AEGP_GetExpressionState = GetExpressionState;
    suite.AEGP_GetLayerStreamValue = GetLayerStreamValue;
    return suite;
}();
const AEGP_DynamicStreamSuite4 kDynamicStream = [] {
    auto suite = TableOfTraps<AEGP_DynamicStreamSuite4>();
    suite.AEGP_AreDimensionsSeparated = AreDimensionsSeparated;
    suite.AEGP_SetDynamicStreamFlag = SetDynamicStreamFlag;
    return suite;
}();
const AEGP_KeyframeSuite5 kKeyframe = [] {
    auto suite = TableOfTraps<AEGP_KeyframeSuite5>();
    suite.AEGP_GetStreamNumKFs = GetStreamNumKFs;
    suite.AEGP_GetKeyframeTime = GetKeyframeTime;
    suite.AEGP_GetNewKeyframeValue = GetNewKeyframeValue;
    suite.AEGP_GetNewKeyframeSpatialTangents = GetNewKeyframeSpatialTangents;
    suite.AEGP_GetKeyframeInterpolation = GetKeyframeInterpolation;
    return suite;
}();

} // namespace

void RegisterStreamSuites(SuiteRegistry& registry)
{
    registry.Serve(kStream);
    registry.Serve(kDynamicStream);
    registry.Serve(kKeyframe);
}

} // namespace strandel::host
