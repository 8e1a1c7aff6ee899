#include "curves/CurveEditor.h"

#include <algorithm>
#include <string>

#include "curves/CurveEditing.h"
#include "curves/CurveParams.h"
#include "curves/DrawbotCanvas.h"
#include "frame/GlobalState.h"
#include "frame/ParamIndex.h"
#include "frame/Registration.h"

namespace strandel {
namespace {

constexpr DRAWBOT_ColorRGBA kBackgroundColour{0.10f, 0.11f, 0.12f, 1.0f};
constexpr DRAWBOT_ColorRGBA kGridColour{0.28f, 0.30f, 0.32f, 1.0f};
constexpr DRAWBOT_ColorRGBA kHandleColour{0.50f, 0.55f, 0.58f, 1.0f};
constexpr DRAWBOT_ColorRGBA kCurveColour{0.15f, 0.58f, 0.95f, 1.0f};
constexpr DRAWBOT_ColorRGBA kPointColour{0.94f, 0.96f, 0.98f, 1.0f};
constexpr DRAWBOT_ColorRGBA kDraggedPointColour{1.0f, 0.74f, 0.25f, 1.0f};
constexpr float kGridPen = 1.0f, kHandlePen = 1.0f, kCurvePen = 2.0f;
constexpr float kHandleDotRadius = 3.0f, kPointRadius = 4.0f, kDraggedPointRadius = 5.0f;
constexpr int kGridDivisions = 4;

constexpr DRAWBOT_ColorRGBA kDeviceRowColour{0.12f, 0.13f, 0.14f, 1.0f};
constexpr DRAWBOT_ColorRGBA kDeviceTextColour{0.88f, 0.90f, 0.92f, 1.0f};
constexpr float kStatusSquareInset = 7, kStatusSquareSize = 8;
constexpr float kLabelLeft = 21, kLabelRightMargin = 25, kMinBaseline = 15;
constexpr float kMinFontSize = 10, kMaxFontSize = 12, kFallbackFontSize = 11;
constexpr std::size_t kMaxLabelCharacters = 95;

// The drag under way, kept in the context's four plug-in state words.
constexpr A_intptr_t kDragCode = FourCharCode("W8DR");
enum DragWord { kWordCode, kWordRow, kWordKind, kWordPoint };
struct CurveDragState {
    PF_ParamIndex row;
    CurveHit hit;
};

PF_Context* ContextOf(const PF_EventExtra* event) { return event->contextH ? *event->contextH : nullptr; }

void StoreDrag(PF_Context* context, PF_ParamIndex row, CurveHit hit)
{
    if (!context) return;
    context->plugin_state[kWordCode] = kDragCode;
    context->plugin_state[kWordRow] = row;
    context->plugin_state[kWordKind] = static_cast<A_intptr_t>(hit.kind);
    context->plugin_state[kWordPoint] = hit.point;
}

void ResetDrag(PF_Context* context)
{
    if (!context) return;
    context->plugin_state[kWordCode] = 0;
    context->plugin_state[kWordRow] = 0;
    context->plugin_state[kWordKind] = static_cast<A_intptr_t>(CurveHitKind::None);
    context->plugin_state[kWordPoint] = -1;
}

// Only a state this editor wrote for one of its rows counts.
bool ReadDrag(const PF_Context* context, CurveDragState& drag)
{
    if (!context || context->plugin_state[kWordCode] != kDragCode) return false;
    const A_intptr_t row = context->plugin_state[kWordRow];
    if (!IsCurveEditorParam(static_cast<PF_ParamIndex>(row))) return false;
    drag = {static_cast<PF_ParamIndex>(row),
            {static_cast<CurveHitKind>(context->plugin_state[kWordKind]),
             static_cast<int>(context->plugin_state[kWordPoint])}};
    return true;
}

bool IsCurveRowControl(const PF_EventExtra* event)
{
    return IsCurveEditorParam(event->effect_win.index) && event->effect_win.area == PF_EA_CONTROL;
}

GraphRect RowGraph(const PF_EventExtra* event)
{
    const PF_Rect& f = event->effect_win.current_frame;
    return CurveGraphRect(f.left, f.top, f.right, f.bottom);
}

Point2 MousePoint(const PF_EventExtra* event)
{
    return {double(event->u.do_click.screen_point.h), double(event->u.do_click.screen_point.v)};
}

bool FollowsCurvePopup(PF_ParamIndex row)
{
    return row == kParamRampRotationXCurve || row == kParamRampRotationYCurve || row == kParamRampRotationZCurve ||
           row == kParamRampScaleCurve || row == kParamRampOpacityCurve;
}

// What the row shows: the stored curve, or the popup's shape while it still follows the popup.
RampCurve DisplayedCurve(const PF_InData* in_data, PF_ParamDef* params[], PF_ParamIndex row)
{
    int shape = kShapeLinear;
    const PF_ParamDef* popup = params[kParamRampShape];
    if (FollowsCurvePopup(row) && popup && popup->u.pd.value >= kShapeLinear && popup->u.pd.value <= kShapeEaseInOut)
        shape = popup->u.pd.value;
    RampCurve curve = ResolveRampCurve(in_data, params, row, shape);
    NormalizeCurve(curve);
    return curve;
}

RampCurve StoredCurve(const PF_InData* in_data, const PF_ParamDef* data)
{
    RampCurve curve = ReadCurveParam(in_data, data);
    NormalizeCurve(curve);
    return curve;
}

PF_Err InvalidateRow(const PF_InData* in_data, const PF_EventExtra* event)
{
    if (!in_data || !in_data->pica_basicP || !event->contextH) return PF_Err_BAD_CALLBACK_PARAM;
    SuiteCache suites(in_data->pica_basicP);
    return suites.Get<PFAppSuite4>().PF_InvalidateRect(event->contextH, &event->effect_win.current_frame);
}

// A written edit: the host redraws now and the row is invalidated.
PF_Err FinishEdit(const PF_InData* in_data, PF_EventExtra* event, PF_Err writeErr)
{
    event->evt_out_flags |= PF_EO_HANDLED_EVENT | PF_EO_UPDATE_NOW;
    const PF_Err invalidateErr = InvalidateRow(in_data, event);
    return writeErr ? writeErr : invalidateErr;
}

PF_Err DeletePointClick(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event, PF_ParamDef* data,
                        CurveHit hit)
{
    PF_Context* context = ContextOf(event);
    auto& click = event->u.do_click;
    if (hit.kind != CurveHitKind::Point) {
        ResetDrag(context);
        event->evt_out_flags |= PF_EO_HANDLED_EVENT;
        click.send_drag = false;
        return PF_Err_NONE;
    }
    const PF_Err commitErr = CommitCurvePreset(in_data, params);
    RampCurve stored = StoredCurve(in_data, data);
    click.send_drag = false;
    if (commitErr || !DeleteCurvePoint(stored, hit.point)) {
        event->evt_out_flags |= PF_EO_HANDLED_EVENT;
        return commitErr;
    }
    const PF_Err writeErr = WriteCurveParam(in_data, data, stored, true);
    ResetDrag(context);
    return FinishEdit(in_data, event, writeErr);
}

PF_Err Click(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event)
{
    const PF_ParamIndex row = event->effect_win.index;
    PF_ParamDef* data = CurveDataParamFor(params, row);
    if (!data) return PF_Err_NONE;
    const GraphRect rect = RowGraph(event);
    const Point2 mouse = MousePoint(event);
    const RampCurve shown = DisplayedCurve(in_data, params, row);
    const CurveHit hit = CurveHitTest(shown, rect, mouse);
    auto& click = event->u.do_click;
    if (click.modifiers & PF_Mod_OPT_ALT_KEY) return DeletePointClick(in_data, params, event, data, hit);

    PF_Context* context = ContextOf(event);
    if (hit.kind != CurveHitKind::None) {
        StoreDrag(context, row, hit);
        event->evt_out_flags |= PF_EO_HANDLED_EVENT;
        click.send_drag = true;
        return PF_Err_NONE;
    }
    if (!IsNearCurve(shown, rect, mouse)) {
        ResetDrag(context);
        return PF_Err_NONE;
    }
    // A new point lies on the curve at the clicked x; the click's height waits for a drag.
    const PF_Err commitErr = CommitCurvePreset(in_data, params);
    RampCurve stored = ReadCurveParam(in_data, data);
    const double tx = ScreenToCurve(rect, mouse).x;
    const int inserted = commitErr ? -1 : InsertCurvePoint(stored, tx, EvaluateCurve(stored, tx));
    if (inserted < 0) return commitErr;
    const PF_Err writeErr = WriteCurveParam(in_data, data, stored, true);
    StoreDrag(context, row, {CurveHitKind::Point, inserted});
    click.send_drag = true;
    return FinishEdit(in_data, event, writeErr);
}

PF_Err Drag(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event)
{
    const PF_ParamIndex row = event->effect_win.index;
    CurveDragState drag;
    if (!ReadDrag(ContextOf(event), drag) || drag.row != row || drag.hit.kind == CurveHitKind::None) return PF_Err_NONE;
    PF_ParamDef* data = CurveDataParamFor(params, row);
    if (!data) return PF_Err_NONE;
    if (PF_Err commitErr = CommitCurvePreset(in_data, params)) return commitErr;
    RampCurve stored = StoredCurve(in_data, data);
    const Point2 target = ScreenToCurve(RowGraph(event), MousePoint(event));
    if (!DragCurveElement(stored, drag.hit, target.x, target.y)) return PF_Err_NONE;
    return FinishEdit(in_data, event, WriteCurveParam(in_data, data, stored, true));
}

DRAWBOT_PointF32 ToDrawbot(Point2 p) { return {float(p.x), float(p.y)}; }

void Line(DrawbotCanvas& canvas, const DRAWBOT_ColorRGBA& colour, float pen, Point2 a, Point2 b)
{
    canvas.StrokePath(colour, pen, [&](DrawbotPathBuilder& path) {
        path.MoveTo(float(a.x), float(a.y));
        path.LineTo(float(b.x), float(b.y));
    });
}

void Dot(DrawbotCanvas& canvas, const DRAWBOT_ColorRGBA& colour, float radius, Point2 centre)
{
    canvas.FillPath(colour, [&](DrawbotPathBuilder& path) { path.AddArc(ToDrawbot(centre), radius, 0, 360); });
}

void DrawGrid(DrawbotCanvas& canvas, const GraphRect& r)
{
    for (int i = 0; i <= kGridDivisions; ++i) {
        const double x = r.x0 + (r.x1 - r.x0) * i / kGridDivisions;
        Line(canvas, kGridColour, kGridPen, {x, r.y0}, {x, r.y1});
    }
    for (int i = 0; i <= kGridDivisions; ++i) {
        const double y = r.y0 + (r.y1 - r.y0) * i / kGridDivisions;
        Line(canvas, kGridColour, kGridPen, {r.x0, y}, {r.x1, y});
    }
}

void DrawHandles(DrawbotCanvas& canvas, const RampCurve& curve, const GraphRect& r)
{
    for (int k = 0; k < curve.pointCount; ++k) {
        const CurvePoint& p = curve.points[k];
        const Point2 at = CurveToScreen(r, p.x, p.y);
        auto handle = [&](Point2 end) {
            const Point2 shown = CurveToScreen(r, end.x, end.y);
            Line(canvas, kHandleColour, kHandlePen, at, shown);
            Dot(canvas, kHandleColour, kHandleDotRadius, shown);
        };
        if (k > 0) handle(InHandleEnd(p));
        if (k + 1 < curve.pointCount) handle(OutHandleEnd(p));
    }
}

void DrawCurveLine(DrawbotCanvas& canvas, const RampCurve& curve, const GraphRect& r)
{
    auto at = [&](Point2 p) { return ToDrawbot(CurveToScreen(r, p.x, p.y)); };
    canvas.StrokePath(kCurveColour, kCurvePen, [&](DrawbotPathBuilder& path) {
        const DRAWBOT_PointF32 start = at({curve.points[0].x, curve.points[0].y});
        path.MoveTo(start.x, start.y);
        for (int k = 1; k < curve.pointCount; ++k) {
            const CurvePoint& p = curve.points[k];
            path.BezierTo(at(OutHandleEnd(curve.points[k - 1])), at(InHandleEnd(p)), at({p.x, p.y}));
        }
    });
}

void DrawPoints(DrawbotCanvas& canvas, const RampCurve& curve, const GraphRect& r, const PF_EventExtra* event)
{
    CurveDragState drag;
    const bool dragging =
        ReadDrag(ContextOf(event), drag) && drag.row == event->effect_win.index && drag.hit.kind == CurveHitKind::Point;
    for (int k = 0; k < curve.pointCount; ++k) {
        const Point2 at = CurveToScreen(r, curve.points[k].x, curve.points[k].y);
        if (dragging && drag.hit.point == k) Dot(canvas, kDraggedPointColour, kDraggedPointRadius, at);
        else Dot(canvas, kPointColour, kPointRadius, at);
    }
}

bool CanDraw(const PF_InData* in_data, const PF_EventExtra* event)
{
    return in_data && in_data->pica_basicP && event->contextH && !(event->evt_in_flags & PF_EI_DONT_DRAW) &&
           event->effect_win.area == PF_EA_CONTROL;
}

PF_Err DrawCurveEditor(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event)
{
    if (!CanDraw(in_data, event) || !IsCurveEditorParam(event->effect_win.index)) return PF_Err_NONE;
    if (!CurveDataParamFor(params, event->effect_win.index)) return PF_Err_NONE;
    const RampCurve curve = DisplayedCurve(in_data, params, event->effect_win.index);
    SuiteCache suites(in_data->pica_basicP);
    DrawbotCanvas canvas(suites);
    if (PF_Err err = canvas.Open(event->contextH); err || !canvas.IsOpen()) return err;
    const PF_Rect& f = event->effect_win.current_frame;
    canvas.PaintRect(kBackgroundColour, float(f.left), float(f.top), float(f.right - f.left), float(f.bottom - f.top));
    const GraphRect rect = RowGraph(event);
    DrawGrid(canvas, rect);
    DrawHandles(canvas, curve, rect);
    DrawCurveLine(canvas, curve, rect);
    DrawPoints(canvas, curve, rect, event);
    canvas.Flush();
    if (canvas.Result()) return canvas.Result();
    event->evt_out_flags |= PF_EO_HANDLED_EVENT;
    return PF_Err_NONE;
}

DRAWBOT_ColorRGBA StatusColour(ProcessingDevice device)
{
    switch (device) {
    case ProcessingDevice::Cpu: return {0.30f, 0.56f, 0.88f, 1.0f};
    case ProcessingDevice::Gpu: return {0.18f, 0.72f, 0.34f, 1.0f};
    case ProcessingDevice::CpuFallback: return {0.95f, 0.61f, 0.20f, 1.0f};
    default: return {0.48f, 0.50f, 0.53f, 1.0f};
    }
}

std::u16string DeviceLabel(ProcessingDevice device)
{
    std::string text = std::string("Processing Device: ") + ProcessingDeviceLabel(static_cast<uint32_t>(device));
    text.resize(std::min(text.size(), kMaxLabelCharacters));
    return std::u16string(text.begin(), text.end()); // the labels are ASCII
}

} // namespace

PF_Err CurveEditorEvent(PF_InData* in_data, PF_ParamDef* params[], PF_EventExtra* event)
{
    if (!event) return PF_Err_BAD_CALLBACK_PARAM;
    switch (event->e_type) {
    case PF_Event_NEW_CONTEXT:
    case PF_Event_CLOSE_CONTEXT: ResetDrag(ContextOf(event)); return PF_Err_NONE;
    case PF_Event_ADJUST_CURSOR:
        if (IsCurveRowControl(event)) {
            event->u.adjust_cursor.set_cursor = PF_Cursor_CROSSHAIRS;
            event->evt_out_flags |= PF_EO_HANDLED_EVENT;
        }
        return PF_Err_NONE;
    case PF_Event_DO_CLICK:
    case PF_Event_DRAG:
    case PF_Event_DRAW: break;
    default: return PF_Err_NONE;
    }
    if (!IsCurveRowControl(event) || !params) return PF_Err_NONE;
    try {
        if (event->e_type == PF_Event_DRAW) return DrawCurveEditor(in_data, params, event);
        return event->e_type == PF_Event_DO_CLICK ? Click(in_data, params, event) : Drag(in_data, params, event);
    } catch (...) {
        return PF_Err_NONE; // a row that cannot be edited or drawn now must not disturb the panel
    }
}

PF_Err DrawProcessingDeviceRow(PF_InData* in_data, PF_ParamDef*[], PF_EventExtra* event)
{
    if (!event || !CanDraw(in_data, event) || event->effect_win.index != kParamProcessingDevice) return PF_Err_NONE;
    SuiteCache suites(in_data->pica_basicP);
    DrawbotCanvas canvas(suites);
    if (PF_Err err = canvas.Open(event->contextH); err || !canvas.IsOpen()) return err;
    const PF_Rect& f = event->effect_win.current_frame;
    const float left = float(f.left), top = float(f.top);
    const float width = float(f.right - f.left), height = float(f.bottom - f.top);
    const ProcessingDevice device = ProcessingDeviceState();
    canvas.PaintRect(kDeviceRowColour, left, top, std::max(width, 1.0f), std::max(height, 1.0f));
    canvas.PaintRect(StatusColour(device), left + kStatusSquareInset, top + kStatusSquareInset, kStatusSquareSize,
                     kStatusSquareSize);
    if (canvas.SupportsText()) {
        float size = kFallbackFontSize;
        if (canvas.DefaultFontSize(size)) size = std::clamp(size, kMinFontSize, kMaxFontSize);
        const float baseline = top + std::max((size + height) * 0.5f - 1.0f, kMinBaseline);
        canvas.DrawString(kDeviceTextColour, size, DeviceLabel(device), {left + kLabelLeft, baseline},
                          kDRAWBOT_TextAlignment_Left, kDRAWBOT_TextTruncation_EndEllipsis,
                          std::max(width - kLabelRightMargin, 1.0f));
    }
    canvas.Flush();
    if (canvas.Result()) return canvas.Result();
    event->evt_out_flags |= PF_EO_HANDLED_EVENT;
    return PF_Err_NONE;
}

} // namespace strandel
