// Basic scalar and geometry types shared by the effect and general-plug-in APIs, sized as the
// host's Windows x64 build has them (fixed-width, so MinGW and Linux builds agree with it).
#pragma once
#include <cstdint>

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef char A_char;
typedef uint8_t A_u_char;
typedef uint8_t A_Boolean;
typedef int32_t A_Err;
typedef double A_FpLong;
typedef float A_FpShort;
typedef int64_t A_longlong;
typedef uint64_t A_u_longlong;
typedef uint16_t A_UTF16Char;
typedef A_u_longlong A_HandleSize;
typedef A_long A_Fixed;

enum : A_Err {
    A_Err_NONE = 0,
    A_Err_GENERIC = 1,
    A_Err_STRUCT = 2,
    A_Err_PARAMETER = 3,
    A_Err_ALLOC = 4,
    A_Err_WRONG_THREAD = 5,
    A_Err_CONST_PROJECT_MODIFICATION = 6,
    A_Err_RESERVED_7 = 7,
    A_Err_RESERVED_8 = 8,
    A_Err_RESERVED_9 = 9,
    A_Err_RESERVED_10 = 10,
    A_Err_RESERVED_11 = 11,
    A_Err_RESERVED_12 = 12,
    A_Err_MISSING_SUITE = 13,
    A_Err_RESERVED_14 = 14,
    A_Err_RESERVED_15 = 15,
    A_Err_RESERVED_16 = 16,
    A_Err_RESERVED_17 = 17,
    A_Err_RESERVED_18 = 18,
    A_Err_RESERVED_19 = 19,
    A_Err_RESERVED_20 = 20,
    A_Err_RESERVED_21 = 21,
    A_Err_NOT_IN_CACHE_OR_COMPUTE_PENDING = 22,
    A_Err_PROJECT_LOAD_FATAL = 23,
    A_Err_EFFECT_APPLY_FATAL = 24,
    A_Err_LAST = 25,
};

struct A_Time {
    A_long value;
    A_u_long scale;
};

struct A_Ratio {
    A_long num;
    A_u_long den;
};

struct A_FloatPoint {
    A_FpLong x, y;
};

struct A_FloatPoint3 {
    A_FpLong x, y, z;
};

struct A_FloatRect {
    A_FpLong left, top, right, bottom;
};

struct A_LPoint {
    A_long x, y;
};

struct A_LRect {
    A_long left, top, right, bottom;
};

struct A_LegacyRect {
    A_short top, left, bottom, right;
};

struct A_Matrix4 {
    A_FpLong mat[4][4];
};

// An argument of a suite function Strandel never calls: an object of N bytes, so the slot keeps
// the host's parameter shape without our declaring a type we have no use for.
template <unsigned N>
struct A_Opaque {
    A_u_char bytes[N];
};
// A function pointer argument of such a slot.
typedef void (*A_OpaqueFunc)(void);

// Four-character codes as the host builds them. Pixel formats and world types put the first
// character in the lowest byte; error codes put it in the highest.
constexpr A_u_long AEFourCC(char a, char b, char c, char d)
{
    return static_cast<A_u_long>(static_cast<uint8_t>(a)) | static_cast<A_u_long>(static_cast<uint8_t>(b)) << 8 |
           static_cast<A_u_long>(static_cast<uint8_t>(c)) << 16 | static_cast<A_u_long>(static_cast<uint8_t>(d)) << 24;
}
constexpr A_long AEErrorCode(char a, char b, char c, char d) { return static_cast<A_long>(AEFourCC(d, c, b, a)); }
