#include "host/project/TimeBase.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace strandel::host {
namespace {

constexpr double kRateTolerance = 1e-6;

bool IsWhole(double v) { return std::fabs(v - std::round(v)) <= kRateTolerance; }

} // namespace

std::optional<TimeBase> TimeBaseForFrameRate(double fps)
{
    if (!std::isfinite(fps) || fps <= 0 || fps > 1000) return std::nullopt;
    if (IsWhole(fps)) return TimeBase{static_cast<A_u_long>(std::lround(fps)), 1};
    // NTSC rates are written rounded (29.97 for 30000/1001), so they match loosely.
    const double ntscBase = std::round(fps * 1.001);
    if (ntscBase >= 1 && std::fabs(fps - ntscBase / 1.001) < 5e-3)
        return TimeBase{static_cast<A_u_long>(ntscBase * 1000), 1001};
    for (A_long step = 2; step <= 1000; ++step)
        if (IsWhole(fps * step)) return TimeBase{static_cast<A_u_long>(std::lround(fps * step)), step};
    return std::nullopt;
}

A_Time FrameTime(const TimeBase& base, std::int64_t frame)
{
    return {static_cast<A_long>(frame * base.step), base.scale};
}

std::int64_t FrameAtTime(const TimeBase& base, const A_Time& time)
{
    // Rescale to this base first, so times of another scale land on the right frame.
    const double value = time.scale == base.scale ? time.value : TimeToSeconds(time) * base.scale;
    return static_cast<std::int64_t>(std::floor(value / base.step + 1e-9));
}

std::int64_t FrameAtSeconds(const TimeBase& base, double seconds)
{
    return static_cast<std::int64_t>(std::floor(seconds * base.scale / base.step + 1e-9));
}

A_Time SecondsToTime(double seconds, A_u_long scale)
{
    const double value = std::round(seconds * scale);
    const double limit = std::numeric_limits<A_long>::max();
    return {static_cast<A_long>(std::clamp(value, -limit, limit)), scale};
}

double TimeToSeconds(const A_Time& time)
{
    return time.scale == 0 ? 0.0 : static_cast<double>(time.value) / time.scale;
}

} // namespace strandel::host
