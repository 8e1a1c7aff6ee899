#include "render/DebugPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/PixelAccess.h"

namespace strandel {
namespace {

// Beyond 2^52 steps, consecutive step numbers are no longer distinct doubles.
constexpr double kMaxSegmentSteps = 4503599627370496.0;

void StampDisc(const ImageView& output, int64_t cx, int64_t cy, int64_t radius, const Colour& colour)
{
    const int64_t yFirst = std::max(-radius, -cy), yLast = std::min(radius, output.height - 1 - cy);
    const int64_t xFirst = std::max(-radius, -cx), xLast = std::min(radius, output.width - 1 - cx);
    for (int64_t oy = yFirst; oy <= yLast; ++oy)
        for (int64_t ox = xFirst; ox <= xLast; ++ox)
            if (ox * ox + oy * oy <= radius * radius) BlendPixelOver(output, cx + ox, cy + oy, colour);
}

// Narrows [kLo, kHi] to the steps whose centre start + k / steps * delta lies in [lo, hi],
// with a step of slack on each side.
void KeepStepsWithin(double start, double delta, double steps, double lo, double hi, double& kLo, double& kHi)
{
    if (delta == 0) {
        if (start < lo || start > hi) kHi = -1;
        return;
    }
    double kEnter = (lo - start) / delta * steps, kLeave = (hi - start) / delta * steps;
    if (delta < 0) std::swap(kEnter, kLeave);
    kLo = std::max(kLo, std::floor(kEnter) - 1);
    kHi = std::min(kHi, std::ceil(kLeave) + 1);
}

void DrawSegment(const ScreenPoint& p0, const ScreenPoint& p1, const ImageView& output, int64_t radius,
                 const Colour& colour)
{
    const double dx = p1.x - p0.x, dy = p1.y - p0.y;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    const double steps = std::max(1.0, std::ceil(std::max(std::fabs(dx), std::fabs(dy))));
    if (steps > kMaxSegmentSteps) return;
    // Far off-screen stretches of a long segment stamp nothing; only the steps near the output are walked.
    double kLo = 0, kHi = steps;
    const double margin = static_cast<double>(radius) + 1;
    KeepStepsWithin(p0.x, dx, steps, -margin, output.width + margin, kLo, kHi);
    KeepStepsWithin(p0.y, dy, steps, -margin, output.height + margin, kLo, kHi);
    for (double k = kLo; k <= kHi; ++k) {
        const double t = k / steps;
        const double cx = std::round(p0.x + t * dx), cy = std::round(p0.y + t * dy);
        StampDisc(output, static_cast<int64_t>(cx), static_cast<int64_t>(cy), radius, colour);
    }
}

} // namespace

std::optional<ScreenPoint> ProjectPathPoint(const CameraInfo& camera, const Vec3& point)
{
    const Vec3 view = WorldToView(camera, point);
    if (!std::isfinite(view.x) || !std::isfinite(view.y) || !std::isfinite(view.z) || !(view.z > 0.001))
        return std::nullopt;
    return ProjectViewPoint(camera, view);
}

void DrawDebugPath(const PathTable& path, const CameraInfo& camera, const ImageView& output, double alpha, int radius)
{
    if (path.size() < 2 || !output.data || output.width < 1 || output.height < 1 || !(alpha > 0) || radius < 0) return;
    const Colour white{alpha, 1, 1, 1};
    std::optional<ScreenPoint> previous = ProjectPathPoint(camera, path[0].position);
    for (std::size_t i = 1; i < path.size(); ++i) {
        const std::optional<ScreenPoint> current = ProjectPathPoint(camera, path[i].position);
        if (previous && current) DrawSegment(*previous, *current, output, radius, white);
        previous = current;
    }
}

} // namespace strandel
