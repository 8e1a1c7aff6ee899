// The CPU rasterizer written plainly, one formula per step, all in double precision: the yardstick
// the optimised renderer is compared with. Slow on purpose; never used by the plug-in.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render/Triangles.h"
#include "support/OwnedImage.h"

namespace strandel::test::reference {

struct Argb {
    double a = 0, r = 0, g = 0, b = 0;
};

inline std::byte* PixelAddress(const ImageView& image, int64_t x, int64_t y)
{
    return image.data + y * image.rowBytes + x * BytesPerPixel(image.format);
}

inline Argb FetchTexel(const ImageView& image, int64_t x, int64_t y)
{
    if (!image.data || x < 0 || y < 0 || x >= image.width || y >= image.height) return {};
    const std::byte* p = PixelAddress(image, x, y);
    const int64_t channelBytes = BytesPerPixel(image.format) / 4;
    double c[4];
    for (int i = 0; i < 4; ++i) c[i] = ReadStored(p + i * channelBytes, image.format) / FullScale(image.format);
    return {c[0], c[1], c[2], c[3]};
}

inline Argb SampleBilinear(const ImageView& image, double u, double v)
{
    if (!image.data || image.width < 1 || image.height < 1) return {};
    u = std::clamp(u, 0.0, image.width - 1.0);
    v = std::clamp(v, 0.0, image.height - 1.0);
    const int64_t x0 = static_cast<int64_t>(std::floor(u)), y0 = static_cast<int64_t>(std::floor(v));
    const int64_t x1 = std::min<int64_t>(x0 + 1, image.width - 1), y1 = std::min<int64_t>(y0 + 1, image.height - 1);
    const double fx = u - x0, fy = v - y0;
    const Argb t[4] = {FetchTexel(image, x0, y0), FetchTexel(image, x1, y0), FetchTexel(image, x0, y1),
                       FetchTexel(image, x1, y1)};
    const double w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    Argb sum;
    for (int i = 0; i < 4; ++i) {
        sum.a += w[i] * t[i].a;
        sum.r += w[i] * t[i].a * t[i].r;
        sum.g += w[i] * t[i].a * t[i].g;
        sum.b += w[i] * t[i].a * t[i].b;
    }
    if (sum.a <= 1e-12) return {};
    return {std::clamp(sum.a, 0.0, 1.0), sum.r / sum.a, sum.g / sum.a, sum.b / sum.a};
}

// Integer formats round to the nearest level within [0, 1]; float clamps only where asked.
inline void StoreChannel(std::byte* p, PixelFormat format, int i, double value, bool clamp)
{
    if (format != PixelFormat::ArgbFloat) value = std::round(std::clamp(value, 0.0, 1.0) * FullScale(format));
    else if (clamp) value = std::clamp(value, 0.0, 1.0);
    WriteStored(p + i * BytesPerPixel(format) / 4, format, value);
}

inline void BlendPixelOver(const ImageView& output, int64_t x, int64_t y, const Argb& colour)
{
    const PixelFormat format = output.format;
    if (!output.data || x < 0 || y < 0 || x >= output.width || y >= output.height || colour.a <= 0) return;
    const double s = std::min(colour.a, 1.0);
    const Argb d = FetchTexel(output, x, y);
    const double outA = (1 - s) * d.a + s;
    const double den = std::max(outA, 1e-8);
    std::byte* p = PixelAddress(output, x, y);
    StoreChannel(p, format, 0, outA, true);
    StoreChannel(p, format, 1, (s * colour.r + (1 - s) * d.a * d.r) / den, false);
    StoreChannel(p, format, 2, (s * colour.g + (1 - s) * d.a * d.g) / den, false);
    StoreChannel(p, format, 3, (s * colour.b + (1 - s) * d.a * d.b) / den, false);
}

inline bool Finite(const ScreenVertex& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.u) && std::isfinite(v.v);
}

inline bool PassesEdge(double e, double dx, double dy)
{
    return e > 1e-8 || (e >= -1e-8 && (dy > 0 || (std::fabs(dy) <= 1e-12 && dx < 0)));
}

// depth: null, or width * height values.
inline void RasterizeTriangle(const SourceQuad& quad, const ImageView& output, ScreenVertex A, ScreenVertex B,
                              ScreenVertex C, double opacity, std::vector<double>* depth)
{
    if (!quad.image.data || !output.data || output.width < 1 || output.height < 1) return;
    for (const ScreenVertex* v : {&A, &B, &C})
        if (!Finite(*v) || v->z <= 1e-12) return;
    double area = (B.y - A.y) * (C.x - A.x) - (B.x - A.x) * (C.y - A.y);
    if (std::fabs(area) <= 1e-8) return;
    if (area < 0) {
        std::swap(B, C);
        area = -area;
    }
    const auto clampedFloor = [](double v, double hi) { return std::clamp(std::floor(v), 0.0, hi); };
    const auto clampedCeil = [](double v, double hi) { return std::clamp(std::ceil(v), -1.0, hi); };
    const int64_t xMin = static_cast<int64_t>(clampedFloor(std::min({A.x, B.x, C.x}), output.width));
    const int64_t xMax = static_cast<int64_t>(clampedCeil(std::max({A.x, B.x, C.x}), output.width - 1.0));
    const int64_t yMin = static_cast<int64_t>(clampedFloor(std::min({A.y, B.y, C.y}), output.height));
    const int64_t yMax = static_cast<int64_t>(clampedCeil(std::max({A.y, B.y, C.y}), output.height - 1.0));
    const bool useDepth = depth && depth->size() == static_cast<std::size_t>(output.width) * output.height;
    for (int64_t y = yMin; y <= yMax; ++y)
        for (int64_t x = xMin; x <= xMax; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double e0 = (px - B.x) * (C.y - B.y) - (py - B.y) * (C.x - B.x);
            const double e1 = (px - C.x) * (A.y - C.y) - (py - C.y) * (A.x - C.x);
            const double e2 = (px - A.x) * (B.y - A.y) - (py - A.y) * (B.x - A.x);
            if (!PassesEdge(e0, C.x - B.x, C.y - B.y) || !PassesEdge(e1, A.x - C.x, A.y - C.y) ||
                !PassesEdge(e2, B.x - A.x, B.y - A.y))
                continue;
            const double bA = e0 / area, bB = e1 / area, bC = e2 / area;
            const double w = bA / A.z + bB / B.z + bC / C.z;
            if (w <= 1e-12) continue;
            const double pixelDepth = 1 / w;
            double* stored = useDepth ? &(*depth)[y * output.width + x] : nullptr;
            if (stored && !(pixelDepth < *stored - 1e-7)) continue;
            const double u = (bA * A.u / A.z + bB * B.u / B.z + bC * C.u / C.z) / w;
            const double v = (bA * A.v / A.z + bB * B.v / B.z + bC * C.v / C.z) / w;
            const Argb s = SampleBilinear(quad.image, u, v);
            const double a = s.a * opacity;
            if (a <= 1e-8) continue;
            BlendPixelOver(output, x, y, {a, s.r, s.g, s.b});
            if (stored && a >= 0.999) *stored = pixelDepth;
        }
}

inline void DrawTriangleList(const TriangleList& list, const ImageView& output, std::vector<double>* depth)
{
    for (const ScreenTriangle& t : list) {
        if (!t.quad) continue;
        RasterizeTriangle(*t.quad, output, t.A, t.B, t.C, t.opacity, depth);
        if (!(t.D == t.A)) RasterizeTriangle(*t.quad, output, t.A, t.C, t.D, t.opacity, depth);
    }
}

} // namespace strandel::test::reference
