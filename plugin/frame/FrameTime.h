// Conversions between seconds and the host's frame times.
#pragma once
#include "AE_Effect.h"

namespace strandel {

// The current time moved by t seconds and snapped to whole time steps; the current time when t
// is not finite. Saturates at the signed 32-bit range.
A_long ShiftedFrameTime(const PF_InData& in_data, double seconds);
// Seconds from the current time to `frameTime`.
double FrameTimeOffsetSeconds(const PF_InData& in_data, A_long frameTime);
// The comp time moved by whole units of its own scale; unchanged for non-finite seconds.
A_Time AddSecondsToCompTime(const A_Time& compTime, double seconds);

} // namespace strandel
