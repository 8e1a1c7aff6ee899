// The CPU renderer's pixel work on a register of lanes, one pixel per lane: texture lookup, "over"
// blend, depth test. Compiled once per instruction set (SpanKernelBaseline.cpp for SSE2, which
// every x86-64 has: two lanes; SpanKernelAvx2.cpp: four lanes). Each lane runs the same IEEE
// double operations in the same order whatever the number of lanes, and no multiply-add is fused
// (-ffp-contract=off), so every build stores the same bytes. Only data movement (loads, gathers,
// shuffles) is written per instruction set.
//
// Everything here has internal linkage: each including file gets its own copy, compiled for its
// own instruction set, which the linker never confuses with another file's copy. A file that
// compiles this for a wider instruction set includes the headers this file needs first, so that
// none of their inline functions is compiled for that set, and defines STRANDEL_SPAN_AVX2 for the
// AVX2 build (the compiler's own __AVX2__ does not follow a target pragma).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/PixelAccess.h"
#include "render/RasterPaths.h"
#include "render/RasterSetup.h"

#if defined(STRANDEL_SPAN_AVX2)
#include <immintrin.h>
#else
#include <emmintrin.h>
#endif

namespace strandel {
namespace {

// The lane helpers must melt into the loop: a call would pass its registers through memory.
#define STRANDEL_LANES [[gnu::always_inline]] inline

#if defined(STRANDEL_SPAN_AVX2)
constexpr int kLanes = 4;
#else
constexpr int kLanes = 2;
#endif
using DV = double __attribute__((vector_size(kLanes * sizeof(double))));
using LV = int64_t __attribute__((vector_size(kLanes * sizeof(int64_t)))); // masks of DV comparisons
// Integer lanes, one 32-bit value per lane in the low kLanes of the four.
using IV = int32_t __attribute__((vector_size(4 * sizeof(int32_t))));
using UV = uint32_t __attribute__((vector_size(4 * sizeof(uint32_t)))); // for packing channels

#if defined(STRANDEL_SPAN_AVX2)
constexpr DV kLaneOffsets = {0, 1, 2, 3};
constexpr LV kLaneNumbers = {0, 1, 2, 3};
#else
constexpr DV kLaneOffsets = {0, 1};
constexpr LV kLaneNumbers = {0, 1};
#endif

STRANDEL_LANES DV Splat(double value) { return DV{} + value; }

STRANDEL_LANES bool Any(LV mask)
{
#if defined(STRANDEL_SPAN_AVX2)
    return _mm256_movemask_pd(reinterpret_cast<__m256d>(mask)) != 0;
#else
    return _mm_movemask_pd(reinterpret_cast<__m128d>(mask)) != 0;
#endif
}

// Truncated toward zero; the values must lie in the 32-bit range.
STRANDEL_LANES IV Truncate(DV value)
{
#if defined(STRANDEL_SPAN_AVX2)
    return reinterpret_cast<IV>(_mm256_cvttpd_epi32(reinterpret_cast<__m256d>(value)));
#else
    return reinterpret_cast<IV>(_mm_cvttpd_epi32(reinterpret_cast<__m128d>(value)));
#endif
}

STRANDEL_LANES DV ToDouble(IV value)
{
#if defined(STRANDEL_SPAN_AVX2)
    return reinterpret_cast<DV>(_mm256_cvtepi32_pd(reinterpret_cast<__m128i>(value)));
#else
    return reinterpret_cast<DV>(_mm_cvtepi32_pd(reinterpret_cast<__m128i>(value)));
#endif
}

// The larger and the smaller of each lane's pair; where the first is NaN, the second.
STRANDEL_LANES DV Max(DV a, DV b)
{
#if defined(STRANDEL_SPAN_AVX2)
    return reinterpret_cast<DV>(_mm256_max_pd(reinterpret_cast<__m256d>(a), reinterpret_cast<__m256d>(b)));
#else
    return reinterpret_cast<DV>(_mm_max_pd(reinterpret_cast<__m128d>(a), reinterpret_cast<__m128d>(b)));
#endif
}

STRANDEL_LANES DV Min(DV a, DV b)
{
#if defined(STRANDEL_SPAN_AVX2)
    return reinterpret_cast<DV>(_mm256_min_pd(reinterpret_cast<__m256d>(a), reinterpret_cast<__m256d>(b)));
#else
    return reinterpret_cast<DV>(_mm_min_pd(reinterpret_cast<__m128d>(a), reinterpret_cast<__m128d>(b)));
#endif
}

// lo <= value <= hi, with NaN going to lo.
STRANDEL_LANES DV Clamp(DV value, DV lo, DV hi) { return Min(Max(value, lo), hi); }

// Four channels of the lanes' pixels in stored units: levels (0..255, 0..32768) or float values.
struct Argb {
    DV a, r, g, b;
};

// One 64-bit word per lane, as 64-bit pixels and halves of float pixels lie in memory.
#if defined(STRANDEL_SPAN_AVX2)
using Words = __m256i;
#else
using Words = __m128i;
#endif

// Unaligned loads and stores of whole registers: a copy through memory in pieces would make the
// processor wait for the pieces to reach the cache before it can read the whole.
STRANDEL_LANES Words LoadWords(const std::byte* at)
{
#if defined(STRANDEL_SPAN_AVX2)
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
#else
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
#endif
}

STRANDEL_LANES void StoreWords(std::byte* at, Words w)
{
#if defined(STRANDEL_SPAN_AVX2)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), w);
#else
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), w);
#endif
}

// The low kLanes 32-bit values.
STRANDEL_LANES IV LoadInts(const std::byte* at)
{
#if defined(STRANDEL_SPAN_AVX2)
    return reinterpret_cast<IV>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
#else
    return reinterpret_cast<IV>(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
#endif
}

STRANDEL_LANES void StoreInts(std::byte* at, IV v)
{
#if defined(STRANDEL_SPAN_AVX2)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), reinterpret_cast<__m128i>(v));
#else
    _mm_storel_epi64(reinterpret_cast<__m128i*>(at), reinterpret_cast<__m128i>(v));
#endif
}

STRANDEL_LANES DV LoadDoubles(const double* at)
{
#if defined(STRANDEL_SPAN_AVX2)
    return reinterpret_cast<DV>(_mm256_loadu_pd(at));
#else
    return reinterpret_cast<DV>(_mm_loadu_pd(at));
#endif
}

STRANDEL_LANES void StoreDoubles(double* at, DV v)
{
#if defined(STRANDEL_SPAN_AVX2)
    _mm256_storeu_pd(at, reinterpret_cast<__m256d>(v));
#else
    _mm_storeu_pd(at, reinterpret_cast<__m128d>(v));
#endif
}

// The low and the high 32 bits of each lane's word.
STRANDEL_LANES void SplitWords(Words w, IV& low, IV& high)
{
#if defined(STRANDEL_SPAN_AVX2)
    const __m256i evenOdd = _mm256_permutevar8x32_epi32(w, _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7));
    low = reinterpret_cast<IV>(_mm256_castsi256_si128(evenOdd));
    high = reinterpret_cast<IV>(_mm256_extracti128_si256(evenOdd, 1));
#else
    low = reinterpret_cast<IV>(_mm_shuffle_epi32(w, _MM_SHUFFLE(3, 1, 2, 0)));
    high = reinterpret_cast<IV>(_mm_shuffle_epi32(w, _MM_SHUFFLE(2, 0, 3, 1)));
#endif
}

STRANDEL_LANES Words JoinWords(IV low, IV high)
{
    const __m128i l = reinterpret_cast<__m128i>(low), h = reinterpret_cast<__m128i>(high);
#if defined(STRANDEL_SPAN_AVX2)
    return _mm256_set_m128i(_mm_unpackhi_epi32(l, h), _mm_unpacklo_epi32(l, h));
#else
    return _mm_unpacklo_epi32(l, h);
#endif
}

// Two floats per lane (the low and the high half of each word) as doubles.
STRANDEL_LANES void FloatPairs(Words w, DV& first, DV& second)
{
    IV low, high;
    SplitWords(w, low, high);
#if defined(STRANDEL_SPAN_AVX2)
    first = reinterpret_cast<DV>(_mm256_cvtps_pd(reinterpret_cast<__m128>(low)));
    second = reinterpret_cast<DV>(_mm256_cvtps_pd(reinterpret_cast<__m128>(high)));
#else
    first = reinterpret_cast<DV>(_mm_cvtps_pd(reinterpret_cast<__m128>(low)));
    second = reinterpret_cast<DV>(_mm_cvtps_pd(reinterpret_cast<__m128>(high)));
#endif
}

STRANDEL_LANES IV ToFloatBits(DV value)
{
#if defined(STRANDEL_SPAN_AVX2)
    return reinterpret_cast<IV>(_mm256_cvtpd_ps(reinterpret_cast<__m256d>(value)));
#else
    return reinterpret_cast<IV>(_mm_cvtpd_ps(reinterpret_cast<__m128d>(value)));
#endif
}

// Byte offsets of the lanes' texels from the image's first row.
struct TexelOffsets {
#if defined(STRANDEL_SPAN_AVX2)
    __m256i bytes;
#else
    int64_t bytes[kLanes];
#endif
};

STRANDEL_LANES TexelOffsets OffsetsOf(IV x, IV y, std::ptrdiff_t rowBytes, std::ptrdiff_t pixelBytes)
{
    TexelOffsets o;
#if defined(STRANDEL_SPAN_AVX2)
    // Rows are far narrower than 2^31 bytes, so a signed 32-bit row stride multiplies exactly.
    const __m256i rows =
        _mm256_mul_epi32(_mm256_cvtepi32_epi64(reinterpret_cast<__m128i>(y)), _mm256_set1_epi64x(rowBytes));
    const __m256i columns =
        _mm256_mul_epi32(_mm256_cvtepi32_epi64(reinterpret_cast<__m128i>(x)), _mm256_set1_epi64x(pixelBytes));
    o.bytes = _mm256_add_epi64(rows, columns);
#else
    for (int i = 0; i < kLanes; ++i) o.bytes[i] = y[i] * rowBytes + x[i] * pixelBytes;
#endif
    return o;
}

// The 64-bit word at each lane's offset.
STRANDEL_LANES Words Gather64(const std::byte* base, const TexelOffsets& o)
{
#if defined(STRANDEL_SPAN_AVX2)
    int64_t w[kLanes];
    for (int i = 0; i < kLanes; ++i) std::memcpy(&w[i], base + o.bytes[i], 8);
    return _mm256_set_epi64x(w[3], w[2], w[1], w[0]);
#else
    int64_t w[kLanes];
    for (int i = 0; i < kLanes; ++i) std::memcpy(&w[i], base + o.bytes[i], 8);
    return _mm_set_epi64x(w[1], w[0]);
#endif
}

// Bytes first .. first + count - 1 of each 32-bit lane, as a whole number.
template <int kFirst, int kCount>
STRANDEL_LANES IV Field(IV v)
{
#if defined(STRANDEL_SPAN_AVX2)
    const auto byte = [](int lane, int i) { return static_cast<char>(i < kCount ? 4 * lane + kFirst + i : -1); };
    return reinterpret_cast<IV>(_mm_shuffle_epi8(
        reinterpret_cast<__m128i>(v),
        _mm_setr_epi8(byte(0, 0), byte(0, 1), byte(0, 2), byte(0, 3), byte(1, 0), byte(1, 1), byte(1, 2), byte(1, 3),
                      byte(2, 0), byte(2, 1), byte(2, 2), byte(2, 3), byte(3, 0), byte(3, 1), byte(3, 2), byte(3, 3))));
#else
    return (v >> (8 * kFirst)) & ((1 << (8 * kCount)) - 1);
#endif
}

// Levels are rounded half away from zero. Exact halves are common (an opacity of 0.5 over full
// channels), and where the plain algorithm divides, the lanes multiply by a reciprocal and may land
// a few ulps below the half. A value that close below a half counts as the half: within 64 ulps of
// full scale, far less than any input's own precision. The scale is a whole number of levels, an
// integer parameter for the compilers that take no floating-point one.
template <int kFullScale>
STRANDEL_LANES UV ToLevel(DV unit)
{
    constexpr double half = 0.5 + 64 * 0x1p-52 * kFullScale;
    return reinterpret_cast<UV>(Truncate(Clamp(unit, Splat(0), Splat(1)) * kFullScale + half));
}

// Lanes selected by keep from now, the others from then; one 64-bit word per lane.
STRANDEL_LANES Words Select(LV keep, Words now, Words then)
{
    return reinterpret_cast<Words>(keep ? reinterpret_cast<LV>(now) : reinterpret_cast<LV>(then));
}

// Channel storage of a pixel format. Raw holds the lanes' pixels as stored; Load and Store move
// kLanes consecutive pixels, GatherPair two adjacent pixels per lane at its offset. Pack turns
// unit values into stored units: rounded levels at 8 and 16 bits (the clamped value is not
// negative), while float output clamps alpha only.
struct Levels8 {
    static constexpr std::ptrdiff_t kPixelBytes = 4;
    static constexpr double kFullScale = 255;
    using Raw = IV;

    STRANDEL_LANES static Raw Load(const std::byte* run) { return LoadInts(run); }
    STRANDEL_LANES static void Store(std::byte* run, Raw packed) { StoreInts(run, packed); }
    STRANDEL_LANES static Argb Unpack(Raw packed)
    {
        return {ToDouble(Field<0, 1>(packed)), ToDouble(Field<1, 1>(packed)), ToDouble(Field<2, 1>(packed)),
                ToDouble(Field<3, 1>(packed))};
    }
    STRANDEL_LANES static Raw Pack(DV alpha, const Argb& unit)
    {
        constexpr int full = static_cast<int>(kFullScale);
        return reinterpret_cast<Raw>(ToLevel<full>(alpha) | ToLevel<full>(unit.r) << 8 | ToLevel<full>(unit.g) << 16 |
                                     ToLevel<full>(unit.b) << 24);
    }
    STRANDEL_LANES static Raw Select(LV keep, Raw now, Raw then)
    {
#if defined(STRANDEL_SPAN_AVX2)
        const __m256i mask =
            _mm256_permutevar8x32_epi32(reinterpret_cast<__m256i>(keep), _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
        return reinterpret_cast<IV>(_mm256_castsi256_si128(mask)) ? now : then;
#else
        return reinterpret_cast<IV>(_mm_shuffle_epi32(reinterpret_cast<__m128i>(keep), _MM_SHUFFLE(2, 0, 2, 0))) ? now
                                                                                                                 : then;
#endif
    }
    STRANDEL_LANES static void GatherPair(const std::byte* base, const TexelOffsets& o, Argb& left, Argb& right)
    {
        IV l, r;
        SplitWords(Gather64(base, o), l, r);
        left = Unpack(l);
        right = Unpack(r);
    }
};

struct Levels16 {
    static constexpr std::ptrdiff_t kPixelBytes = 8;
    static constexpr double kFullScale = 32768;
    using Raw = Words;

    STRANDEL_LANES static Raw Load(const std::byte* run) { return LoadWords(run); }
    STRANDEL_LANES static void Store(std::byte* run, Raw w) { StoreWords(run, w); }
    STRANDEL_LANES static Argb Unpack(Raw w)
    {
        IV ar, gb; // A | R << 16 and G | B << 16, as the little-endian words lie in memory
        SplitWords(w, ar, gb);
        return {ToDouble(Field<0, 2>(ar)), ToDouble(Field<2, 2>(ar)), ToDouble(Field<0, 2>(gb)),
                ToDouble(Field<2, 2>(gb))};
    }
    STRANDEL_LANES static Raw Pack(DV alpha, const Argb& unit)
    {
        constexpr int full = static_cast<int>(kFullScale);
        return JoinWords(reinterpret_cast<IV>(ToLevel<full>(alpha) | ToLevel<full>(unit.r) << 16),
                         reinterpret_cast<IV>(ToLevel<full>(unit.g) | ToLevel<full>(unit.b) << 16));
    }
    STRANDEL_LANES static Raw Select(LV keep, Raw now, Raw then) { return strandel::Select(keep, now, then); }
    STRANDEL_LANES static void GatherPair(const std::byte* base, const TexelOffsets& o, Argb& left, Argb& right)
    {
        left = Unpack(Gather64(base, o));
        right = Unpack(Gather64(base + kPixelBytes, o));
    }
};

struct Floats {
    static constexpr std::ptrdiff_t kPixelBytes = 16;
    static constexpr double kFullScale = 1;
    // The (A, R) and the (G, B) halves of the lanes' pixels, one 64-bit word per lane each.
    struct Raw {
        Words ar, gb;
    };

    STRANDEL_LANES static Raw Load(const std::byte* run)
    {
        const Words w[2] = {LoadWords(run), LoadWords(run + sizeof(Words))};
#if defined(STRANDEL_SPAN_AVX2)
        // unpack works within 128-bit halves and yields pixels 0, 2, 1, 3: put them in order.
        return {_mm256_permute4x64_epi64(_mm256_unpacklo_epi64(w[0], w[1]), _MM_SHUFFLE(3, 1, 2, 0)),
                _mm256_permute4x64_epi64(_mm256_unpackhi_epi64(w[0], w[1]), _MM_SHUFFLE(3, 1, 2, 0))};
#else
        return {_mm_unpacklo_epi64(w[0], w[1]), _mm_unpackhi_epi64(w[0], w[1])};
#endif
    }
    STRANDEL_LANES static void Store(std::byte* run, const Raw& p)
    {
        Words w[2];
#if defined(STRANDEL_SPAN_AVX2)
        const __m256i ar = _mm256_permute4x64_epi64(p.ar, _MM_SHUFFLE(3, 1, 2, 0));
        const __m256i gb = _mm256_permute4x64_epi64(p.gb, _MM_SHUFFLE(3, 1, 2, 0));
        w[0] = _mm256_unpacklo_epi64(ar, gb);
        w[1] = _mm256_unpackhi_epi64(ar, gb);
#else
        w[0] = _mm_unpacklo_epi64(p.ar, p.gb);
        w[1] = _mm_unpackhi_epi64(p.ar, p.gb);
#endif
        StoreWords(run, w[0]);
        StoreWords(run + sizeof(Words), w[1]);
    }
    STRANDEL_LANES static Argb Unpack(const Raw& p)
    {
        Argb c;
        FloatPairs(p.ar, c.a, c.r);
        FloatPairs(p.gb, c.g, c.b);
        return c;
    }
    STRANDEL_LANES static Raw Pack(DV alpha, const Argb& unit)
    {
        return {JoinWords(ToFloatBits(Clamp(alpha, Splat(0), Splat(1))), ToFloatBits(unit.r)),
                JoinWords(ToFloatBits(unit.g), ToFloatBits(unit.b))};
    }
    STRANDEL_LANES static Raw Select(LV keep, const Raw& now, const Raw& then)
    {
        return {strandel::Select(keep, now.ar, then.ar), strandel::Select(keep, now.gb, then.gb)};
    }
    STRANDEL_LANES static void GatherPair(const std::byte* base, const TexelOffsets& o, Argb& left, Argb& right)
    {
#if defined(STRANDEL_SPAN_AVX2)
        // Each lane's pair is one register of A, R, G, B, A, R, G, B; transposing the four lanes'
        // registers within their 128-bit halves gives each channel of the left texels in the low
        // half and of the right texels in the high half.
        const auto pair = [&](int64_t offset) {
            return _mm256_loadu_ps(reinterpret_cast<const float*>(base + offset));
        };
        const __m256 p0 = pair(_mm256_extract_epi64(o.bytes, 0)), p1 = pair(_mm256_extract_epi64(o.bytes, 1));
        const __m256 p2 = pair(_mm256_extract_epi64(o.bytes, 2)), p3 = pair(_mm256_extract_epi64(o.bytes, 3));
        const __m256 ar01 = _mm256_unpacklo_ps(p0, p1), gb01 = _mm256_unpackhi_ps(p0, p1);
        const __m256 ar23 = _mm256_unpacklo_ps(p2, p3), gb23 = _mm256_unpackhi_ps(p2, p3);
        const auto split = [](__m256 channel, DV& l, DV& r) {
            l = reinterpret_cast<DV>(_mm256_cvtps_pd(_mm256_castps256_ps128(channel)));
            r = reinterpret_cast<DV>(_mm256_cvtps_pd(_mm256_extractf128_ps(channel, 1)));
        };
        split(_mm256_shuffle_ps(ar01, ar23, _MM_SHUFFLE(1, 0, 1, 0)), left.a, right.a);
        split(_mm256_shuffle_ps(ar01, ar23, _MM_SHUFFLE(3, 2, 3, 2)), left.r, right.r);
        split(_mm256_shuffle_ps(gb01, gb23, _MM_SHUFFLE(1, 0, 1, 0)), left.g, right.g);
        split(_mm256_shuffle_ps(gb01, gb23, _MM_SHUFFLE(3, 2, 3, 2)), left.b, right.b);
#else
        left = Unpack({Gather64(base, o), Gather64(base + 8, o)});
        right = Unpack({Gather64(base + kPixelBytes, o), Gather64(base + kPixelBytes + 8, o)});
#endif
    }
};

// Alpha-weighted bilinear lookup, clamped to the border texels, in stored units: alpha the
// weighted alpha, colours the weighted alpha times colour (premultiplied), so straight colour is
// colour / alpha.
struct Filtered {
    DV alpha;
    DV r, g, b;
};

// Where each lane's (u, v) falls among the texels: the offset of the top left of its two by two
// texels and the position between them. Each lookup reads a pair of columns from a pair of rows;
// on the last column the pair starts one column earlier and fx is 1 instead of 0, which puts the
// weights on the same texels, so the sums come out the same to the bit (likewise for rows).
struct Footprint {
    TexelOffsets topLeft;
    DV fx, fy;
};

STRANDEL_LANES Footprint Locate(const TexelSource& texture, std::ptrdiff_t pixelBytes, DV u, DV v)
{
    u = Clamp(u, Splat(0), Splat(texture.lastColumn));
    v = Clamp(v, Splat(0), Splat(texture.lastRow));
    // Not negative, so truncation is floor.
    IV x0 = Truncate(u), y0 = Truncate(v);
    x0 = x0 < texture.lastPairColumn ? x0 : texture.lastPairColumn;
    y0 = y0 < texture.lastPairRow ? y0 : texture.lastPairRow;
    return {OffsetsOf(x0, y0, texture.rowBytes, pixelBytes), u - ToDouble(x0), v - ToDouble(y0)};
}

template <class Src>
STRANDEL_LANES Filtered Sample(const TexelSource& texture, const Footprint& at)
{
    const DV gx = 1 - at.fx, gy = 1 - at.fy;
    Argb left, right;
    // Top row first, left texel first, as the plain algorithm sums; the first term needs no sum.
    Src::GatherPair(texture.data, at.topLeft, left, right);
    DV weightedAlpha = gx * gy * left.a;
    Filtered sum = {weightedAlpha, weightedAlpha * left.r, weightedAlpha * left.g, weightedAlpha * left.b};
    const auto add = [&](DV weight, const Argb& t) {
        weightedAlpha = weight * t.a;
        sum.alpha += weightedAlpha;
        sum.r += weightedAlpha * t.r;
        sum.g += weightedAlpha * t.g;
        sum.b += weightedAlpha * t.b;
    };
    add(at.fx * gy, right);
    Src::GatherPair(texture.data + texture.rowBytes, at.topLeft, left, right);
    add(gx * at.fy, left);
    add(at.fx * at.fy, right);
    return sum;
}

// A source to composite over the lanes' destination pixels: coverage s in (0, 1] and s times the
// straight colour, in unit values.
struct Coverage {
    DV s;
    DV r, g, b;
};

// Coverage of each lane's filtered source at the triangle's opacity; keep loses the lanes whose
// coverage is negligible.
template <class Src>
STRANDEL_LANES Coverage CoverageOf(const Filtered& f, double opacity, LV& keep)
{
    constexpr double toUnit = 1 / Src::kFullScale;
    const DV alpha = f.alpha * toUnit;
    keep &= alpha > 1e-12;
    const DV a = Min(alpha, Splat(1)) * opacity;
    keep &= a > 1e-8;
    const DV s = Min(a, Splat(1));
    // Straight colour is f.colour / f.alpha; unless alpha or coverage saturated, s * that is
    // f.colour * opacity / full scale^2, without a division.
    DV scale = Splat(opacity * toUnit * toUnit);
    const LV saturated = keep & ((alpha > 1) | (a > 1));
    if (Any(saturated)) scale = saturated ? s / f.alpha * toUnit : scale;
    return {s, f.r * scale, f.g * scale, f.b * scale};
}

// Straight-alpha "over" of each lane's source onto its destination pixel.
template <class Out>
STRANDEL_LANES typename Out::Raw CompositeOver(const Coverage& src, const Argb& dst)
{
    constexpr double toUnit = 1 / Out::kFullScale;
    const DV kept = (1 - src.s) * (dst.a * toUnit);
    const DV outA = kept + src.s;
    const DV inverse = 1 / Max(outA, Splat(1e-8));
    return Out::Pack(outA, {outA, (src.r + kept * (dst.r * toUnit)) * inverse,
                            (src.g + kept * (dst.g * toUnit)) * inverse, (src.b + kept * (dst.b * toUnit)) * inverse});
}

// Per-triangle constants of the span loop.
struct SpanJob {
    const TriangleSetup* setup;
    TexelSource texture;
    double opacity;
};

// One register of lanes in a batch: what each stage leaves for the next.
struct LaneBatchEntry {
    LV keep;
    DV depth;
    Footprint footprint;
    Coverage source;
};

// Registers per batch. A batch goes through each stage before the next: geometry, then texture
// lookups, then blends. The loads' addresses are known early, and the dependency chains of
// consecutive registers overlap instead of each waiting on its own divisions and loads.
constexpr int kBatchRegisters = 16;

// Blends lanes x .. x + kLanes - 1 of a row; pixels and depths point at them or at copies.
template <class Out, bool kDepthTest>
STRANDEL_LANES void BlendLanes(const LaneBatchEntry& e, std::byte* pixels, double* depths)
{
    const typename Out::Raw before = Out::Load(pixels);
    Out::Store(pixels, Out::Select(e.keep, CompositeOver<Out>(e.source, Out::Unpack(before)), before));
    if constexpr (kDepthTest) {
        // Only (nearly) opaque pixels hide what is drawn later behind them.
        // Most pixels of soft sprites hide nothing: their depths' cache lines then stay clean.
        const LV occludes = e.keep & (e.source.s >= 0.999);
        if (Any(occludes)) StoreDoubles(depths, occludes ? e.depth : LoadDoubles(depths));
    }
}

// Draws one row's run of covered pixels.
template <class Out, class Src, bool kDepthTest>
void FillRun(const SpanJob& job, const RowRun& run, std::byte* outRow, double* depthRow)
{
    const TriangleSetup& t = *job.setup;
    LaneBatchEntry batch[kBatchRegisters];
    for (int32_t batchStart = run.first; batchStart <= run.last; batchStart += kBatchRegisters * kLanes) {
        int registers = 0;
        for (int32_t x = batchStart; x <= run.last && registers < kBatchRegisters; x += kLanes) {
            const DV steps = kLaneOffsets + static_cast<double>(x - run.first);
            const DV w = run.invZ + steps * t.invZ.step;
            LaneBatchEntry& e = batch[registers++];
            e.keep = (kLaneNumbers <= run.last - x) & (w > 1e-12);
            e.depth = 1 / w;
            if constexpr (kDepthTest) {
                DV stored = Splat(0); // lanes past the run are dropped anyway
                if (run.last - x + 1 >= kLanes) stored = LoadDoubles(depthRow + x);
                else
                    for (int i = 0; x + i <= run.last; ++i) stored[i] = depthRow[x + i];
                e.keep &= e.depth < stored - 1e-7;
            }
            const DV u = (run.uOverZ + steps * t.uOverZ.step) * e.depth;
            const DV v = (run.vOverZ + steps * t.vOverZ.step) * e.depth;
            e.footprint = Locate(job.texture, Src::kPixelBytes, u, v);
        }
        for (int i = 0; i < registers; ++i) {
            LaneBatchEntry& e = batch[i];
            if (Any(e.keep)) e.source = CoverageOf<Src>(Sample<Src>(job.texture, e.footprint), job.opacity, e.keep);
        }
        for (int i = 0; i < registers; ++i) {
            const LaneBatchEntry& e = batch[i];
            if (!Any(e.keep)) continue;
            const int32_t x = batchStart + i * kLanes;
            std::byte* pixels = outRow + x * Out::kPixelBytes;
            double* depths = kDepthTest ? depthRow + x : nullptr;
            const int32_t count = run.last - x + 1;
            if (count >= kLanes) {
                BlendLanes<Out, kDepthTest>(e, pixels, depths);
                continue;
            }
            // The run's last lanes work on copies, so nothing past the run is read or written.
            alignas(32) std::byte pixelCopy[kLanes * Out::kPixelBytes] = {};
            alignas(32) double depthCopy[kLanes] = {};
            std::memcpy(pixelCopy, pixels, count * Out::kPixelBytes);
            if constexpr (kDepthTest) std::memcpy(depthCopy, depths, count * sizeof(double));
            BlendLanes<Out, kDepthTest>(e, pixelCopy, depthCopy);
            std::memcpy(pixels, pixelCopy, count * Out::kPixelBytes);
            if constexpr (kDepthTest) std::memcpy(depths, depthCopy, count * sizeof(double));
        }
    }
}

// Asks for the cache lines of bytes at .. at + count into the cache, without waiting for them.
STRANDEL_LANES void PrefetchRange(const void* at, std::ptrdiff_t count)
{
    constexpr std::ptrdiff_t kLine = 64;
    const char* first = static_cast<const char*>(at);
    for (std::ptrdiff_t offset = 0; offset < count + kLine - 1; offset += kLine)
        _mm_prefetch(first + (offset < count ? offset : count - 1), _MM_HINT_T0);
}

template <class Out, class Src, bool kDepthTest>
void FillRows(const SpanJob& job, const ImageView& output, double* depthValues)
{
    const TriangleSetup& t = *job.setup;
    RowRun run;
    for (int32_t y = t.yMin; y <= t.yMax; ++y) {
        if (!CoveredRun(t, y, run)) continue;
        double* depthRow = kDepthTest ? depthValues + static_cast<std::size_t>(y) * output.width : nullptr;
        // The next row's run lies about where this one does; asking for its pixels and depths now
        // lets them arrive while this row is drawn, as each row starts far from the last in memory.
        if (y < t.yMax) {
            PrefetchRange(output.Row(y + 1) + run.first * Out::kPixelBytes,
                          (run.last - run.first + 1) * Out::kPixelBytes);
            if constexpr (kDepthTest)
                PrefetchRange(depthRow + output.width + run.first, (run.last - run.first + 1) * 8);
        }
        FillRun<Out, Src, kDepthTest>(job, run, output.Row(y), depthRow);
    }
}

// Calls fn with Levels8, Levels16 or Floats.
template <class Fn>
void WithFormat(PixelFormat format, Fn&& fn)
{
    if (format == PixelFormat::ArgbFloat) fn(Floats{});
    else if (format == PixelFormat::Argb16) fn(Levels16{});
    else fn(Levels8{});
}

// Draws a set-up triangle; depthValues is null or holds one value per output pixel.
inline void FillTriangle(const TriangleSetup& setup, const ImageView& output, PixelFormat sourceFormat,
                         const TexelSource& source, double opacity, double* depthValues)
{
    const SpanJob job{&setup, source, opacity};
    WithFormat(output.format, [&]<class Out>(Out) {
        WithFormat(sourceFormat, [&]<class Src>(Src) {
            if (depthValues) FillRows<Out, Src, true>(job, output, depthValues);
            else FillRows<Out, Src, false>(job, output, nullptr);
        });
    });
}

#undef STRANDEL_LANES

} // namespace
} // namespace strandel
