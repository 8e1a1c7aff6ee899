// Drawing suites the host lends a custom UI: a supplier makes pens, brushes, fonts, images and
// paths, and a surface draws them. Integer "enum" types are fixed-width typedefs because the
// host's compiler sizes its enums differently from GCC.
#pragma once
#include "A.h"
#include "SPBasic.h"

typedef A_u_char DRAWBOT_Boolean;
typedef A_long DRAWBOT_FillType;
typedef A_long DRAWBOT_PixelLayout;
typedef A_long DRAWBOT_TextAlignment;
typedef A_long DRAWBOT_TextTruncation;
typedef A_long DRAWBOT_InterpolationPolicy;
typedef A_long DRAWBOT_AntiAliasPolicy;

// References are the host's objects, never dereferenced here. Pens, brushes, fonts, images and
// paths are retained and released as DRAWBOT_ObjectRef.
typedef struct _DRAWBOT_DrawOpaque* DRAWBOT_DrawRef;
typedef struct _DRAWBOT_SupplierOpaque* DRAWBOT_SupplierRef;
typedef struct _DRAWBOT_SurfaceOpaque* DRAWBOT_SurfaceRef;
typedef struct _DRAWBOT_ObjectOpaque* DRAWBOT_ObjectRef;
typedef struct _DRAWBOT_PathOpaque* DRAWBOT_PathRef;
typedef struct _DRAWBOT_PenOpaque* DRAWBOT_PenRef;
typedef struct _DRAWBOT_BrushOpaque* DRAWBOT_BrushRef;
typedef struct _DRAWBOT_FontOpaque* DRAWBOT_FontRef;
typedef struct _DRAWBOT_ImageOpaque* DRAWBOT_ImageRef;

enum : DRAWBOT_FillType {
    kDRAWBOT_FillType_EvenOdd = 0,
    kDRAWBOT_FillType_Winding = 1,
    kDRAWBOT_FillType_Default = kDRAWBOT_FillType_Winding,
};

enum : DRAWBOT_PixelLayout {
    kDRAWBOT_PixelLayout_24RGB = 0,
    kDRAWBOT_PixelLayout_24BGR = 1,
    kDRAWBOT_PixelLayout_32RGB = 2,
    kDRAWBOT_PixelLayout_32BGR = 3,
    kDRAWBOT_PixelLayout_32ARGB_Straight = 4,
    kDRAWBOT_PixelLayout_32ARGB_Premul = 5,
    kDRAWBOT_PixelLayout_32BGRA_Straight = 6,
    kDRAWBOT_PixelLayout_32BGRA_Premul = 7,
};

enum : DRAWBOT_TextAlignment {
    kDRAWBOT_TextAlignment_Left = 0,
    kDRAWBOT_TextAlignment_Center = 1,
    kDRAWBOT_TextAlignment_Right = 2,
    kDRAWBOT_TextAlignment_Default = kDRAWBOT_TextAlignment_Left,
};

enum : DRAWBOT_TextTruncation {
    kDRAWBOT_TextTruncation_None = 0,
    kDRAWBOT_TextTruncation_End = 1,
    kDRAWBOT_TextTruncation_EndEllipsis = 2,
    kDRAWBOT_TextTruncation_PathEllipsis = 3,
};

enum : DRAWBOT_InterpolationPolicy {
    kDRAWBOT_InterpolationPolicy_None = 0,
    kDRAWBOT_InterpolationPolicy_Med = 1,
    kDRAWBOT_InterpolationPolicy_High = 2,
    kDRAWBOT_InterpolationPolicy_Default = kDRAWBOT_InterpolationPolicy_None,
};

enum : DRAWBOT_AntiAliasPolicy {
    kDRAWBOT_AntiAliasPolicy_None = 0,
    kDRAWBOT_AntiAliasPolicy_Med = 1,
    kDRAWBOT_AntiAliasPolicy_High = 2,
    kDRAWBOT_AntiAliasPolicy_Default = kDRAWBOT_AntiAliasPolicy_None,
};

struct DRAWBOT_ColorRGBA {
    float red, green, blue, alpha;
};

struct DRAWBOT_PointF32 {
    float x, y;
};

struct DRAWBOT_Rect32 {
    A_long left, top, width, height;
};

struct DRAWBOT_RectF32 {
    float left, top, width, height;
};

struct DRAWBOT_MatrixF32 {
    float mat[3][3];
};

#define kDRAWBOT_DrawSuite "DRAWBOT Draw Suite"
constexpr A_long kDRAWBOT_DrawSuite_Version1 = 1;
constexpr A_long kDRAWBOT_DrawSuite_VersionCurrent = kDRAWBOT_DrawSuite_Version1;

#define kDRAWBOT_SupplierSuite "DRAWBOT Supplier Suite"
constexpr A_long kDRAWBOT_SupplierSuite_Version1 = 1;
constexpr A_long kDRAWBOT_SupplierSuite_VersionCurrent = kDRAWBOT_SupplierSuite_Version1;

#define kDRAWBOT_SurfaceSuite "DRAWBOT Surface Suite"
constexpr A_long kDRAWBOT_SurfaceSuite_Version1 = 1;
constexpr A_long kDRAWBOT_SurfaceSuite_Version2 = 2;
constexpr A_long kDRAWBOT_SurfaceSuite_VersionCurrent = kDRAWBOT_SurfaceSuite_Version2;

#define kDRAWBOT_PathSuite "DRAWBOT Path Suite"
constexpr A_long kDRAWBOT_PathSuite_Version1 = 1;
constexpr A_long kDRAWBOT_PathSuite_VersionCurrent = kDRAWBOT_PathSuite_Version1;

#define kDRAWBOT_PenSuite "DRAWBOT Pen Suite"
constexpr A_long kDRAWBOT_PenSuite_Version1 = 1;
constexpr A_long kDRAWBOT_PenSuite_VersionCurrent = kDRAWBOT_PenSuite_Version1;

#define kDRAWBOT_ImageSuite "DRAWBOT Image Suite"
constexpr A_long kDRAWBOT_ImageSuite_Version1 = 1;
constexpr A_long kDRAWBOT_ImageSuite_VersionCurrent = kDRAWBOT_ImageSuite_Version1;

struct DRAWBOT_DrawbotSuite1 {
    A_Err (*GetSupplier)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef* supplier);
    A_Err (*GetSurface)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef* surface);
};

struct DRAWBOT_SupplierSuite1 {
    A_Err (*NewPen)(DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA* color, float size, DRAWBOT_PenRef* pen);
    A_Err (*NewBrush)(DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA* color, DRAWBOT_BrushRef* brush);
    A_Err (*SupportsText)(DRAWBOT_SupplierRef supplier, DRAWBOT_Boolean* supports_text);
    A_Err (*GetDefaultFontSize)(DRAWBOT_SupplierRef supplier, float* font_size);
    A_Err (*NewDefaultFont)(DRAWBOT_SupplierRef supplier, float font_size, DRAWBOT_FontRef* font);
    A_Err (*NewImageFromBuffer)(DRAWBOT_SupplierRef supplier, A_long width, A_long height, A_long row_bytes,
                                DRAWBOT_PixelLayout pixel_layout, const void* pixels, DRAWBOT_ImageRef* image);
    A_Err (*NewPath)(DRAWBOT_SupplierRef supplier, DRAWBOT_PathRef* path);
    A_Err (*SupportsPixelLayoutBGRA)(DRAWBOT_SupplierRef supplier, DRAWBOT_Boolean* supports_bgra);
    A_Err (*PrefersPixelLayoutBGRA)(DRAWBOT_SupplierRef supplier, DRAWBOT_Boolean* prefers_bgra);
    A_Err (*SupportsPixelLayoutARGB)(DRAWBOT_SupplierRef supplier, DRAWBOT_Boolean* supports_argb);
    A_Err (*PrefersPixelLayoutARGB)(DRAWBOT_SupplierRef supplier, DRAWBOT_Boolean* prefers_argb);
    A_Err (*RetainObject)(DRAWBOT_ObjectRef object);
    A_Err (*ReleaseObject)(DRAWBOT_ObjectRef object);
};

struct DRAWBOT_PathSuite1 {
    A_Err (*MoveTo)(DRAWBOT_PathRef path, float x, float y);
    A_Err (*LineTo)(DRAWBOT_PathRef path, float x, float y);
    A_Err (*BezierTo)(DRAWBOT_PathRef path, const DRAWBOT_PointF32* control1, const DRAWBOT_PointF32* control2,
                      const DRAWBOT_PointF32* end);
    A_Err (*AddRect)(DRAWBOT_PathRef path, const DRAWBOT_RectF32* rect);
    A_Err (*AddArc)(DRAWBOT_PathRef path, const DRAWBOT_PointF32* center, float radius, float start_angle,
                    float sweep_angle);
    A_Err (*Close)(DRAWBOT_PathRef path);
};

struct DRAWBOT_SurfaceSuite2 {
    A_Err (*PushStateStack)(DRAWBOT_SurfaceRef surface);
    A_Err (*PopStateStack)(DRAWBOT_SurfaceRef surface);
    A_Err (*PaintRect)(DRAWBOT_SurfaceRef surface, const DRAWBOT_ColorRGBA* color, const DRAWBOT_RectF32* rect);
    A_Err (*FillPath)(DRAWBOT_SurfaceRef surface, DRAWBOT_BrushRef brush, DRAWBOT_PathRef path,
                      DRAWBOT_FillType fill_type);
    A_Err (*StrokePath)(DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen, DRAWBOT_PathRef path);
    A_Err (*Clip)(DRAWBOT_SurfaceRef surface, DRAWBOT_SupplierRef supplier, const DRAWBOT_Rect32* rect);
    A_Err (*GetClipBounds)(DRAWBOT_SurfaceRef surface, DRAWBOT_Rect32* bounds);
    A_Err (*IsWithinClipBounds)(DRAWBOT_SurfaceRef surface, const DRAWBOT_Rect32* rect, DRAWBOT_Boolean* within);
    A_Err (*Transform)(DRAWBOT_SurfaceRef surface, const DRAWBOT_MatrixF32* matrix);
    A_Err (*DrawString)(DRAWBOT_SurfaceRef surface, DRAWBOT_BrushRef brush, DRAWBOT_FontRef font,
                        const A_UTF16Char* text, const DRAWBOT_PointF32* origin, DRAWBOT_TextAlignment alignment,
                        DRAWBOT_TextTruncation truncation, float truncation_width);
    A_Err (*DrawImage)(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image, const DRAWBOT_PointF32* origin, float alpha);
    A_Err (*SetInterpolationPolicy)(DRAWBOT_SurfaceRef surface, DRAWBOT_InterpolationPolicy policy);
    A_Err (*GetInterpolationPolicy)(DRAWBOT_SurfaceRef surface, DRAWBOT_InterpolationPolicy* policy);
    A_Err (*SetAntiAliasPolicy)(DRAWBOT_SurfaceRef surface, DRAWBOT_AntiAliasPolicy policy);
    A_Err (*GetAntiAliasPolicy)(DRAWBOT_SurfaceRef surface, DRAWBOT_AntiAliasPolicy* policy);
    A_Err (*Flush)(DRAWBOT_SurfaceRef surface);
    A_Err (*GetTransformToScreenScale)(DRAWBOT_SurfaceRef surface, float* scale);
};

SP_SUITE_ID(DRAWBOT_DrawbotSuite1, kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1);
SP_SUITE_ID(DRAWBOT_SupplierSuite1, kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1);
SP_SUITE_ID(DRAWBOT_PathSuite1, kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1);
SP_SUITE_ID(DRAWBOT_SurfaceSuite2, kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version2);
