#include "path/PathReader.h"

#include <bit>

#include "frame/GlobalState.h"
#include "frame/HostScopes.h"
#include "frame/ParamIndex.h"

namespace strandel {
namespace {

// A layer parameter's stream holds the chosen layer's ID (0 for none).
LayerParamLookup LookupFromStream(SuiteCache& suites, AEGP_CompH comp, AEGP_EffectRefH effect, PF_ParamIndex index,
                                  const A_Time& compTime, const PF_InData* in_data)
{
    LayerParamLookup result;
    const AEGP_PluginID id = PluginId();
    const auto& streams = suites.Get<AEGP_StreamSuite6>();
    StreamScope stream(suites);
    if (streams.AEGP_GetNewEffectStreamByIndex(id, effect, index, &stream.handle) != A_Err_NONE || !stream.handle)
        return result;
    AEGP_StreamType type = AEGP_StreamType_NO_DATA;
    if (streams.AEGP_GetStreamType(stream.handle, &type) != A_Err_NONE || type != AEGP_StreamType_LAYER_ID)
        return result;
    StreamValueScope value(suites);
    if (streams.AEGP_GetNewStreamValue(id, stream.handle, AEGP_LTimeMode_CompTime, &compTime, false, &value.value) !=
        A_Err_NONE)
        return result;
    value.filled = true;
    result.layerId = value.value.val.layer_id;
    if (result.layerId == 0) return result;
    if (!comp && in_data) comp = GetEffectComp(in_data, suites);
    if (!comp) return result;
    if (suites.Get<AEGP_LayerSuite5>().AEGP_GetLayerFromLayerID(comp, result.layerId, &result.layer) != A_Err_NONE)
        result.layer = nullptr;
    result.ok = result.layer != nullptr;
    return result;
}

// The Position stream's shape, as both the reader and the signature query it.
struct PositionStream {
    AEGP_StreamType type = 0;
    A_Boolean separated = false;
    A_Boolean expression = false;
    A_long keyCount = 0;
    bool ok = false;

    bool Spatial() const { return type == AEGP_StreamType_ThreeD_SPATIAL || type == AEGP_StreamType_TwoD_SPATIAL; }
    bool ThreeD() const { return type == AEGP_StreamType_ThreeD_SPATIAL || type == AEGP_StreamType_ThreeD; }
};

PositionStream QueryPosition(SuiteCache& suites, AEGP_StreamRefH stream)
{
    PositionStream p;
    p.ok = suites.Get<AEGP_StreamSuite6>().AEGP_GetStreamType(stream, &p.type) == A_Err_NONE &&
           suites.Get<AEGP_DynamicStreamSuite4>().AEGP_AreDimensionsSeparated(stream, &p.separated) == A_Err_NONE &&
           suites.Get<AEGP_StreamSuite6>().AEGP_GetExpressionState(PluginId(), stream, &p.expression) == A_Err_NONE &&
           suites.Get<AEGP_KeyframeSuite5>().AEGP_GetStreamNumKFs(stream, &p.keyCount) == A_Err_NONE;
    return p;
}

Vec3 StreamPoint(const AEGP_StreamVal2& v, bool threeD)
{
    return threeD ? Vec3{v.three_d.x, v.three_d.y, v.three_d.z} : Vec3{v.two_d.x, v.two_d.y, 0};
}

bool LayerHasParent(SuiteCache& suites, AEGP_LayerH layer)
{
    AEGP_LayerH parent = nullptr;
    return suites.Get<AEGP_LayerSuite5>().AEGP_GetLayerParent(layer, &parent) == A_Err_NONE && parent;
}

// One key's value and spatial tangents; tangents stay zero when the host gives none.
struct KeyRead {
    bool valueOk = false, tangentsOk = false;
    Vec3 position, inTangent, outTangent;
};

KeyRead ReadKey(SuiteCache& suites, AEGP_StreamRefH stream, const PositionStream& shape, A_long index)
{
    KeyRead k;
    const auto& keys = suites.Get<AEGP_KeyframeSuite5>();
    StreamValueScope value(suites);
    if (keys.AEGP_GetNewKeyframeValue(PluginId(), stream, index, &value.value) != A_Err_NONE) return k;
    value.filled = k.valueOk = true;
    k.position = StreamPoint(value.value.val, shape.ThreeD());
    if (!shape.Spatial()) return k;
    StreamValueScope in(suites), out(suites);
    if (keys.AEGP_GetNewKeyframeSpatialTangents(PluginId(), stream, index, &in.value, &out.value) != A_Err_NONE)
        return k;
    in.filled = out.filled = k.tangentsOk = true;
    k.inTangent = StreamPoint(in.value.val, shape.ThreeD());
    k.outTangent = StreamPoint(out.value.val, shape.ThreeD());
    return k;
}

class SignatureHash {
public:
    explicit SignatureHash(AEGP_LayerIDVal layerId)
        : h_((static_cast<uint64_t>(static_cast<int64_t>(layerId)) ^ 0x14650FB0739D0383ull) * kPrime)
    {
    }
    void Mix(uint64_t w) { h_ = (h_ ^ w) * kPrime; }
    void Mix(int32_t v) { Mix(static_cast<uint64_t>(static_cast<int64_t>(v))); }
    void Mix(double v) { Mix(std::bit_cast<uint64_t>(v)); }
    void Mix(const Vec3& v)
    {
        Mix(v.x);
        Mix(v.y);
        Mix(v.z);
    }
    uint64_t value() const { return h_; }

private:
    static constexpr uint64_t kPrime = 0x100000001B3ull;
    uint64_t h_;
};

} // namespace

AEGP_CompH GetEffectComp(const PF_InData* in_data, SuiteCache& suites)
{
    AEGP_LayerH layer = nullptr;
    AEGP_CompH comp = nullptr;
    if (suites.Get<AEGP_PFInterfaceSuite1>().AEGP_GetEffectLayer(in_data->effect_ref, &layer) != A_Err_NONE || !layer)
        return nullptr;
    if (suites.Get<AEGP_LayerSuite5>().AEGP_GetLayerParentComp(layer, &comp) != A_Err_NONE) return nullptr;
    return comp;
}

AEGP_LayerH GetLayerFromLayerParam(const PF_InData* in_data, SuiteCache& suites, PF_ParamIndex index,
                                   const A_Time& compTime)
{
    if (PluginId() == 0) return nullptr;
    EffectScope effect(suites);
    if (suites.Get<AEGP_PFInterfaceSuite1>().AEGP_GetNewEffectForEffect(PluginId(), in_data->effect_ref,
                                                                        &effect.handle) != A_Err_NONE ||
        !effect.handle)
        return nullptr;
    return LookupFromStream(suites, nullptr, effect.handle, index, compTime, in_data).layer;
}

LayerParamLookup GetLayerFromLayerParam(SuiteCache& suites, AEGP_CompH comp, AEGP_EffectRefH effect,
                                        PF_ParamIndex index, const A_Time& compTime)
{
    if (PluginId() == 0 || !comp || !effect) return {};
    return LookupFromStream(suites, comp, effect, index, compTime, nullptr);
}

bool ReadPathKeyframes(const PF_InData* in_data, SuiteCache& suites, const A_Time& compTime,
                       std::vector<PathKeyframe>& keys)
{
    keys.clear();
    AEGP_LayerH layer = GetLayerFromLayerParam(in_data, suites, kParamPathLayer, compTime);
    if (!layer) return false;
    // A parented layer's Position is not in world space; such a path is refused, not converted.
    if (LayerHasParent(suites, layer)) return false;
    StreamScope stream(suites);
    if (suites.Get<AEGP_StreamSuite6>().AEGP_GetNewLayerStream(PluginId(), layer, AEGP_LayerStream_POSITION,
                                                               &stream.handle) != A_Err_NONE ||
        !stream.handle)
        return false;
    const PositionStream shape = QueryPosition(suites, stream.handle);
    if (!shape.ok || shape.separated || shape.expression || shape.type < AEGP_StreamType_ThreeD_SPATIAL ||
        shape.type > AEGP_StreamType_TwoD || shape.keyCount < 2)
        return false;
    keys.reserve(static_cast<std::size_t>(shape.keyCount));
    for (A_long i = 0; i < shape.keyCount; ++i) {
        KeyRead k = ReadKey(suites, stream.handle, shape, i);
        if (!k.valueOk) return false;
        keys.push_back({k.position, k.inTangent, k.outTangent});
    }
    return keys.size() >= 2;
}

bool ComputePathSignature(SuiteCache& suites, AEGP_LayerH layer, AEGP_LayerIDVal layerId, uint64_t& signature)
{
    SignatureHash h(layerId);
    if (!layer) {
        h.Mix(~uint64_t{0});
        signature = h.value();
        return true;
    }
    h.Mix(int32_t{LayerHasParent(suites, layer) ? 1 : 0});
    StreamScope stream(suites);
    if (suites.Get<AEGP_StreamSuite6>().AEGP_GetNewLayerStream(PluginId(), layer, AEGP_LayerStream_POSITION,
                                                               &stream.handle) != A_Err_NONE ||
        !stream.handle) {
        h.Mix(static_cast<uint64_t>(int64_t{-2}));
        signature = h.value();
        return true;
    }
    const PositionStream shape = QueryPosition(suites, stream.handle);
    bool ok = shape.ok;
    h.Mix(int32_t{shape.type});
    h.Mix(int32_t{shape.separated ? 1 : 0});
    h.Mix(int32_t{shape.expression ? 1 : 0});
    h.Mix(int32_t{shape.keyCount});
    const auto& keys = suites.Get<AEGP_KeyframeSuite5>();
    for (A_long i = 0; ok && i < shape.keyCount; ++i) {
        A_Time time{};
        ok = keys.AEGP_GetKeyframeTime(stream.handle, i, AEGP_LTimeMode_CompTime, &time) == A_Err_NONE;
        KeyRead k = ReadKey(suites, stream.handle, shape, i);
        AEGP_KeyframeInterpolationType in = AEGP_KeyInterp_LINEAR, out = AEGP_KeyInterp_LINEAR;
        ok = keys.AEGP_GetKeyframeInterpolation(stream.handle, i, &in, &out) == A_Err_NONE && ok && k.valueOk &&
             (k.tangentsOk || !shape.Spatial());
        h.Mix(int32_t{time.value});
        h.Mix(static_cast<int32_t>(time.scale));
        if (k.valueOk) h.Mix(k.position);
        h.Mix(int32_t{in});
        h.Mix(int32_t{out});
        if (k.tangentsOk) {
            h.Mix(k.inTangent);
            h.Mix(k.outTangent);
        }
    }
    signature = h.value();
    return ok;
}

} // namespace strandel
