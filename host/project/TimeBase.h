// Comp time: a frame rate F is held exactly as scale / step (30 fps: 30 / 1; 29.97: 30000 / 1001)
// and frame n is at time value n x step in units of 1 / scale seconds.
#pragma once
#include <cstdint>
#include <optional>

#include "A.h"

namespace strandel::host {

struct TimeBase {
    A_u_long scale = 30;
    A_long step = 1;

    bool operator==(const TimeBase&) const = default;
    double FramesPerSecond() const { return static_cast<double>(scale) / step; }
};

// Integral rates give (F, 1); the NTSC rates (29.97, 23.976, 59.94, ...) give (1000 N, 1001);
// other rates the smallest denominator up to 1000 that holds them. None for anything else.
std::optional<TimeBase> TimeBaseForFrameRate(double framesPerSecond);

A_Time FrameTime(const TimeBase& base, std::int64_t frame);
// The frame shown at a time: the last frame that starts at or before it.
std::int64_t FrameAtTime(const TimeBase& base, const A_Time& time);
std::int64_t FrameAtSeconds(const TimeBase& base, double seconds);

A_Time SecondsToTime(double seconds, A_u_long scale);
double TimeToSeconds(const A_Time& time);

} // namespace strandel::host
