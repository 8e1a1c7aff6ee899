// ARGB pixels at the three depths, addressed through row bytes, and the straight-alpha "over" blend.
// The format types make pixel loops compile once per depth instead of switching per pixel.
#pragma once
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "render/Image.h"

namespace strandel {

// Straight (not premultiplied) colour; 1.0 is full scale at every depth.
struct Colour {
    double a = 0, r = 0, g = 0, b = 0;
};

// The four channels A, R, G, B of one pixel in one SSE register, in single precision like the
// GPU kernel's float4: ample for 8- and 16-bit levels and for float output.
using Channels = float __attribute__((vector_size(16)));

inline Channels ToChannels(const Colour& c)
{
    return Channels{static_cast<float>(c.a), static_cast<float>(c.r), static_cast<float>(c.g),
                    static_cast<float>(c.b)};
}
inline Colour ToColour(const Channels& c) { return {c[0], c[1], c[2], c[3]}; }

// NaN goes to 0, so the result is always safe to convert to an integer.
inline float Clamp01(float value) { return value > 0 ? (value < 1 ? value : 1) : 0; }
inline Channels Clamp01(Channels value)
{
    // maxps returns its second operand when the first is NaN.
    return _mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(1));
}

// Levels 0..255 and 0..32768 of unit values, rounded half away from zero (they are non-negative).
inline __m128i ToLevels(Channels unit, float fullScale)
{
    return _mm_cvttps_epi32(Clamp01(unit) * fullScale + 0.5f);
}

// Load gives stored units (0..255, 0..32768 or float); Store takes unit values. Unaligned loads
// and stores keep padded rows that break channel alignment legal.
struct Argb8 {
    using Channel = uint8_t;
    static constexpr float kToUnit = 1.0f / 255;

    static Channels Load(const std::byte* pixel)
    {
        int32_t packed;
        std::memcpy(&packed, pixel, sizeof packed);
        const __m128i zero = _mm_setzero_si128();
        const __m128i bytes = _mm_cvtsi32_si128(packed);
        return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
    }
    static void Store(std::byte* pixel, Channels unit)
    {
        const __m128i words = _mm_packs_epi32(ToLevels(unit, 255), _mm_setzero_si128());
        const int32_t packed = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
        std::memcpy(pixel, &packed, sizeof packed);
    }
};

struct Argb16 {
    using Channel = uint16_t;
    static constexpr float kToUnit = 1.0f / 32768;

    static Channels Load(const std::byte* pixel)
    {
        const __m128i words = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel));
        return _mm_cvtepi32_ps(_mm_unpacklo_epi16(words, _mm_setzero_si128()));
    }
    static void Store(std::byte* pixel, Channels unit)
    {
        // SSE2 packs only to signed 16 bits: shift 0..32768 down by 32768, pack, flip the sign bit back.
        const __m128i shifted = _mm_sub_epi32(ToLevels(unit, 32768), _mm_set1_epi32(32768));
        const __m128i words = _mm_xor_si128(_mm_packs_epi32(shifted, shifted), _mm_set1_epi16(-32768));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pixel), words);
    }
};

struct ArgbFloat {
    using Channel = float;
    static constexpr float kToUnit = 1;

    static Channels Load(const std::byte* pixel) { return _mm_loadu_ps(reinterpret_cast<const float*>(pixel)); }
    // Colours above 1 survive; only alpha is clamped.
    static void Store(std::byte* pixel, Channels unit)
    {
        unit[0] = Clamp01(unit[0]);
        _mm_storeu_ps(reinterpret_cast<float*>(pixel), unit);
    }
};

// Calls fn with Argb8, Argb16 or ArgbFloat.
template <class Fn> decltype(auto) WithPixelFormat(PixelFormat format, Fn&& fn)
{
    if (format == PixelFormat::ArgbFloat) return std::forward<Fn>(fn)(ArgbFloat{});
    if (format == PixelFormat::Argb16) return std::forward<Fn>(fn)(Argb16{});
    return std::forward<Fn>(fn)(Argb8{});
}

template <class Format> inline std::byte* PixelInRow(std::byte* row, int32_t x)
{
    return row + static_cast<std::ptrdiff_t>(x) * static_cast<std::ptrdiff_t>(4 * sizeof(typename Format::Channel));
}

// "Over" with a premultiplied source: lane 0 holds the source alpha s in (0, 1], the colour lanes
// s times the straight colour. The result is stored straight.
template <class Format> inline void CompositeOver(std::byte* pixel, Channels src)
{
    Channels dst = Format::Load(pixel) * Format::kToUnit;
    const float kept = (1 - src[0]) * dst[0];
    dst[0] = 1; // lane 0 then sums to the new alpha s + kept
    const Channels mixed = src + kept * dst;
    const float inv = 1 / (mixed[0] > 1e-8f ? mixed[0] : 1e-8f);
    Format::Store(pixel, mixed * Channels{1, inv, inv, inv});
}

// Ignores pixels outside the output and colours with alpha <= 0.
void BlendPixelOver(const ImageView& output, int64_t x, int64_t y, const Colour& colour);

} // namespace strandel
