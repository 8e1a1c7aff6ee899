// Basic scalar and geometry types shared by the effect and general-plug-in APIs.
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
typedef uint64_t A_u_longlong;
typedef uint16_t A_UTF16Char;
typedef A_u_longlong A_HandleSize;

enum { A_Err_NONE = 0, A_Err_GENERIC = 1, A_Err_STRUCT = 2, A_Err_PARAMETER = 3, A_Err_ALLOC = 4 };

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

struct A_LegacyRect {
    A_short top, left, bottom, right;
};

struct A_Matrix4 {
    A_FpLong mat[4][4];
};

// Four-character codes of the host's pixel formats and world types: first character in the
// lowest byte, as the host's Windows headers build them.
constexpr A_u_long AEFourCC(char a, char b, char c, char d)
{
    return static_cast<A_u_long>(static_cast<uint8_t>(a)) |
           static_cast<A_u_long>(static_cast<uint8_t>(b)) << 8 |
           static_cast<A_u_long>(static_cast<uint8_t>(c)) << 16 |
           static_cast<A_u_long>(static_cast<uint8_t>(d)) << 24;
}
