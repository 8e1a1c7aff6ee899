// The per-pixel body of the GPU triangle kernel, written once for nvcc's device code and for the
// host compiler, so an emulated launch on the CPU runs exactly what the GPU runs. Plain C++: no
// CUDA header is needed to include it.
#pragma once
#include <cmath>
#include <cstdint>

#if defined(__CUDACC__)
#define STX_HOST_DEVICE __host__ __device__
#else
#define STX_HOST_DEVICE
#endif

namespace strandel {

// One vertex as the kernel receives it by value: the ScreenVertex narrowed to single precision.
struct StxCudaVertex {
    float x, y, z, u, v;
};
static_assert(sizeof(StxCudaVertex) == 20 && alignof(StxCudaVertex) == 4, "the kernel takes 20-byte vertices");

// Host twin of CUDA's float4 (same size and alignment): one pixel, A, R, G, B in x, y, z, w.
struct alignas(16) Float4 {
    float x = 0, y = 0, z = 0, w = 0;
};
static_assert(sizeof(Float4) == 16);

constexpr int kTriangleBlockSide = 16; // threads per block along x and along y

// The kernel's arguments in its parameter order. Texel is float4 on the device, Float4 on the host.
template <class Texel>
struct TriangleKernelArgs {
    const Texel* texture;
    int textureWidth, textureHeight;
    Texel* output;
    int outputWidth, outputHeight;
    StxCudaVertex v0, v1, v2;
    float opacity;
    float* depth; // may be null
    int depthOn;
    int clampColours; // non-zero unless the output is float
    int xMin, yMin, xMax, yMax;
};

namespace kernel {

STX_HOST_DEVICE inline bool IsFinite(float value)
{
#if defined(__CUDA_ARCH__)
    return isfinite(value);
#else
    return std::isfinite(value);
#endif
}

STX_HOST_DEVICE inline float Abs(float value) { return value < 0 ? -value : value; }

// NaN goes to lo.
STX_HOST_DEVICE inline float Clamp(float value, float lo, float hi)
{
    return value > lo ? (value < hi ? value : hi) : lo;
}

// In front of the camera and finite in all five fields.
STX_HOST_DEVICE inline bool IsDrawable(const StxCudaVertex& v)
{
    return IsFinite(v.x) && IsFinite(v.y) && IsFinite(v.z) && IsFinite(v.u) && IsFinite(v.v) && v.z > 1e-12f;
}

// Twice the signed area of (a, b, c); positive for the orientation the edge functions expect.
STX_HOST_DEVICE inline float SignedArea(const StxCudaVertex& a, const StxCudaVertex& b, const StxCudaVertex& c)
{
    return (c.x - a.x) * (b.y - a.y) - (b.x - a.x) * (c.y - a.y);
}

// Enough area to draw: rejects slivers and areas that overflowed.
STX_HOST_DEVICE inline bool HasArea(float signedArea) { return Abs(signedArea) > 1e-8f && IsFinite(signedArea); }

// Tolerances are wider than the CPU's double-precision ones. Within the band only edges running
// down (or left, when horizontal) pass, so a pixel on an edge shared by two triangles goes to one.
STX_HOST_DEVICE inline bool PassesEdge(float e, float dx, float dy)
{
    return e > 1e-6f || (e >= -1e-6f && (dy > 0 || (Abs(dy) <= 1e-7f && dx < 0)));
}

struct Argb {
    float a, r, g, b;
};

// Alpha-weighted bilinear filter clamped to the border texels; colours are straight and unclamped.
template <class Texel>
STX_HOST_DEVICE inline Argb SampleBilinear(const Texel* texture, int width, int height, float u, float v)
{
    const Argb none = {0, 0, 0, 0};
    if (!texture || width < 1 || height < 1) return none;
    u = Clamp(u, 0, static_cast<float>(width - 1));
    v = Clamp(v, 0, static_cast<float>(height - 1));
    const int x0 = static_cast<int>(u), y0 = static_cast<int>(v); // non-negative: truncation is floor
    const int x1 = x0 + 1 < width ? x0 + 1 : width - 1, y1 = y0 + 1 < height ? y0 + 1 : height - 1;
    const float fx = u - x0, fy = v - y0;
    const int64_t row0 = static_cast<int64_t>(y0) * width, row1 = static_cast<int64_t>(y1) * width;
    const Texel t[4] = {texture[row0 + x0], texture[row0 + x1], texture[row1 + x0], texture[row1 + x1]};
    const float weight[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    Argb sum = none;
    for (int i = 0; i < 4; ++i) {
        sum.a += weight[i] * t[i].x;
        sum.r += weight[i] * t[i].x * t[i].y;
        sum.g += weight[i] * t[i].x * t[i].z;
        sum.b += weight[i] * t[i].x * t[i].w;
    }
    if (!(sum.a > 1e-12f)) return none;
    return {Clamp(sum.a, 0, 1), sum.r / sum.a, sum.g / sum.a, sum.b / sum.a};
}

} // namespace kernel

// One thread's work: the pixel at (gridX + xMin, gridY + yMin), where gridX, gridY is the thread's
// position in the launch grid. Tests coverage and depth, samples the texture perspective-correctly
// and composites straight-alpha "over" the output pixel.
template <class Texel>
STX_HOST_DEVICE inline void RasterizeTrianglePixel(const TriangleKernelArgs<Texel>& k, int gridX, int gridY)
{
    using namespace kernel;
    const int x = gridX + k.xMin, y = gridY + k.yMin;
    if (x > k.xMax || y > k.yMax || x < 0 || y < 0 || x >= k.outputWidth || y >= k.outputHeight) return;
    if (!IsDrawable(k.v0) || !IsDrawable(k.v1) || !IsDrawable(k.v2)) return;
    StxCudaVertex a = k.v0, b = k.v1, c = k.v2;
    float area = SignedArea(a, b, c);
    if (!HasArea(area)) return;
    if (area < 0) {
        const StxCudaVertex swap = b;
        b = c;
        c = swap;
        area = -area;
    }

    const float px = x + 0.5f, py = y + 0.5f;
    const float e0 = (px - b.x) * (c.y - b.y) - (py - b.y) * (c.x - b.x);
    const float e1 = (px - c.x) * (a.y - c.y) - (py - c.y) * (a.x - c.x);
    const float e2 = (px - a.x) * (b.y - a.y) - (py - a.y) * (b.x - a.x);
    if (!PassesEdge(e0, c.x - b.x, c.y - b.y) || !PassesEdge(e1, a.x - c.x, a.y - c.y) ||
        !PassesEdge(e2, b.x - a.x, b.y - a.y))
        return;

    const float bA = e0 / area, bB = e1 / area, bC = e2 / area;
    const float w = bA / a.z + bB / b.z + bC / c.z;
    if (!(w > 1e-12f)) return;
    const float depth = 1 / w;
    const int64_t i = static_cast<int64_t>(y) * k.outputWidth + x;
    // The pointer is checked too: a depth test without a buffer draws as if depth were off.
    const bool depthTest = k.depth && k.depthOn;
    if (depthTest && depth >= k.depth[i] - 1e-7f) return;

    const float u = (bA * a.u / a.z + bB * b.u / b.z + bC * c.u / c.z) / w;
    const float v = (bA * a.v / a.z + bB * b.v / b.z + bC * c.v / c.z) / w;
    const Argb s = SampleBilinear(k.texture, k.textureWidth, k.textureHeight, u, v);
    const float alpha = s.a * k.opacity;
    if (!(alpha > 1e-8f)) return;

    const float cover = Clamp(alpha, 0, 1);
    const Texel d = k.output[i];
    const float outA = (1 - cover) * d.x + cover;
    const float den = outA > 1e-8f ? outA : 1e-8f;
    float r = (s.r * cover + (1 - cover) * d.y * d.x) / den;
    float g = (s.g * cover + (1 - cover) * d.z * d.x) / den;
    float bl = (s.b * cover + (1 - cover) * d.w * d.x) / den;
    if (k.clampColours) {
        r = Clamp(r, 0, 1);
        g = Clamp(g, 0, 1);
        bl = Clamp(bl, 0, 1);
    }
    Texel out;
    out.x = Clamp(outA, 0, 1);
    out.y = r;
    out.z = g;
    out.w = bl;
    k.output[i] = out;
    // Only (nearly) opaque pixels hide what is drawn later behind them.
    if (depthTest && alpha >= 0.999f) k.depth[i] = depth;
}

} // namespace strandel
