#include "path/PathGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace strandel {
namespace {

constexpr double kNegligible = 1e-8;
constexpr double kNegligibleTangent = 1e-6;
constexpr double kMinPathLength = 1e-6;
constexpr int kMaxSubdivisionDepth = 18;

struct CubicSegment {
    Vec3 p0, p1, p2, p3;
};

double FlatnessTolerance(Quality quality)
{
    switch (quality) {
    case Quality::Draft: return 2.0;
    case Quality::High: return 0.15;
    default: return 0.5;
    }
}

bool TableFull(const PathTable& table) { return table.size() >= kPathSampleLimit; }

Vec3 Midpoint(const Vec3& a, const Vec3& b) { return (a + b) * 0.5; }

double DistanceFromLine(const Vec3& x, const Vec3& a, const Vec3& b)
{
    const Vec3 chord = b - a;
    const double chordLength = Length(chord);
    if (chordLength <= kNegligible) return Length(x - a);
    return Length(Cross(x - a, chord)) / chordLength;
}

bool IsFlat(const CubicSegment& c, double tolerance)
{
    const double polygon = Length(c.p1 - c.p0) + Length(c.p2 - c.p1) + Length(c.p3 - c.p2);
    const double excess = std::max(polygon - Length(c.p3 - c.p0), 0.0);
    return tolerance >= std::max({excess, DistanceFromLine(c.p1, c.p0, c.p3), DistanceFromLine(c.p2, c.p0, c.p3)});
}

// Appends the end point of every accepted piece; each piece's start is already in the table.
void SubdivideSegment(PathTable& table, const CubicSegment& c, double tolerance, int depth, const AbortCheck& abort)
{
    if (TableFull(table) || abort()) return;
    if (!IsFlat(c, tolerance) && depth < kMaxSubdivisionDepth) {
        const Vec3 m01 = Midpoint(c.p0, c.p1), m12 = Midpoint(c.p1, c.p2), m23 = Midpoint(c.p2, c.p3);
        const Vec3 l2 = Midpoint(m01, m12), r1 = Midpoint(m12, m23);
        const Vec3 m = Midpoint(l2, r1);
        SubdivideSegment(table, {c.p0, m01, l2, m}, tolerance, depth + 1, abort);
        SubdivideSegment(table, {m, r1, m23, c.p3}, tolerance, depth + 1, abort);
        return;
    }
    AppendPathSample(table, c.p3, (c.p3 - c.p2) * 3.0);
}

PathFrame FrameOf(const PathSample& s) { return {s.normal, s.binormal, s.frameTangent}; }

void SetFrame(PathSample& s, const PathFrame& f)
{
    s.normal = f.normal;
    s.binormal = f.binormal;
    s.frameTangent = f.tangent;
}

// Frames, then the emptiness rule. A non-finite length (overflowing or NaN input) is no usable path.
void FinishPath(PathTable& table)
{
    ComputePathFrames(table);
    const double total = TotalLength(table);
    if (table.size() < 2 || !(std::isfinite(total) && total > kMinPathLength)) table.clear();
}

// Turns (u, w) by the angle: u' = u cos - w sin, w' = u sin + w cos.
void RotatePlane(double& u, double& w, double degrees)
{
    if (!(std::fabs(degrees) > kNegligible)) return;
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const double u0 = u;
    u = u0 * c - w * s;
    w = u0 * s + w * c;
}

} // namespace

Vec3 NormalizeOr(const Vec3& v, const Vec3& fallback)
{
    const double length = Length(v);
    return length <= kNegligible ? fallback : v / length;
}

Vec3 RotateEulerDegrees(const Vec3& v, const Vec3& degrees)
{
    Vec3 r = v;
    RotatePlane(r.y, r.z, degrees.x);
    RotatePlane(r.z, r.x, degrees.y);
    RotatePlane(r.x, r.y, degrees.z);
    return r;
}

bool AppendPathSample(PathTable& table, const Vec3& p, const Vec3& t)
{
    if (TableFull(table)) return false;
    PathSample sample;
    sample.position = p;
    if (table.empty()) {
        sample.tangent = NormalizeOr(t, {1, 0, 0});
    } else {
        PathSample& last = table.back();
        const double d = Length(p - last.position);
        if (d <= kNegligible) {
            last.tangent = NormalizeOr(t, last.tangent);
            return true;
        }
        sample.tangent = NormalizeOr(t, last.tangent);
        sample.arcLength = last.arcLength + d;
    }
    table.push_back(sample);
    return true;
}

PathTable FlattenKeyframes(const std::vector<PathKeyframe>& keys, double tolerance, const AbortCheck& abort)
{
    PathTable table;
    if (keys.size() < 2) return table;
    table.reserve(std::min(8 * keys.size(), kPathSampleLimit));

    const PathKeyframe& first = keys[0];
    const Vec3 startDirection =
        Length(first.outTangent) > kNegligible ? first.outTangent : keys[1].position - first.position;
    AppendPathSample(table, first.position, startDirection);

    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        if (TableFull(table) || abort()) break;
        const PathKeyframe& from = keys[i];
        const PathKeyframe& to = keys[i + 1];
        const bool curved = Length(from.outTangent) > kNegligibleTangent || Length(to.inTangent) > kNegligibleTangent;
        if (curved)
            SubdivideSegment(table,
                             {from.position, from.position + from.outTangent, to.position + to.inTangent, to.position},
                             tolerance, 0, abort);
        else AppendPathSample(table, to.position, to.position - from.position);
    }
    FinishPath(table);
    return table;
}

void ComputePathFrames(PathTable& table)
{
    if (table.empty()) return;
    SetFrame(table[0], InitialFrame(table[0].tangent));
    for (std::size_t k = 1; k < table.size(); ++k)
        SetFrame(table[k], TransportFrame(FrameOf(table[k - 1]), table[k].tangent));
}

PathFrame InitialFrame(const Vec3& t)
{
    const Vec3 tangent = NormalizeOr(t, {0, 0, 1});
    const Vec3 z{0, 0, 1}, y{0, 1, 0};
    Vec3 n = z - tangent * Dot(tangent, z);
    if (Length(n) <= kNegligible) n = y - tangent * Dot(tangent, y);
    n = NormalizeOr(n, {1, 0, 0});
    return {n, NormalizeOr(Cross(tangent, n), {0, 1, 0}), tangent};
}

PathFrame TransportFrame(const PathFrame& previous, const Vec3& t)
{
    const Vec3 tangent = NormalizeOr(t, previous.tangent);
    Vec3 n = previous.normal - tangent * Dot(previous.normal, tangent);
    if (Length(n) <= kNegligible) n = previous.binormal - tangent * Dot(previous.binormal, tangent);
    if (Length(n) <= kNegligible) return InitialFrame(tangent);
    n = NormalizeOr(n, previous.normal);
    Vec3 b = NormalizeOr(Cross(tangent, n), previous.binormal);
    if (Dot(b, previous.binormal) < 0) {
        n = -n;
        b = -b;
    }
    return {n, b, tangent};
}

PathTable BuildPath(const std::vector<PathKeyframe>& keys, const RenderSettings& settings, const AbortCheck& abort)
{
    const PathTable raw = FlattenKeyframes(keys, FlatnessTolerance(settings.quality), abort);
    if (raw.empty()) return {};

    const Vec3 centre = SamplePathAtDistance(raw, 0.5 * TotalLength(raw)).position;
    const double scale = settings.arrayScale / 100.0;
    PathTable table;
    table.reserve(raw.size());
    for (const PathSample& sample : raw) {
        if (TableFull(table) || abort()) break;
        const Vec3 position = centre + RotateEulerDegrees((sample.position - centre) * scale, settings.arrayRotation);
        AppendPathSample(table, position, RotateEulerDegrees(sample.tangent * scale, settings.arrayRotation));
    }
    FinishPath(table);
    return table;
}

void ApplyArrayPosition(PathTable& table, const CameraInfo& camera, const RenderSettings& settings)
{
    const Vec3& p = settings.arrayPosition;
    const Vec3 offset = camera.cameraRight * p.x + camera.cameraDown * p.y + camera.cameraForward * p.z;
    for (PathSample& sample : table) sample.position += offset;
}

PathSample SamplePathAtDistance(const PathTable& table, double s)
{
    if (table.empty()) return {};
    if (!(s > 0)) return table.front();
    if (s >= table.back().arcLength) return table.back();

    const auto next = std::lower_bound(table.begin() + 1, table.end(), s,
                                       [](const PathSample& sample, double d) { return sample.arcLength < d; });
    const PathSample& a = *(next - 1);
    const PathSample& b = *next;
    const double u = (s - a.arcLength) / std::max(b.arcLength - a.arcLength, kNegligible);

    PathSample result;
    result.position = a.position + (b.position - a.position) * u;
    result.tangent = NormalizeOr(a.tangent * (1 - u) + b.tangent * u, a.tangent);
    // The neighbours' normals are blended as carried, even when they point apart: after a turn of more
    // than 90 degrees the carried normal has turned over to keep the binormal's side, and aligning it
    // back would flip the interpolated frame over for the rest of the span.
    const Vec3 n1 = NormalizeOr(a.normal * (1 - u) + b.normal * u, a.normal);
    const Vec3 n2 = n1 - result.tangent * Dot(n1, result.tangent);
    if (Length(n2) <= kNegligible) {
        SetFrame(result, TransportFrame(FrameOf(a), result.tangent));
    } else {
        const Vec3 n = NormalizeOr(n2, a.normal);
        SetFrame(result, {n, NormalizeOr(Cross(result.tangent, n), a.binormal), result.tangent});
    }
    result.arcLength = s;
    return result;
}

} // namespace strandel
