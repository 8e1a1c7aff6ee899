#include "host/script/ScriptEngine.h"

#include <duktape.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "host/Host.h"

namespace strandel::embedded {
extern const std::string_view kObjectModelScript;
} // namespace strandel::embedded

namespace strandel::host {

namespace {

struct Deadline {
    std::chrono::steady_clock::time_point at;
};

Project& TheProject() { return Host::Current().project(); }

Layer& LayerArg(duk_context* ctx, duk_idx_t index)
{
    const A_long id = duk_require_int(ctx, index);
    Layer* layer = TheProject().LayerById(id);
    if (!layer) duk_error(ctx, DUK_ERR_REFERENCE_ERROR, "no layer has the ID %ld", static_cast<long>(id));
    return *layer;
}

// A layer whose Position a script is about to change: refused when locked, remembered for undo.
AnimatedProperty& EditablePosition(duk_context* ctx, duk_idx_t index)
{
    Layer& layer = LayerArg(ctx, index);
    if (layer.locked) duk_error(ctx, DUK_ERR_ERROR, "layer \"%s\" is locked", layer.name.c_str());
    Host::Current().undo().WillChangePosition(layer);
    ++Host::Current().render().projectRevision;
    return layer.transform.position;
}

// 1-based key index of a script call.
Keyframe& KeyArg(duk_context* ctx, AnimatedProperty& position, duk_idx_t index)
{
    const double i = duk_require_number(ctx, index);
    if (!(i >= 1 && i <= static_cast<double>(position.keys.size()) && i == std::floor(i)))
        duk_error(ctx, DUK_ERR_RANGE_ERROR, "key index %g out of range 1..%d", i,
                  static_cast<int>(position.keys.size()));
    return position.keys[static_cast<std::size_t>(i) - 1];
}

Vec3 VectorArg(duk_context* ctx, duk_idx_t index)
{
    if (!duk_is_array(ctx, index)) duk_error(ctx, DUK_ERR_TYPE_ERROR, "an array of numbers was expected");
    const duk_size_t n = duk_get_length(ctx, index);
    if (n < 2 || n > 3) duk_error(ctx, DUK_ERR_TYPE_ERROR, "an array of 2 or 3 numbers was expected");
    double v[3] = {0, 0, 0};
    for (duk_size_t i = 0; i < n; ++i) {
        duk_get_prop_index(ctx, index, static_cast<duk_uarridx_t>(i));
        v[i] = duk_require_number(ctx, -1);
        duk_pop(ctx);
    }
    return {v[0], v[1], v[2]};
}

Interpolation InterpolationArg(duk_context* ctx, duk_idx_t index)
{
    switch (duk_require_int(ctx, index)) {
    case 6612: return Interpolation::Linear;
    case 6613: return Interpolation::Bezier;
    case 6614: return Interpolation::Hold;
    default: return duk_error(ctx, DUK_ERR_TYPE_ERROR, "not a KeyframeInterpolationType"), Interpolation::Linear;
    }
}

void PushVector(duk_context* ctx, const Vec3& v)
{
    duk_push_array(ctx);
    const double parts[3] = {v.x, v.y, v.z};
    for (duk_uarridx_t i = 0; i < 3; ++i) {
        duk_push_number(ctx, parts[i]);
        duk_put_prop_index(ctx, -2, i);
    }
}

void PutBool(duk_context* ctx, const char* name, bool value)
{
    duk_push_boolean(ctx, value);
    duk_put_prop_string(ctx, -2, name);
}

duk_ret_t ProjectOpen(duk_context* ctx)
{
    duk_push_boolean(ctx, !TheProject().comps.empty());
    return 1;
}

duk_ret_t Items(duk_context* ctx)
{
    duk_push_array(ctx);
    duk_uarridx_t i = 0;
    for (const Host::Item& item : Host::Current().items()) {
        duk_push_object(ctx);
        duk_push_int(ctx, item.id);
        duk_put_prop_string(ctx, -2, "id");
        PutBool(ctx, "comp", item.comp != nullptr);
        duk_put_prop_index(ctx, -2, i++);
    }
    return 1;
}

duk_ret_t LayersHaveIds(duk_context* ctx)
{
    duk_push_boolean(ctx, !Host::Current().scriptLayersWithoutId);
    return 1;
}

duk_ret_t LayerIds(duk_context* ctx)
{
    const Composition* comp = TheProject().CompByItemId(duk_require_int(ctx, 0));
    if (!comp) duk_error(ctx, DUK_ERR_REFERENCE_ERROR, "no composition has this ID");
    duk_push_array(ctx);
    for (std::size_t i = 0; i < comp->layers.size(); ++i) {
        duk_push_int(ctx, comp->layers[i].id);
        duk_put_prop_index(ctx, -2, static_cast<duk_uarridx_t>(i));
    }
    return 1;
}

duk_ret_t LayerInfo(duk_context* ctx)
{
    const Layer& layer = LayerArg(ctx, 0);
    duk_push_object(ctx);
    duk_push_string(ctx, layer.name.c_str());
    duk_put_prop_string(ctx, -2, "name");
    PutBool(ctx, "threeD", layer.threeD);
    PutBool(ctx, "locked", layer.locked);
    return 1;
}

duk_ret_t PositionInfo(duk_context* ctx)
{
    const Layer& layer = LayerArg(ctx, 0);
    const AnimatedProperty& p = layer.transform.position;
    duk_push_object(ctx);
    PutBool(ctx, "separated", p.separated);
    PutBool(ctx, "expression", p.expression);
    PutBool(ctx, "threeD", layer.threeD);
    duk_push_int(ctx, static_cast<duk_int_t>(p.keys.size()));
    duk_put_prop_string(ctx, -2, "numKeys");
    return 1;
}

duk_ret_t ValueAtTime(duk_context* ctx)
{
    const Layer& layer = LayerArg(ctx, 0);
    PushVector(ctx, layer.transform.position.ValueAt(duk_require_number(ctx, 1)));
    return 1;
}

duk_ret_t NearestKeyIndex(duk_context* ctx)
{
    const auto& keys = LayerArg(ctx, 0).transform.position.keys;
    const double t = duk_require_number(ctx, 1);
    if (keys.empty()) duk_error(ctx, DUK_ERR_RANGE_ERROR, "the property has no keys");
    const auto nearest = std::min_element(keys.begin(), keys.end(), [t](const Keyframe& a, const Keyframe& b) {
        return std::fabs(a.time - t) < std::fabs(b.time - t);
    });
    duk_push_int(ctx, static_cast<duk_int_t>(nearest - keys.begin()) + 1);
    return 1;
}

duk_ret_t KeyTime(duk_context* ctx)
{
    AnimatedProperty& position = LayerArg(ctx, 0).transform.position;
    duk_push_number(ctx, KeyArg(ctx, position, 1).time);
    return 1;
}

duk_ret_t RemoveKey(duk_context* ctx)
{
    AnimatedProperty& position = EditablePosition(ctx, 0);
    const Keyframe& key = KeyArg(ctx, position, 1);
    // The last key's value stays as the property's value.
    if (position.keys.size() == 1) position.value = key.value;
    position.keys.erase(position.keys.begin() + (&key - position.keys.data()));
    if (!position.keys.empty()) position.value = position.keys.front().value;
    return 0;
}

duk_ret_t SetValueAtTime(duk_context* ctx)
{
    AnimatedProperty& position = EditablePosition(ctx, 0);
    const double t = duk_require_number(ctx, 1);
    Keyframe key;
    key.time = t;
    for (const Keyframe& existing : position.keys)
        if (existing.time == t) key = existing;
    key.value = VectorArg(ctx, 2);
    position.SetKey(key);
    return 0;
}

// The key a script call names by (layer ID, key index), about to change.
Keyframe& EditableKey(duk_context* ctx) { return KeyArg(ctx, EditablePosition(ctx, 0), 1); }

duk_ret_t SetInterpolation(duk_context* ctx)
{
    Keyframe& key = EditableKey(ctx);
    key.inInterpolation = InterpolationArg(ctx, 2);
    key.outInterpolation = InterpolationArg(ctx, 3);
    return 0;
}

duk_ret_t SetTangents(duk_context* ctx)
{
    Keyframe& key = EditableKey(ctx);
    key.inTangent = VectorArg(ctx, 2);
    key.outTangent = VectorArg(ctx, 3);
    return 0;
}

duk_ret_t BeginUndoGroup(duk_context* ctx)
{
    Host::Current().undo().Begin(duk_require_string(ctx, 0));
    return 0;
}

duk_ret_t EndUndoGroup(duk_context* ctx)
{
    if (!Host::Current().undo().End()) duk_error(ctx, DUK_ERR_ERROR, "no undo group is open");
    return 0;
}

void PushNatives(duk_context* ctx)
{
    static const duk_function_list_entry kNatives[] = {
        {"projectOpen", ProjectOpen, 0},
        {"items", Items, 0},
        {"layersHaveIds", LayersHaveIds, 0},
        {"layerIds", LayerIds, 1},
        {"layer", LayerInfo, 1},
        {"position", PositionInfo, 1},
        {"valueAtTime", ValueAtTime, 2},
        {"nearestKeyIndex", NearestKeyIndex, 2},
        {"keyTime", KeyTime, 2},
        {"removeKey", RemoveKey, 2},
        {"setValueAtTime", SetValueAtTime, 3},
        {"setInterpolation", SetInterpolation, 4},
        {"setTangents", SetTangents, 4},
        {"beginUndoGroup", BeginUndoGroup, 1},
        {"endUndoGroup", EndUndoGroup, 0},
        {nullptr, nullptr, 0},
    };
    duk_push_object(ctx);
    duk_put_function_list(ctx, -1, kNatives);
}

// The text of the value on top of the stack; an error's text is its message alone.
std::string TopAsText(duk_context* ctx, bool isError)
{
    if (isError && duk_is_error(ctx, -1)) {
        duk_get_prop_string(ctx, -1, "message");
        std::string text = duk_safe_to_string(ctx, -1);
        duk_pop(ctx);
        return text;
    }
    if (duk_is_undefined(ctx, -1)) return "";
    duk_size_t n = 0;
    const char* s = duk_safe_to_lstring(ctx, -1, &n);
    return std::string(s, n);
}

void Fatal(void*, const char* message)
{
    // Only reached for errors outside any protected call, which this engine never makes.
    std::fprintf(stderr, "script engine: fatal error: %s\n", message ? message : "(none)");
    std::abort();
}

} // namespace

ScriptOutcome RunScript(Host& host, const std::string& script, std::chrono::milliseconds limit)
{
    Deadline deadline{std::chrono::steady_clock::now() + limit};
    std::unique_ptr<duk_context, void (*)(duk_context*)> heap(
        duk_create_heap(nullptr, nullptr, nullptr, &deadline, Fatal), duk_destroy_heap);
    if (!heap) return {false, "", "the script engine could not start"};
    duk_context* ctx = heap.get();

    PushNatives(ctx);
    duk_put_global_string(ctx, "StxHostNatives");
    const std::string_view model = embedded::kObjectModelScript;
    if (duk_peval_lstring(ctx, model.data(), model.size()) != 0)
        return {false, "", "the object model failed: " + TopAsText(ctx, true)};
    duk_pop(ctx);

    ScriptOutcome outcome;
    const bool failed = duk_peval_lstring(ctx, script.data(), script.size()) != 0;
    const bool timedOut = std::chrono::steady_clock::now() >= deadline.at;
    outcome.ok = !failed;
    (failed ? outcome.error : outcome.result) = TopAsText(ctx, failed);
    if (failed && timedOut)
        outcome.error = "the script was stopped after running longer than " + std::to_string(limit.count()) + " ms";
    while (host.undo().IsOpen()) host.undo().End();
    return outcome;
}

} // namespace strandel::host

extern "C" duk_bool_t StxScriptTimedOut(void* udata)
{
    const auto* deadline = static_cast<const strandel::host::Deadline*>(udata);
    return deadline && std::chrono::steady_clock::now() >= deadline->at;
}
