#include "frame/RenderDriver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "frame/FrameTime.h"
#include "frame/GlobalState.h"
#include "frame/HostAbort.h"
#include "frame/ParamIndex.h"
#include "frame/PreRenderData.h"
#include "frame/RenderSettingsBuild.h"
#include "frame/SuiteCache.h"
#include "layout/InstanceLayout.h"
#include "layout/SourceFrames.h"
#include "path/CameraReader.h"
#include "path/PathGeometry.h"
#include "path/PathReader.h"
#include "render/DebugPath.h"
#include "render/DepthSort.h"
#include "render/FrameDrawing.h"
#include "render/GpuRenderer.h"
#include "render/WorldView.h"

namespace strandel {
namespace {

constexpr int kDebugPathRadius = 5;

bool IsEmpty(const PF_LRect& r) { return r.left >= r.right || r.top >= r.bottom; }

PF_LRect Intersect(const PF_LRect& a, const PF_LRect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

void DeletePreRenderData(void* data) { delete static_cast<PreRenderData*>(data); }

// Transparent black, row by row: rows may be padded, and the stride may be negative.
void ClearOutput(PF_EffectWorld& output)
{
    const std::size_t rowBytes = static_cast<std::size_t>(std::abs(output.rowbytes));
    auto* base = reinterpret_cast<uint8_t*>(output.data);
    for (A_long y = 0; y < output.height; ++y) std::memset(base + std::ptrdiff_t(y) * output.rowbytes, 0, rowBytes);
}

PF_PixelFormat FramePixelFormat(const SPBasicSuite* basic, const PF_EffectWorld& output)
{
    PF_PixelFormat format = (output.world_flags & PF_WorldFlag_DEEP) ? PF_PixelFormat_ARGB64 : PF_PixelFormat_ARGB32;
    SuiteCache released_at_once(basic);
    PF_PixelFormat answer = PF_PixelFormat_INVALID;
    if (auto world = released_at_once.TryGet<PF_WorldSuite2>();
        world && world->PF_GetPixelFormat(&output, &answer) == PF_Err_NONE && answer != PF_PixelFormat_INVALID)
        format = answer;
    return format;
}

A_Time CompTimeOf(const PF_InData* in_data, SuiteCache& suites)
{
    A_Time t{0, 1};
    if (suites.Get<AEGP_PFInterfaceSuite1>().AEGP_ConvertEffectToCompTime(in_data->effect_ref, in_data->current_time,
                                                                          in_data->time_scale, &t) != A_Err_NONE)
        t = {0, 1};
    return t;
}

// Everything a frame holds between building its sources and releasing them.
struct FrameState {
    const PF_InData* in_data;
    SuiteCache& suites;
    A_Time compTime;
    const RenderSettings& settings;
    PF_EffectWorld& output;
    PF_PixelFormat format;
    PF_SmartRenderExtra* smart;
    SourceCheckoutList* checkouts;
    SourceSlots& slots;
    const SourceList& sources;
    ProcessingDevice device = ProcessingDevice::Cpu;
};

// The frame from the path to the last drawn triangle. Returns a host error; an abort is not one.
PF_Err DrawFrame(FrameState& f)
{
    std::vector<PathKeyframe> keys;
    if (!ReadPathKeyframes(f.in_data, f.suites, f.compTime, keys)) return PF_Err_NONE;
    const AbortCheck abort = HostAbortCheck(f.in_data);
    PathTable path = BuildPath(keys, f.settings, abort);
    if (path.empty()) return PF_Err_NONE;
    const CameraInfo camera = ReadCompCamera(f.in_data, f.suites, f.compTime, f.output);
    ApplyArrayPosition(path, camera, f.settings);

    const double globalOpacity = std::clamp(f.settings.opacity / 100.0, 0.0, 1.0);
    if (f.settings.debugPath == DebugPath::Overlay || f.settings.debugPath == DebugPath::PathOnly)
        DrawDebugPath(path, camera, ViewOf(f.output, f.format), globalOpacity, kDebugPathRadius);
    if (f.settings.debugPath == DebugPath::PathOnly || f.sources.empty()) return PF_Err_NONE;

    InstanceList instances = BuildInstances(path, f.sources, f.settings, camera);
    ShiftedFrames shifted;
    if (HasTimeOffsets(f.settings)) {
        if (PF_Err err = ResolveInstanceFrames({f.in_data, f.suites, f.compTime, f.smart}, f.sources, f.slots, shifted,
                                               instances, f.checkouts))
            return err;
    }

    TriangleList triangles;
    for (const SpriteInstance& instance : instances) {
        if (!instance.frame) continue;
        for (const SourceQuad& quad : instance.frame->quads) PlaceSprite(instance, quad, f.settings, camera, triangles);
        if (abort()) break; // draw what is laid out so far
    }

    const bool useDepth = f.settings.depthSort && f.output.width >= 1 && f.output.height >= 1;
    if (f.settings.depthSort) SortTrianglesByDepth(triangles);
    f.device = DrawFrameTriangles(triangles, ViewOf(f.output, f.format), useDepth, f.settings.renderer, abort,
                                  PluginGpuRuntime());
    return PF_Err_NONE;
}

PF_Err FrameRender(PF_InData* in_data, PF_ParamDef* params[], PF_EffectWorld* output, PF_SmartRenderExtra* smart,
                   const RenderSettings* givenSettings, SourceCheckoutList* checkouts)
{
    if (!in_data || (!params && !givenSettings) || !output || !output->data) return PF_Err_BAD_CALLBACK_PARAM;
    ClearOutput(*output);

    SourceSlots slots;
    SourceList sources;
    try {
        SuiteCache suites(in_data->pica_basicP);
        const A_Time compTime = CompTimeOf(in_data, suites);
        const RenderSettings settings = givenSettings ? *givenSettings : BuildSettingsFromParams(in_data, params);
        FrameState frame{
            in_data, suites,    compTime, settings, *output, FramePixelFormat(in_data->pica_basicP, *output),
            smart,   checkouts, slots,    sources};
        PF_Err err = BuildSourceList({in_data, suites, compTime, smart}, slots, sources);
        if (err == PF_Err_NONE) {
            try {
                err = DrawFrame(frame);
            } catch (const std::bad_alloc&) {
                err = PF_Err_OUT_OF_MEMORY;
            } catch (...) {
                err = PF_Err_INTERNAL_STRUCT_DAMAGED;
            }
        }
        PF_Err releaseErr = ReleaseSourceFrames(in_data, slots, smart);
        if (err != PF_Err_NONE) return err;
        SetProcessingDeviceState(static_cast<uint32_t>(frame.device));
        return releaseErr;
    } catch (...) {
        // Before drawing began: hand back what was checked out, then let the command convert it.
        ReleaseSourceFrames(in_data, slots, smart);
        throw;
    }
}

PF_RenderRequest AdjustedRequest(const PF_InData* in_data, const PF_RenderRequest& host, PF_LRect& layerBounds)
{
    layerBounds = {0, 0, std::max(in_data->width, 0), std::max(in_data->height, 0)};
    const PF_LRect& asked = host.rect;
    PF_LRect rect;
    if (!IsEmpty(asked) && !IsEmpty(layerBounds)) rect = Intersect(asked, layerBounds);
    else if (IsEmpty(asked)) rect = layerBounds;
    else rect = asked;
    if (IsEmpty(rect)) rect = layerBounds;
    PF_RenderRequest request = host;
    request.rect = rect;
    request.field = PF_Field_FRAME;
    request.preserve_rgb_of_zero_alpha = true;
    return request;
}

// Asks for the time-shifted source frames the copies will show (at most 256 distinct ones).
void CheckoutShiftedSources(const PF_InData* in_data, PF_PreRenderExtra* extra, const PF_RenderRequest& request,
                            const PF_LRect& layerBounds, const std::vector<int32_t>& present,
                            const PF_LRect (&sourceRects)[kSourceSlotCount], PreRenderData& data)
{
    const RenderSettings& s = data.settings;
    SourceCheckoutList& list = data.checkouts;
    list.reserve(std::min<std::size_t>(std::max(s.count, 0), kMaxOffsetFrames));
    const auto n = static_cast<int32_t>(present.size());
    A_long nextId = kFirstShiftedCheckoutId;
    for (int32_t i = 0; i < s.count; ++i) {
        const Placement place = PlaceInstance(s, i);
        if (!place.placed) continue;
        const int32_t choice = ChooseSource(s, i, n);
        if (choice < 0 || choice >= n) continue;
        const auto position = static_cast<uint32_t>(present[choice]);
        const double t = InstanceTimeOffset(s, i, place.indexFraction, place.gradientFraction);
        if (std::fabs(t) <= 1e-8) continue;
        const A_long frameTime = ShiftedFrameTime(*in_data, t);
        const bool known = std::any_of(list.begin(), list.end(), [&](const SourceCheckout& c) {
            return c.sourcePosition == position && c.frameTime == frameTime;
        });
        if (known || list.size() >= kMaxOffsetFrames) continue;
        PF_RenderRequest req = request;
        if (!IsEmpty(layerBounds)) req.rect = layerBounds;
        if (!IsEmpty(sourceRects[position])) req.rect = sourceRects[position];
        const A_long id = nextId++;
        const auto param = static_cast<PF_ParamIndex>(kParamSourceLayer1 + position);
        PF_CheckoutResult result{};
        if (extra->cb->checkout_layer(in_data->effect_ref, param, id, &req, frameTime, in_data->time_step,
                                      in_data->time_scale, &result) == PF_Err_NONE)
            list.push_back(SourceCheckout{position, static_cast<uint32_t>(param), static_cast<uint32_t>(id), frameTime,
                                          t, nullptr, false});
    }
}

} // namespace

PF_Err SmartPreRender(PF_InData* in_data, PF_PreRenderExtra* extra)
{
    if (!in_data || !extra || !extra->input || !extra->output || !extra->cb) return PF_Err_BAD_CALLBACK_PARAM;
    const uint64_t changes = ChangeCounter();
    if (extra->cb->GuidMixInPtr) {
        if (PF_Err err = extra->cb->GuidMixInPtr(in_data->effect_ref, sizeof changes, &changes)) return err;
    }

    PF_LRect layerBounds;
    const PF_RenderRequest request = AdjustedRequest(in_data, extra->input->output_request, layerBounds);
    PF_CheckoutResult input{};
    if (PF_Err err = extra->cb->checkout_layer(in_data->effect_ref, 0, kInputCheckoutId, &request,
                                               in_data->current_time, in_data->time_step, in_data->time_scale, &input))
        return err;

    PF_PreRenderOutput& out = *extra->output;
    out.result_rect = IsEmpty(request.rect) ? input.result_rect : request.rect;
    out.max_result_rect = !IsEmpty(layerBounds)             ? layerBounds
                          : !IsEmpty(input.max_result_rect) ? input.max_result_rect
                                                            : out.result_rect;
    out.solid = false;
    out.flags = 0;

    RenderSettings settings;
    if (PF_Err err = BuildSettingsByCheckout(in_data, settings)) return err;
    auto* data = new (std::nothrow) PreRenderData;
    if (!data) return PF_Err_OUT_OF_MEMORY;
    data->settings = settings;
    out.pre_render_data = data;
    out.delete_pre_render_data_func = DeletePreRenderData;

    std::vector<int32_t> present;
    PF_LRect sourceRects[kSourceSlotCount] = {};
    constexpr PF_ParamIndex kDependencies[] = {kParamPathLayer,        kParamSourceLayer1,     kParamSourceLayer1 + 1,
                                               kParamSourceLayer1 + 2, kParamSourceLayer1 + 3, kParamSourceLayer1 + 4};
    for (PF_ParamIndex param : kDependencies) {
        PF_RenderRequest req = request;
        const bool source = param != kParamPathLayer;
        if (source && !IsEmpty(layerBounds)) req.rect = layerBounds;
        PF_CheckoutResult result{};
        if (extra->cb->checkout_layer(in_data->effect_ref, param, param, &req, in_data->current_time,
                                      in_data->time_step, in_data->time_scale, &result) != PF_Err_NONE ||
            !source)
            continue;
        const PF_LRect rect = IsEmpty(result.result_rect) ? result.max_result_rect : result.result_rect;
        if (IsEmpty(rect)) continue;
        const int32_t position = param - kParamSourceLayer1;
        present.push_back(position);
        sourceRects[position] = rect;
    }
    if (!HasTimeOffsets(data->settings) || present.empty()) return PF_Err_NONE;
    // The copies choose among the sources the render will draw: a collapsed precomp with no
    // visible layer has pixels when checked out flat, but no quad, and does not count.
    SuiteCache suites(in_data->pica_basicP);
    const SourceReading reading{in_data, suites, CompTimeOf(in_data, suites)};
    std::erase_if(present, [&](int32_t position) { return !SourceYieldsQuads(reading, position); });
    CheckoutShiftedSources(in_data, extra, request, layerBounds, present, sourceRects, *data);
    return PF_Err_NONE;
}

PF_Err SmartRender(PF_InData* in_data, PF_SmartRenderExtra* extra)
{
    if (!in_data || !extra || !extra->input || !extra->cb || !extra->input->pre_render_data)
        return PF_Err_BAD_CALLBACK_PARAM;
    auto* data = static_cast<PreRenderData*>(extra->input->pre_render_data);
    PF_EffectWorld* input = nullptr;
    if (PF_Err err = extra->cb->checkout_layer_pixels(in_data->effect_ref, kInputCheckoutId, &input)) return err;

    PF_Err err = PF_Err_NONE;
    try {
        PF_EffectWorld* output = nullptr;
        err = extra->cb->checkout_output(in_data->effect_ref, &output);
        if (err == PF_Err_NONE && (!output || !output->data)) err = PF_Err_BAD_CALLBACK_PARAM;
        if (err == PF_Err_NONE) err = FrameRender(in_data, nullptr, output, extra, &data->settings, &data->checkouts);
    } catch (const std::bad_alloc&) {
        err = PF_Err_OUT_OF_MEMORY;
    } catch (...) {
        err = PF_Err_INTERNAL_STRUCT_DAMAGED;
    }

    PF_Err checkinErr = PF_Err_NONE;
    for (SourceCheckout& c : data->checkouts) {
        if (!c.checkedOut) continue;
        PF_Err e = extra->cb->checkin_layer_pixels(in_data->effect_ref, static_cast<A_long>(c.checkoutId));
        if (checkinErr == PF_Err_NONE) checkinErr = e;
        c.checkedOut = false;
        c.pixels = nullptr;
    }
    PF_Err inputErr = extra->cb->checkin_layer_pixels(in_data->effect_ref, kInputCheckoutId);
    if (checkinErr == PF_Err_NONE) checkinErr = inputErr;
    return err != PF_Err_NONE ? err : checkinErr;
}

PF_Err Render(PF_InData* in_data, PF_ParamDef* params[], PF_LayerDef* output)
{
    return FrameRender(in_data, params, output, nullptr, nullptr, nullptr);
}

} // namespace strandel
