// The curve editor's geometry and edits on plain curves: where the graph sits in a panel row,
// what lies under the mouse, and the point edits a click or drag makes.
#pragma once
#include "curves/RampCurve.h"

namespace strandel {

// The graph area of a row, in the row's window coordinates; curve y grows upward.
struct GraphRect {
    double x0, y0, x1, y1;
};
// A position in window pixels or in curve coordinates.
struct Point2 {
    double x, y;
};

GraphRect CurveGraphRect(double left, double top, double right, double bottom);
// Curve coordinates are clamped to the unit square before they are mapped.
Point2 CurveToScreen(const GraphRect& rect, double x, double y);
// The mouse as curve coordinates, clamped to the unit square.
Point2 ScreenToCurve(const GraphRect& rect, Point2 mouse);
// Where a point's handle ends: the point plus its offset.
Point2 InHandleEnd(const CurvePoint& p);
Point2 OutHandleEnd(const CurvePoint& p);

enum class CurveHitKind : int { None = 0, Point = 1, InHandle = 2, OutHandle = 3 };
struct CurveHit {
    CurveHitKind kind = CurveHitKind::None;
    int point = -1;
};

// A point within 7 pixels wins over any handle within 6; among equals the later one wins.
CurveHit CurveHitTest(const RampCurve& curve, const GraphRect& rect, Point2 mouse);
// Within 5 pixels of the drawn curve.
bool IsNearCurve(const RampCurve& curve, const GraphRect& rect, Point2 mouse);

// A new point at (x, y) between its neighbours with straight handles; its index, or -1 when the
// curve is full or the point would fall within 0.0001 of a neighbour.
int InsertCurvePoint(RampCurve& curve, double x, double y);
// Removes an inner point of a curve of more than two points; false when nothing was removed.
bool DeleteCurvePoint(RampCurve& curve, int index);
// Moves the point or handle under a drag to the curve position (tx, ty); false when the drag
// cannot move it (the curve is then unchanged).
bool DragCurveElement(RampCurve& curve, CurveHit hit, double tx, double ty);

} // namespace strandel
