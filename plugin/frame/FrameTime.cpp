#include "frame/FrameTime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace strandel {
namespace {

double ClampToLong(double v)
{
    return std::clamp(v, double(std::numeric_limits<int32_t>::min()), double(std::numeric_limits<int32_t>::max()));
}

// Nearest integer, halves away from zero, within the 32-bit range (NaN counts as 0).
A_long RoundToLong(double v)
{
    if (std::isnan(v)) return 0;
    return static_cast<A_long>(std::round(ClampToLong(v)));
}

} // namespace

A_long ShiftedFrameTime(const PF_InData& in, double seconds)
{
    if (!std::isfinite(seconds)) return in.current_time;
    const double scale = in.time_scale < 2 ? 1.0 : double(in.time_scale);
    const double step = std::max(std::fabs(double(in.time_step)), 1.0);
    const double raw = RoundToLong(scale * seconds + in.current_time);
    const double k = std::round((raw - in.current_time) / step);
    return RoundToLong(in.current_time + k * step);
}

double FrameTimeOffsetSeconds(const PF_InData& in, A_long frameTime)
{
    return (double(frameTime) - in.current_time) / std::max(double(in.time_scale), 1.0);
}

A_Time AddSecondsToCompTime(const A_Time& compTime, double seconds)
{
    if (!std::isfinite(seconds) || compTime.scale == 0) return compTime;
    const double scale = std::max(double(compTime.scale), 1.0);
    return {RoundToLong(compTime.value + scale * seconds), compTime.scale};
}

} // namespace strandel
