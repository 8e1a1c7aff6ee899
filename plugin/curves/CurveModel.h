// Built-in curve shapes and evaluation.
#pragma once
#include "curves/RampCurve.h"

namespace strandel {

// Choices of the "Curve" popup; any other value acts as Linear.
enum CurveShape : int { kShapeLinear = 1, kShapeEaseIn = 2, kShapeEaseOut = 3, kShapeEaseInOut = 4 };

RampCurve MakeShapeCurve(int shape, bool edited);
// Maps t to [0, 1] through a repaired stack copy of the curve; safe on render threads.
double EvaluateCurve(const RampCurve& curve, double t);

} // namespace strandel
