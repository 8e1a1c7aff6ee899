// General-plug-in (AEGP) suites: the project model as the host exposes it to plug-ins, in the
// host's Windows x64 layout. Integer "enum" types are fixed-width typedefs because the host's
// compiler sizes its enums differently from GCC.
#pragma once
#include <cstdint>

#include "AE_Effect.h"

// ---- Scalar types --------------------------------------------------------------------------

typedef A_long AEGP_PluginID;
typedef A_long AEGP_LayerIDVal;
typedef A_long AEGP_MaskIDVal;
typedef A_long AEGP_ItemID;
typedef A_long AEGP_KeyframeIndex;
typedef A_long AEGP_EffectIndex;
typedef A_long AEGP_InstalledEffectKey;
typedef A_short AEGP_LTimeMode;
typedef A_long AEGP_LayerStream;
typedef A_long AEGP_MaskStream;
typedef A_long AEGP_StreamType;
typedef A_long AEGP_StreamFlags;
typedef A_long AEGP_StreamGroupingType;
typedef A_u_long AEGP_DynStreamFlags;
typedef A_long AEGP_KeyframeInterpolationType;
typedef A_long AEGP_KeyInterpolationMask;
typedef A_long AEGP_KeyframeFlags;
typedef A_short AEGP_ItemType;
typedef A_long AEGP_ItemFlags;
typedef int8_t AEGP_LabelID;
typedef A_long AEGP_ObjectType;
typedef A_long AEGP_LayerFlags;
typedef A_short AEGP_LayerQuality;
typedef A_long AEGP_EffectFlags;
typedef A_long AEGP_CompFlags;
typedef A_long AEGP_WorldType;
typedef A_long AEGP_MatteMode;
typedef int8_t AEGP_ChannelOrder;
typedef int8_t AEGP_ItemQuality;
typedef A_long AEGP_MemFlag;
typedef A_u_long AEGP_MemSize;
typedef A_long AEGP_MemID;
typedef A_u_long AEGP_GetPathTypes;
typedef A_long AEGP_Command;
typedef A_u_long AEGP_HookPriority;
typedef A_u_longlong AEGP_AsyncRequestId;

// ---- Handles (the host passes each as a pointer to its own pointer-sized slot) ------------

typedef struct _AEGP_ProjectOpaque** AEGP_ProjectH;
typedef struct _AEGP_ItemOpaque** AEGP_ItemH;
typedef struct _AEGP_CompOpaque** AEGP_CompH;
typedef struct _AEGP_LayerOpaque** AEGP_LayerH;
typedef struct _AEGP_EffectRefOpaque** AEGP_EffectRefH;
typedef struct _AEGP_StreamRefOpaque** AEGP_StreamRefH;
typedef struct _AEGP_MaskRefOpaque** AEGP_MaskRefH;
typedef struct _AEGP_MaskOutlineOpaque** AEGP_MaskOutlineValH;
typedef struct _AEGP_TextDocumentOpaque** AEGP_TextDocumentH;
typedef struct _AEGP_AddKeyframesInfoOpaque** AEGP_AddKeyframesInfoH;
typedef struct _AEGP_Collection2Opaque** AEGP_Collection2H;
typedef struct _AEGP_RenderOptionsOpaque** AEGP_RenderOptionsH;
typedef struct _AEGP_LayerRenderOptionsOpaque** AEGP_LayerRenderOptionsH;
typedef struct _AEGP_FrameReceiptOpaque** AEGP_FrameReceiptH;
typedef struct _AEGP_WorldOpaque** AEGP_WorldH;
typedef struct _AEGP_PlatformWorldOpaque** AEGP_PlatformWorldH;
typedef struct _AEGP_SoundDataOpaque** AEGP_SoundDataH;
typedef struct _AEGP_MemHandleOpaque** AEGP_MemHandle;
typedef struct _AEGP_MarkerValOpaque* AEGP_MarkerValP;

// Refcons travel untouched between the plug-in and its own callbacks.
typedef struct _AEGP_GlobalRefconOpaque* AEGP_GlobalRefcon;
typedef struct _AEGP_IdleRefconOpaque* AEGP_IdleRefcon;
typedef struct _AEGP_DeathRefconOpaque* AEGP_DeathRefcon;
typedef struct _AEGP_CancelRefconOpaque* AEGP_CancelRefcon;
typedef struct _AEGP_CommandRefconOpaque* AEGP_CommandRefcon;
typedef struct _AEGP_UpdateMenuRefconOpaque* AEGP_UpdateMenuRefcon;
typedef struct _AEGP_VersionRefconOpaque* AEGP_VersionRefcon;
typedef struct _AEGP_AboutStringRefconOpaque* AEGP_AboutStringRefcon;
typedef struct _AEGP_AboutRefconOpaque* AEGP_AboutRefcon;
typedef struct _AEGP_IORefconOpaque* AEGP_IORefcon;
typedef struct _AEGP_AsyncFrameRequestRefconOpaque* AEGP_AsyncFrameRequestRefcon;

typedef A_Err (*AEGP_IdleHook)(AEGP_GlobalRefcon plugin_refcon, AEGP_IdleRefcon refcon, A_long* max_sleep);
typedef A_Err (*AEGP_DeathHook)(AEGP_GlobalRefcon plugin_refcon, AEGP_DeathRefcon refcon);
typedef A_Err (*AEGP_RenderSuiteCheckForCancellation)(AEGP_CancelRefcon refcon, A_Boolean* cancel);

// ---- Enumerations --------------------------------------------------------------------------

enum : A_long { AEGP_Index_NONE = INT32_MIN, AEGP_Index_START = 0, AEGP_Index_END = -1 };

enum : AEGP_LTimeMode { AEGP_LTimeMode_LayerTime = 0, AEGP_LTimeMode_CompTime = 1 };

enum : AEGP_LayerStream {
    AEGP_LayerStream_NONE = -1,
    AEGP_LayerStream_ANCHORPOINT = 0,
    AEGP_LayerStream_POSITION = 1,
    AEGP_LayerStream_SCALE = 2,
    AEGP_LayerStream_ROTATION = 3,
    AEGP_LayerStream_ROTATE_Z = AEGP_LayerStream_ROTATION,
    AEGP_LayerStream_OPACITY = 4,
    AEGP_LayerStream_AUDIO = 5,
    AEGP_LayerStream_MARKER = 6,
    AEGP_LayerStream_TIME_REMAP = 7,
    AEGP_LayerStream_ROTATE_X = 8,
    AEGP_LayerStream_ROTATE_Y = 9,
    AEGP_LayerStream_ORIENTATION = 10,
    AEGP_LayerStream_ZOOM = 11,
    AEGP_LayerStream_DEPTH_OF_FIELD = 12,
    AEGP_LayerStream_FOCUS_DISTANCE = 13,
    AEGP_LayerStream_APERTURE = 14,
    AEGP_LayerStream_BLUR_LEVEL = 15,
    AEGP_LayerStream_INTENSITY = 16,
    AEGP_LayerStream_COLOR = 17,
    AEGP_LayerStream_CONE_ANGLE = 18,
    AEGP_LayerStream_CONE_FEATHER = 19,
    AEGP_LayerStream_SHADOW_DARKNESS = 20,
    AEGP_LayerStream_SHADOW_DIFFUSION = 21,
    AEGP_LayerStream_ACCEPTS_SHADOWS = 22,
    AEGP_LayerStream_ACCEPTS_LIGHTS = 23,
    AEGP_LayerStream_AMBIENT_COEFF = 24,
    AEGP_LayerStream_DIFFUSE_COEFF = 25,
    AEGP_LayerStream_SPECULAR_INTENSITY = 26,
    AEGP_LayerStream_SPECULAR_SHININESS = 27,
    AEGP_LayerStream_CASTS_SHADOWS = 28,
    AEGP_LayerStream_LIGHT_TRANSMISSION = 29,
    AEGP_LayerStream_METAL = 30,
    AEGP_LayerStream_SOURCE_TEXT = 31,
    AEGP_LayerStream_IRIS_SHAPE = 32,
    AEGP_LayerStream_IRIS_ROTATION = 33,
    AEGP_LayerStream_IRIS_ROUNDNESS = 34,
    AEGP_LayerStream_IRIS_ASPECT_RATIO = 35,
    AEGP_LayerStream_IRIS_DIFFRACTION_FRINGE = 36,
    AEGP_LayerStream_IRIS_HIGHLIGHT_GAIN = 37,
    AEGP_LayerStream_IRIS_HIGHLIGHT_THRESHOLD = 38,
    AEGP_LayerStream_IRIS_HIGHLIGHT_SATURATION = 39,
    AEGP_LayerStream_LIGHT_FALLOFF_TYPE = 40,
    AEGP_LayerStream_LIGHT_FALLOFF_START = 41,
    AEGP_LayerStream_LIGHT_FALLOFF_DISTANCE = 42,
    AEGP_LayerStream_REFLECTION_INTENSITY = 43,
    AEGP_LayerStream_REFLECTION_SHARPNESS = 44,
    AEGP_LayerStream_REFLECTION_ROLLOFF = 45,
    AEGP_LayerStream_TRANSPARENCY_COEFF = 46,
    AEGP_LayerStream_TRANSPARENCY_ROLLOFF = 47,
    AEGP_LayerStream_INDEX_OF_REFRACTION = 48,
    AEGP_LayerStream_EXTRUSION_BEVEL_STYLE = 49,
    AEGP_LayerStream_EXTRUSION_BEVEL_DIRECTION = 50,
    AEGP_LayerStream_EXTRUSION_BEVEL_DEPTH = 51,
    AEGP_LayerStream_EXTRUSION_HOLE_BEVEL_DEPTH = 52,
    AEGP_LayerStream_EXTRUSION_DEPTH = 53,
    AEGP_LayerStream_PLANE_CURVATURE = 54,
    AEGP_LayerStream_PLANE_SUBDIVISION = 55,
    AEGP_LayerStream_NUMTYPES = 56,
    AEGP_LayerStream_BEGIN = AEGP_LayerStream_ANCHORPOINT,
    AEGP_LayerStream_END = AEGP_LayerStream_NUMTYPES,
};

enum : AEGP_StreamType {
    AEGP_StreamType_NO_DATA = 0,
    AEGP_StreamType_ThreeD_SPATIAL = 1,
    AEGP_StreamType_ThreeD = 2,
    AEGP_StreamType_TwoD_SPATIAL = 3,
    AEGP_StreamType_TwoD = 4,
    AEGP_StreamType_OneD = 5,
    AEGP_StreamType_COLOR = 6,
    AEGP_StreamType_ARB = 7,
    AEGP_StreamType_MARKER = 8,
    AEGP_StreamType_LAYER_ID = 9,
    AEGP_StreamType_MASK_ID = 10,
    AEGP_StreamType_MASK = 11,
    AEGP_StreamType_TEXT_DOCUMENT = 12,
};

enum : AEGP_DynStreamFlags {
    AEGP_DynStreamFlag_ACTIVE_EYEBALL = 1u << 0,
    AEGP_DynStreamFlag_HIDDEN = 1u << 1,
    AEGP_DynStreamFlag_DISABLED = 1u << 4,
    AEGP_DynStreamFlag_ELIDED = 1u << 5,
    AEGP_DynStreamFlag_SHOWN_WHEN_EMPTY = 1u << 10,
    AEGP_DynStreamFlag_SKIP_REVEAL_WHEN_UNHIDDEN = 1u << 16,
};

enum : AEGP_KeyframeInterpolationType {
    AEGP_KeyInterp_NONE = 0,
    AEGP_KeyInterp_LINEAR = 1,
    AEGP_KeyInterp_BEZIER = 2,
    AEGP_KeyInterp_HOLD = 3,
};

enum : AEGP_ItemType {
    AEGP_ItemType_NONE = 0,
    AEGP_ItemType_FOLDER = 1,
    AEGP_ItemType_COMP = 2,
    AEGP_ItemType_SOLID_defunct = 3,
    AEGP_ItemType_FOOTAGE = 4,
    AEGP_ItemType_NUM_TYPES1 = 5,
};

enum : AEGP_ItemFlags {
    AEGP_ItemFlag_MISSING = 1 << 0,
    AEGP_ItemFlag_HAS_PROXY = 1 << 1,
    AEGP_ItemFlag_USING_PROXY = 1 << 2,
    AEGP_ItemFlag_MISSING_PROXY = 1 << 3,
    AEGP_ItemFlag_HAS_VIDEO = 1 << 4,
    AEGP_ItemFlag_HAS_AUDIO = 1 << 5,
    AEGP_ItemFlag_STILL = 1 << 6,
    AEGP_ItemFlag_HAS_ACTIVE_AUDIO = 1 << 7,
};

enum : AEGP_ObjectType {
    AEGP_ObjectType_NONE = -1,
    AEGP_ObjectType_AV = 0,
    AEGP_ObjectType_LIGHT = 1,
    AEGP_ObjectType_CAMERA = 2,
    AEGP_ObjectType_TEXT = 3,
    AEGP_ObjectType_VECTOR = 4,
    AEGP_ObjectType_RESERVED1 = 5,
    AEGP_ObjectType_RESERVED2 = 6,
    AEGP_ObjectType_RESERVED3 = 7,
    AEGP_ObjectType_RESERVED4 = 8,
    AEGP_ObjectType_RESERVED5 = 9,
    AEGP_ObjectType_NUM_TYPES = 10,
};

enum : AEGP_LayerFlags {
    AEGP_LayerFlag_NONE = 0,
    AEGP_LayerFlag_VIDEO_ACTIVE = 1 << 0,
    AEGP_LayerFlag_AUDIO_ACTIVE = 1 << 1,
    AEGP_LayerFlag_EFFECTS_ACTIVE = 1 << 2,
    AEGP_LayerFlag_MOTION_BLUR = 1 << 3,
    AEGP_LayerFlag_FRAME_BLENDING = 1 << 4,
    AEGP_LayerFlag_LOCKED = 1 << 5,
    AEGP_LayerFlag_SHY = 1 << 6,
    AEGP_LayerFlag_COLLAPSE = 1 << 7,
    AEGP_LayerFlag_AUTO_ORIENT_ROTATION = 1 << 8,
    AEGP_LayerFlag_ADJUSTMENT_LAYER = 1 << 9,
    AEGP_LayerFlag_TIME_REMAPPING = 1 << 10,
    AEGP_LayerFlag_LAYER_IS_3D = 1 << 11,
    AEGP_LayerFlag_LOOK_AT_CAMERA = 1 << 12,
    AEGP_LayerFlag_LOOK_AT_POI = 1 << 13,
    AEGP_LayerFlag_SOLO = 1 << 14,
    AEGP_LayerFlag_MARKERS_LOCKED = 1 << 15,
    AEGP_LayerFlag_NULL_LAYER = 1 << 16,
    AEGP_LayerFlag_HIDE_LOCKED_MASKS = 1 << 17,
    AEGP_LayerFlag_GUIDE_LAYER = 1 << 18,
    AEGP_LayerFlag_ADVANCED_FRAME_BLENDING = 1 << 19,
    AEGP_LayerFlag_SUBLAYERS_RENDER_SEPARATELY = 1 << 20,
    AEGP_LayerFlag_ENVIRONMENT_LAYER = 1 << 21,
};

enum : AEGP_LayerQuality {
    AEGP_LayerQual_NONE = -1,
    AEGP_LayerQual_WIREFRAME = 0,
    AEGP_LayerQual_DRAFT = 1,
    AEGP_LayerQual_BEST = 2,
};

enum : AEGP_EffectFlags {
    AEGP_EffectFlags_NONE = 0,
    AEGP_EffectFlags_ACTIVE = 1 << 0,
    AEGP_EffectFlags_AUDIO_ONLY = 1 << 1,
    AEGP_EffectFlags_AUDIO_TOO = 1 << 2,
    AEGP_EffectFlags_MISSING = 1 << 3,
};

enum : AEGP_WorldType { AEGP_WorldType_NONE = 0, AEGP_WorldType_8 = 1, AEGP_WorldType_16 = 2, AEGP_WorldType_32 = 3 };

enum : AEGP_MatteMode {
    AEGP_MatteMode_STRAIGHT = 0,
    AEGP_MatteMode_PREMUL_BLACK = 1,
    AEGP_MatteMode_PREMUL_BG_COLOR = 2
};

enum : AEGP_MemFlag { AEGP_MemFlag_NONE = 0, AEGP_MemFlag_CLEAR = 1 << 0, AEGP_MemFlag_QUIET = 1 << 1 };

// ---- Value records -------------------------------------------------------------------------

struct AEGP_TwoDVal {
    A_FpLong x, y;
};

struct AEGP_ThreeDVal {
    A_FpLong x, y, z;
};

struct AEGP_ColorVal {
    A_FpLong alphaF, redF, greenF, blueF;
};

union AEGP_StreamVal2 {
    A_FpLong four_d[4];
    AEGP_ThreeDVal three_d;
    AEGP_TwoDVal two_d;
    A_FpLong one_d;
    AEGP_ColorVal color;
    PF_Handle arbH;
    AEGP_MarkerValP markerP;
    AEGP_LayerIDVal layer_id;
    AEGP_MaskIDVal mask_id;
    AEGP_MaskOutlineValH mask;
    AEGP_TextDocumentH text_documentH;
};

struct AEGP_StreamValue2 {
    AEGP_StreamRefH streamH;
    AEGP_StreamVal2 val;
};

struct AEGP_KeyframeEase {
    A_FpLong speedF, influenceF;
};

struct AEGP_DownsampleFactor {
    A_short xS, yS;
};

struct AEGP_TimeStamp {
    A_char a[4];
};

// ---- Suite names and versions --------------------------------------------------------------
// A version constant is named after the struct that version is served as, not after the number
// it holds (kAEGPCompSuiteVersion4 is version 9).

#define kAEGPUtilitySuite "AEGP Utility Suite"
constexpr A_long kAEGPUtilitySuiteVersion1 = 3;
constexpr A_long kAEGPUtilitySuiteVersion2 = 5;
constexpr A_long kAEGPUtilitySuiteVersion3 = 7;
constexpr A_long kAEGPUtilitySuiteVersion4 = 10;
constexpr A_long kAEGPUtilitySuiteVersion5 = 11;
constexpr A_long kAEGPUtilitySuiteVersion6 = 13;

#define kAEGPRegisterSuite "AEGP Register Suite"
constexpr A_long kAEGPRegisterSuiteVersion5 = 6;

#define kAEGPPFInterfaceSuite "AEGP PF Interface Suite"
constexpr A_long kAEGPPFInterfaceSuiteVersion1 = 1;

#define kAEGPStreamSuite "AEGP Stream Suite"
constexpr A_long kAEGPStreamSuiteVersion1 = 4;
constexpr A_long kAEGPStreamSuiteVersion2 = 7;
constexpr A_long kAEGPStreamSuiteVersion3 = 8;
constexpr A_long kAEGPStreamSuiteVersion4 = 9;
constexpr A_long kAEGPStreamSuiteVersion5 = 10;
constexpr A_long kAEGPStreamSuiteVersion6 = 11;

#define kAEGPDynamicStreamSuite "AEGP Dynamic Stream Suite"
constexpr A_long kAEGPDynamicStreamSuiteVersion1 = 1;
constexpr A_long kAEGPDynamicStreamSuiteVersion2 = 2;
constexpr A_long kAEGPDynamicStreamSuiteVersion3 = 3;
constexpr A_long kAEGPDynamicStreamSuiteVersion4 = 5;

#define kAEGPKeyframeSuite "AEGP Keyframe Suite"
constexpr A_long kAEGPKeyframeSuiteVersion1 = 1;
constexpr A_long kAEGPKeyframeSuiteVersion2 = 2;
constexpr A_long kAEGPKeyframeSuiteVersion3 = 3;
constexpr A_long kAEGPKeyframeSuiteVersion4 = 4;
constexpr A_long kAEGPKeyframeSuiteVersion5 = 5;

#define kAEGPLayerSuite "AEGP Layer Suite"
constexpr A_long kAEGPLayerSuiteVersion1 = 5;
constexpr A_long kAEGPLayerSuiteVersion2 = 7;
constexpr A_long kAEGPLayerSuiteVersion3 = 8;
constexpr A_long kAEGPLayerSuiteVersion4 = 10;
constexpr A_long kAEGPLayerSuiteVersion5 = 11;
constexpr A_long kAEGPLayerSuiteVersion6 = 12;
constexpr A_long kAEGPLayerSuiteVersion7 = 13;
constexpr A_long kAEGPLayerSuiteVersion8 = 14;
constexpr A_long kAEGPLayerSuiteVersion9 = 15;

#define kAEGPEffectSuite "AEGP Effect Suite"
constexpr A_long kAEGPEffectSuiteVersion1 = 1;
constexpr A_long kAEGPEffectSuiteVersion2 = 2;
constexpr A_long kAEGPEffectSuiteVersion3 = 3;
constexpr A_long kAEGPEffectSuiteVersion4 = 4;
constexpr A_long kAEGPEffectSuiteVersion5 = 5;

#define kAEGPCompSuite "AEGP Comp Suite"
constexpr A_long kAEGPCompSuiteVersion1 = 4;
constexpr A_long kAEGPCompSuiteVersion2 = 6;
constexpr A_long kAEGPCompSuiteVersion3 = 7;
constexpr A_long kAEGPCompSuiteVersion4 = 9;
constexpr A_long kAEGPCompSuiteVersion5 = 11;
constexpr A_long kAEGPCompSuiteVersion6 = 14;
constexpr A_long kAEGPCompSuiteVersion7 = 15;
constexpr A_long kAEGPCompSuiteVersion8 = 18;
constexpr A_long kAEGPCompSuiteVersion9 = 19;
constexpr A_long kAEGPCompSuiteVersion10 = 21;
constexpr A_long kAEGPCompSuiteVersion11 = 25;
constexpr A_long kAEGPCompSuiteVersion12 = 26;

#define kAEGPItemSuite "AEGP Item Suite"
constexpr A_long kAEGPItemSuiteVersion1 = 3;
constexpr A_long kAEGPItemSuiteVersion2 = 4;
constexpr A_long kAEGPItemSuiteVersion3 = 5;
constexpr A_long kAEGPItemSuiteVersion4 = 6;
constexpr A_long kAEGPItemSuiteVersion5 = 7;
constexpr A_long kAEGPItemSuiteVersion6 = 10;
constexpr A_long kAEGPItemSuiteVersion7 = 11;
constexpr A_long kAEGPItemSuiteVersion8 = 13;
constexpr A_long kAEGPItemSuiteVersion9 = 14;

#define kAEGPMemorySuite "AEGP Memory Suite"
constexpr A_long kAEGPMemorySuiteVersion1 = 1;

#define kAEGPRenderOptionsSuite "AEGP Render Options Suite"
constexpr A_long kAEGPRenderOptionsSuiteVersion1 = 1;
constexpr A_long kAEGPRenderOptionsSuiteVersion2 = 2;
constexpr A_long kAEGPRenderOptionsSuiteVersion3 = 3;
constexpr A_long kAEGPRenderOptionsSuiteVersion4 = 4;

#define kAEGPLayerRenderOptionsSuite "AEGP Layer Render Options Suite"
constexpr A_long kAEGPLayerRenderOptionsSuiteVersion1 = 1;
constexpr A_long kAEGPLayerRenderOptionsSuiteVersion2 = 2;

#define kAEGPRenderSuite "AEGP Render Suite"
constexpr A_long kAEGPRenderSuiteVersion1 = 1;
constexpr A_long kAEGPRenderSuiteVersion2 = 2;
constexpr A_long kAEGPRenderSuiteVersion3 = 3;
constexpr A_long kAEGPRenderSuiteVersion4 = 5;
constexpr A_long kAEGPRenderSuiteVersion5 = 8;

#define kAEGPWorldSuite "AEGP World Suite"
constexpr A_long kAEGPWorldSuiteVersion1 = 1;
constexpr A_long kAEGPWorldSuiteVersion2 = 2;
constexpr A_long kAEGPWorldSuiteVersion3 = 3;

// Suites Strandel does not declare; their names and versions still identify them to the host.
#define kAEGPCanvasSuite "AEGP Canvas Suite"
constexpr A_long kAEGPCanvasSuiteVersion1 = 4;
constexpr A_long kAEGPCanvasSuiteVersion2 = 6;
constexpr A_long kAEGPCanvasSuiteVersion4 = 9;
constexpr A_long kAEGPCanvasSuiteVersion5 = 10;
constexpr A_long kAEGPCanvasSuiteVersion6 = 11;
constexpr A_long kAEGPCanvasSuiteVersion7 = 13;
constexpr A_long kAEGPCanvasSuiteVersion8 = 14;

#define kAEGPRenderQueueSuite "AEGP Render Queue Suite"
constexpr A_long kAEGPRenderQueueSuiteVersion1 = 1;

#define kAEGPRQItemSuite "AEGP Render Queue Item Suite"
constexpr A_long kAEGPRQItemSuiteVersion1 = 1;
constexpr A_long kAEGPRQItemSuiteVersion2 = 3;
constexpr A_long kAEGPRQItemSuiteVersion3 = 4;
constexpr A_long kAEGPRQItemSuiteVersion4 = 5;

#define kAEGPOutputModuleSuite "AEGP Output Module Suite"
constexpr A_long kAEGPOutputModuleSuiteVersion4 = 4;

#define kAEGPMaskOutlineSuite "AEGP Mask Outline Suite"
constexpr A_long kAEGPMaskOutlineSuiteVersion1 = 2;
constexpr A_long kAEGPMaskOutlineSuiteVersion2 = 3;
constexpr A_long kAEGPMaskOutlineSuiteVersion3 = 5;

#define kAEGPMaskSuite "AEGP Layer Mask Suite"
constexpr A_long kAEGPMaskSuiteVersion1 = 2;
constexpr A_long kAEGPMaskSuiteVersion2 = 3;
constexpr A_long kAEGPMaskSuiteVersion3 = 4;
constexpr A_long kAEGPMaskSuiteVersion4 = 5;
constexpr A_long kAEGPMaskSuiteVersion5 = 6;
constexpr A_long kAEGPMaskSuiteVersion6 = 7;

#define kAEGPLightSuite "AEGP Light Suite"
constexpr A_long kAEGPLightSuiteVersion1 = 1;
constexpr A_long kAEGPLightSuiteVersion2 = 2;

#define kAEGPCameraSuite "AEGP Camera Suite"
constexpr A_long kAEGPCameraSuiteVersion1 = 1;
constexpr A_long kAEGPCameraSuiteVersion2 = 2;

#define kAEGPQueryXformSuite "AEGP QueryXform Suite"
constexpr A_long kAEGPQueryXformSuiteVersion1 = 1;
constexpr A_long kAEGPQueryXformSuiteVersion2 = 4;

#define kAEGPCollectionSuite "AEGP Collection Suite"
constexpr A_long kAEGPCollectionSuiteVersion1 = 1;
constexpr A_long kAEGPCollectionSuiteVersion2 = 2;

#define kAEGPColorSettingsSuite "PF Color Settings Suite"
constexpr A_long kAEGPColorSettingsSuiteVersion1 = 1;
constexpr A_long kAEGPColorSettingsSuiteVersion2 = 3;
constexpr A_long kAEGPColorSettingsSuiteVersion3 = 4;
constexpr A_long kAEGPColorSettingsSuiteVersion4 = 5;
constexpr A_long kAEGPColorSettingsSuiteVersion5 = 6;

#define kAEGPMarkerSuite "AEGP Marker Suite"
constexpr A_long kAEGPMarkerSuiteVersion1 = 1;
constexpr A_long kAEGPMarkerSuiteVersion2 = 2;
constexpr A_long kAEGPMarkerSuiteVersion3 = 3;

#define kAEGPProjSuite "AEGP Proj Suite"
constexpr A_long kAEGPProjSuiteVersion5 = 8;
constexpr A_long kAEGPProjSuiteVersion6 = 9;

#define kAEGPPersistentDataSuite "AEGP Persistent Data Suite"
constexpr A_long kAEGPPersistentDataSuiteVersion3 = 3;
constexpr A_long kAEGPPersistentDataSuiteVersion4 = 4;

#define kAEGPIterateSuite "AEGP Iterate Suite"
constexpr A_long kAEGPIterateSuiteVersion1 = 1;
constexpr A_long kAEGPIterateSuiteVersion2 = 2;

#define kAEGPIOInSuite "AEGP IO In Suite"
constexpr A_long kAEGPIOInSuiteVersion4 = 5;
constexpr A_long kAEGPIOInSuiteVersion5 = 6;

#define kAEGPIOOutSuite "AEGP IO Out Suite"
constexpr A_long kAEGPIOOutSuiteVersion4 = 7;
constexpr A_long kAEGPIOOutSuiteVersion5 = 8;

#define kAEGPFIMSuite "AEGP File Import Manager Suite"
constexpr A_long kAEGPFIMSuiteVersion3 = 3;
constexpr A_long kAEGPFIMSuiteVersion4 = 4;

#define kAEGPItemViewSuite "AEGP Item View Suite"
constexpr A_long kAEGPItemViewSuiteVersion1 = 1;

#define kAEGPSoundDataSuite "AEGP Sound Data Suite"

#define kAEGPTextDocumentSuite "AEGP Text Document Suite"
constexpr A_long kAEGPTextDocumentSuiteVersion1 = 1;

#define kAEGPTextLayerSuite "AEGP Text Layer Suite"
constexpr A_long kAEGPTextLayerSuiteVersion1 = 1;

#define kAEGPFootageSuite "AEGP Footage Suite"
constexpr A_long kAEGPFootageSuiteVersion5 = 11;

#define kAEGPCommandSuite "AEGP Command Suite"
constexpr A_long kAEGPCommandSuiteVersion1 = 1;

#define kAEGPMathSuite "AEGP Math Suite"
constexpr A_long kAEGPMathSuiteVersion1 = 1;

#define kAEGPArtisanUtilSuite "AEGP Artisan Util Suite"
constexpr A_long kAEGPArtisanUtilSuiteVersion1 = 1;

#define kAEGPCompositeSuite "AEGP Composite Suite"
constexpr A_long kAEGPCompositeSuiteVersion2 = 4;

// The host's name for this suite is misspelt; acquiring it needs the same spelling.
#define kAEGPRenderAsyncManagerSuite "AEGP Render Asyc Manager Suite"
constexpr A_long kAEGPRenderAsyncManagerSuiteVersion1 = 1;

#define kAEGPTrackerSuite "AEGP Tracker Suite"
constexpr A_long kAEGPTrackerSuiteVersion1 = 1;

#define kAEGPTrackerUtilitySuite "AEGP Tracker Utility Suite"
constexpr A_long kAEGPTrackerUtilitySuiteVersion1 = 1;

#define kAEGPRenderQueueMonitorSuite "AEGP RenderQueue Monitor Suite"
constexpr A_long kAEGPRenderQueueMonitorSuiteVersion1 = 1;

// ---- Suites --------------------------------------------------------------------------------
// Parameters typed A_Opaque / A_OpaqueFunc are host records and callbacks Strandel never
// builds: an error-report state (48 bytes), a transfer mode (12), a sound format (24), version
// stamps (4), artisan, tracker and I/O registration blocks, menu, version and about hooks.

struct AEGP_UtilitySuite3 {
    A_Err (*AEGP_ReportInfo)(AEGP_PluginID plugin_id, const A_char* info_string);
    A_Err (*AEGP_GetDriverPluginInitFuncVersion)(A_short* major_version, A_short* minor_version);
    A_Err (*AEGP_GetDriverImplementationVersion)(A_short* major_version, A_short* minor_version);
    A_Err (*AEGP_StartQuietErrors)(A_Opaque<48>* err_state);
    A_Err (*AEGP_EndQuietErrors)(A_Boolean report_quieted_errors, A_Opaque<48>* err_state);
    A_Err (*AEGP_StartUndoGroup)(const A_char* undo_name);
    A_Err (*AEGP_EndUndoGroup)(void);
    A_Err (*AEGP_RegisterWithAEGP)(AEGP_GlobalRefcon global_refcon, const A_char* plugin_name,
                                   AEGP_PluginID* plugin_id);
    A_Err (*AEGP_GetMainHWND)(void* main_hwnd);
    A_Err (*AEGP_ShowHideAllFloaters)(A_Boolean include_tool_palette);
    A_Err (*AEGP_PaintPalGetForeColor)(AEGP_ColorVal* fore_color);
    A_Err (*AEGP_PaintPalGetBackColor)(AEGP_ColorVal* back_color);
    A_Err (*AEGP_PaintPalSetForeColor)(const AEGP_ColorVal* fore_color);
    A_Err (*AEGP_PaintPalSetBackColor)(const AEGP_ColorVal* back_color);
    A_Err (*AEGP_CharPalGetFillColor)(A_Boolean* is_defined, AEGP_ColorVal* fill_color);
    A_Err (*AEGP_CharPalGetStrokeColor)(A_Boolean* is_defined, AEGP_ColorVal* stroke_color);
    A_Err (*AEGP_CharPalSetFillColor)(const AEGP_ColorVal* fill_color);
    A_Err (*AEGP_CharPalSetStrokeColor)(const AEGP_ColorVal* stroke_color);
    A_Err (*AEGP_CharPalIsFillColorUIFrontmost)(A_Boolean* is_frontmost);
    A_Err (*AEGP_ConvertFpLongToHSFRatio)(A_FpLong number, A_Ratio* ratio);
    A_Err (*AEGP_ConvertHSFRatioToFpLong)(A_Ratio ratio, A_FpLong* number);
    A_Err (*AEGP_CauseIdleRoutinesToBeCalled)(void);
    A_Err (*AEGP_GetSuppressInteractiveUI)(A_Boolean* ui_is_suppressed);
    A_Err (*AEGP_WriteToOSConsole)(const A_char* text);
    A_Err (*AEGP_WriteToDebugLog)(const A_char* subsystem, const A_char* event_type, const A_char* text);
};

struct AEGP_UtilitySuite6 {
    A_Err (*AEGP_ReportInfo)(AEGP_PluginID plugin_id, const A_char* info_string);
    A_Err (*AEGP_ReportInfoUnicode)(AEGP_PluginID plugin_id, const A_UTF16Char* info_string);
    A_Err (*AEGP_GetDriverPluginInitFuncVersion)(A_short* major_version, A_short* minor_version);
    A_Err (*AEGP_GetDriverImplementationVersion)(A_short* major_version, A_short* minor_version);
    A_Err (*AEGP_StartQuietErrors)(A_Opaque<48>* err_state);
    A_Err (*AEGP_EndQuietErrors)(A_Boolean report_quieted_errors, A_Opaque<48>* err_state);
    A_Err (*AEGP_GetLastErrorMessage)(A_long buffer_size, A_char* error_string, A_Err* error_number);
    A_Err (*AEGP_StartUndoGroup)(const A_char* undo_name);
    A_Err (*AEGP_EndUndoGroup)(void);
    A_Err (*AEGP_RegisterWithAEGP)(AEGP_GlobalRefcon global_refcon, const A_char* plugin_name,
                                   AEGP_PluginID* plugin_id);
    A_Err (*AEGP_GetMainHWND)(void* main_hwnd);
    A_Err (*AEGP_ShowHideAllFloaters)(A_Boolean include_tool_palette);
    A_Err (*AEGP_PaintPalGetForeColor)(AEGP_ColorVal* fore_color);
    A_Err (*AEGP_PaintPalGetBackColor)(AEGP_ColorVal* back_color);
    A_Err (*AEGP_PaintPalSetForeColor)(const AEGP_ColorVal* fore_color);
    A_Err (*AEGP_PaintPalSetBackColor)(const AEGP_ColorVal* back_color);
    A_Err (*AEGP_CharPalGetFillColor)(A_Boolean* is_defined, AEGP_ColorVal* fill_color);
    A_Err (*AEGP_CharPalGetStrokeColor)(A_Boolean* is_defined, AEGP_ColorVal* stroke_color);
    A_Err (*AEGP_CharPalSetFillColor)(const AEGP_ColorVal* fill_color);
    A_Err (*AEGP_CharPalSetStrokeColor)(const AEGP_ColorVal* stroke_color);
    A_Err (*AEGP_CharPalIsFillColorUIFrontmost)(A_Boolean* is_frontmost);
    A_Err (*AEGP_ConvertFpLongToHSFRatio)(A_FpLong number, A_Ratio* ratio);
    A_Err (*AEGP_ConvertHSFRatioToFpLong)(A_Ratio ratio, A_FpLong* number);
    A_Err (*AEGP_CauseIdleRoutinesToBeCalled)(void);
    A_Err (*AEGP_GetSuppressInteractiveUI)(A_Boolean* ui_is_suppressed);
    A_Err (*AEGP_WriteToOSConsole)(const A_char* text);
    A_Err (*AEGP_WriteToDebugLog)(const A_char* subsystem, const A_char* event_type, const A_char* text);
    A_Err (*AEGP_IsScriptingAvailable)(A_Boolean* is_available);
    A_Err (*AEGP_ExecuteScript)(AEGP_PluginID plugin_id, const A_char* script, A_Boolean platform_encoding,
                                AEGP_MemHandle* result, AEGP_MemHandle* error_string);
    A_Err (*AEGP_HostIsActivated)(A_Boolean* is_activated);
    A_Err (*AEGP_GetPluginPlatformRef)(AEGP_PluginID plugin_id, void** platform_ref);
    A_Err (*AEGP_UpdateFontList)(void);
    A_Err (*AEGP_GetPluginPaths)(AEGP_PluginID plugin_id, AEGP_GetPathTypes path_type, AEGP_MemHandle* path);
};

struct AEGP_RegisterSuite5 {
    A_Err (*AEGP_RegisterCommandHook)(AEGP_PluginID plugin_id, AEGP_HookPriority priority, AEGP_Command command,
                                      A_OpaqueFunc command_hook, AEGP_CommandRefcon refcon);
    A_Err (*AEGP_RegisterUpdateMenuHook)(AEGP_PluginID plugin_id, A_OpaqueFunc update_menu_hook,
                                         AEGP_UpdateMenuRefcon refcon);
    A_Err (*AEGP_RegisterDeathHook)(AEGP_PluginID plugin_id, AEGP_DeathHook death_func, AEGP_DeathRefcon refcon);
    A_Err (*AEGP_RegisterVersionHook)(AEGP_PluginID plugin_id, A_OpaqueFunc version_hook, AEGP_VersionRefcon refcon);
    A_Err (*AEGP_RegisterAboutStringHook)(AEGP_PluginID plugin_id, A_OpaqueFunc about_string_hook,
                                          AEGP_AboutStringRefcon refcon);
    A_Err (*AEGP_RegisterAboutHook)(AEGP_PluginID plugin_id, A_OpaqueFunc about_hook, AEGP_AboutRefcon refcon);
    A_Err (*AEGP_RegisterArtisan)(A_Opaque<4> api_version, A_Opaque<4> artisan_version, AEGP_PluginID plugin_id,
                                  AEGP_GlobalRefcon global_refcon, const A_char* match_name, const A_char* artisan_name,
                                  A_Opaque<88>* entry_points);
    A_Err (*AEGP_RegisterIO)(AEGP_PluginID plugin_id, AEGP_IORefcon refcon, const A_Opaque<396>* module_info,
                             const A_Opaque<392>* function_block);
    A_Err (*AEGP_RegisterIdleHook)(AEGP_PluginID plugin_id, AEGP_IdleHook idle_func, AEGP_IdleRefcon refcon);
    A_Err (*AEGP_RegisterTracker)(A_Opaque<4> api_version, A_Opaque<4> tracker_version, AEGP_PluginID plugin_id,
                                  AEGP_GlobalRefcon global_refcon, const A_char* match_name, const A_char* tracker_name,
                                  A_Opaque<80>* entry_points);
    A_Err (*AEGP_RegisterInteractiveArtisan)(A_Opaque<4> api_version, A_Opaque<4> artisan_version,
                                             AEGP_PluginID plugin_id, AEGP_GlobalRefcon global_refcon,
                                             const A_char* match_name, const A_char* artisan_name,
                                             A_Opaque<88>* entry_points);
    A_Err (*AEGP_RegisterPresetLocalizationString)(const A_char* english_name, const A_char* localized_name);
};

struct AEGP_PFInterfaceSuite1 {
    A_Err (*AEGP_GetEffectLayer)(PF_ProgPtr effect_ref, AEGP_LayerH* layer);
    A_Err (*AEGP_GetNewEffectForEffect)(AEGP_PluginID plugin_id, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect);
    A_Err (*AEGP_ConvertEffectToCompTime)(PF_ProgPtr effect_ref, A_long what_time, A_u_long time_scale,
                                          A_Time* comp_time);
    A_Err (*AEGP_GetEffectCamera)(PF_ProgPtr effect_ref, const A_Time* comp_time, AEGP_LayerH* camera_layer);
    A_Err (*AEGP_GetEffectCameraMatrix)(PF_ProgPtr effect_ref, const A_Time* comp_time, A_Matrix4* camera_matrix,
                                        A_FpLong* dst_to_plane, A_short* plane_width, A_short* plane_height);
};

struct AEGP_StreamSuite6 {
    A_Err (*AEGP_IsStreamLegal)(AEGP_LayerH layer, AEGP_LayerStream which, A_Boolean* is_legal);
    A_Err (*AEGP_CanVaryOverTime)(AEGP_StreamRefH stream, A_Boolean* can_vary);
    A_Err (*AEGP_GetValidInterpolations)(AEGP_StreamRefH stream, AEGP_KeyInterpolationMask* valid_interpolations);
    A_Err (*AEGP_GetNewLayerStream)(AEGP_PluginID plugin_id, AEGP_LayerH layer, AEGP_LayerStream which,
                                    AEGP_StreamRefH* stream);
    A_Err (*AEGP_GetEffectNumParamStreams)(AEGP_EffectRefH effect, A_long* num_streams);
    A_Err (*AEGP_GetNewEffectStreamByIndex)(AEGP_PluginID plugin_id, AEGP_EffectRefH effect, PF_ParamIndex param_index,
                                            AEGP_StreamRefH* stream);
    A_Err (*AEGP_GetNewMaskStream)(AEGP_PluginID plugin_id, AEGP_MaskRefH mask, AEGP_MaskStream which,
                                   AEGP_StreamRefH* stream);
    A_Err (*AEGP_DisposeStream)(AEGP_StreamRefH stream);
    A_Err (*AEGP_GetStreamName)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, A_Boolean force_english,
                                AEGP_MemHandle* utf16_name);
    A_Err (*AEGP_GetStreamUnitsText)(AEGP_StreamRefH stream, A_Boolean force_english, A_char* units);
    A_Err (*AEGP_GetStreamProperties)(AEGP_StreamRefH stream, AEGP_StreamFlags* flags, A_FpLong* min_value,
                                      A_FpLong* max_value);
    A_Err (*AEGP_IsStreamTimevarying)(AEGP_StreamRefH stream, A_Boolean* is_timevarying);
    A_Err (*AEGP_GetStreamType)(AEGP_StreamRefH stream, AEGP_StreamType* type);
    A_Err (*AEGP_GetNewStreamValue)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_LTimeMode time_mode,
                                    const A_Time* time, A_Boolean pre_expression, AEGP_StreamValue2* value);
    A_Err (*AEGP_DisposeStreamValue)(AEGP_StreamValue2* value);
    A_Err (*AEGP_SetStreamValue)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, const AEGP_StreamValue2* value);
    A_Err (*AEGP_GetLayerStreamValue)(AEGP_LayerH layer, AEGP_LayerStream which, AEGP_LTimeMode time_mode,
                                      const A_Time* time, A_Boolean pre_expression, AEGP_StreamVal2* value,
                                      AEGP_StreamType* type);
    A_Err (*AEGP_GetExpressionState)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, A_Boolean* enabled);
    A_Err (*AEGP_SetExpressionState)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, A_Boolean enabled);
    A_Err (*AEGP_GetExpression)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_MemHandle* utf16_expression);
    A_Err (*AEGP_SetExpression)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, const A_UTF16Char* expression);
    A_Err (*AEGP_DuplicateStreamRef)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_StreamRefH* duplicate);
    A_Err (*AEGP_GetUniqueStreamID)(AEGP_StreamRefH stream, A_long* stream_id);
};

struct AEGP_DynamicStreamSuite4 {
    A_Err (*AEGP_GetNewStreamRefForLayer)(AEGP_PluginID plugin_id, AEGP_LayerH layer, AEGP_StreamRefH* stream);
    A_Err (*AEGP_GetNewStreamRefForMask)(AEGP_PluginID plugin_id, AEGP_MaskRefH mask, AEGP_StreamRefH* stream);
    A_Err (*AEGP_GetStreamDepth)(AEGP_StreamRefH stream, A_long* depth);
    A_Err (*AEGP_GetStreamGroupingType)(AEGP_StreamRefH stream, AEGP_StreamGroupingType* grouping_type);
    A_Err (*AEGP_GetNumStreamsInGroup)(AEGP_StreamRefH stream, A_long* num_streams);
    A_Err (*AEGP_GetDynamicStreamFlags)(AEGP_StreamRefH stream, AEGP_DynStreamFlags* flags);
    A_Err (*AEGP_SetDynamicStreamFlag)(AEGP_StreamRefH stream, AEGP_DynStreamFlags flag, A_Boolean undoable,
                                       A_Boolean set);
    A_Err (*AEGP_GetNewStreamRefByIndex)(AEGP_PluginID plugin_id, AEGP_StreamRefH parent_group, A_long index,
                                         AEGP_StreamRefH* stream);
    A_Err (*AEGP_GetNewStreamRefByMatchname)(AEGP_PluginID plugin_id, AEGP_StreamRefH parent_group,
                                             const A_char* match_name, AEGP_StreamRefH* stream);
    A_Err (*AEGP_DeleteStream)(AEGP_StreamRefH stream);
    A_Err (*AEGP_ReorderStream)(AEGP_StreamRefH stream, A_long new_index);
    A_Err (*AEGP_DuplicateStream)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, A_long* new_index);
    A_Err (*AEGP_SetStreamName)(AEGP_StreamRefH stream, const A_UTF16Char* name);
    A_Err (*AEGP_CanAddStream)(AEGP_StreamRefH parent_group, const A_char* match_name, A_Boolean* can_add);
    A_Err (*AEGP_AddStream)(AEGP_PluginID plugin_id, AEGP_StreamRefH parent_group, const A_char* match_name,
                            AEGP_StreamRefH* added_stream);
    A_Err (*AEGP_GetMatchName)(AEGP_StreamRefH stream, A_char* match_name);
    A_Err (*AEGP_GetNewParentStreamRef)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_StreamRefH* parent_group);
    A_Err (*AEGP_GetStreamIsModified)(AEGP_StreamRefH stream, A_Boolean* modified);
    A_Err (*AEGP_GetStreamIndexInParent)(AEGP_StreamRefH stream, A_long* index);
    A_Err (*AEGP_IsSeparationLeader)(AEGP_StreamRefH stream, A_Boolean* is_leader);
    A_Err (*AEGP_AreDimensionsSeparated)(AEGP_StreamRefH leader, A_Boolean* separated);
    A_Err (*AEGP_SetDimensionsSeparated)(AEGP_StreamRefH leader, A_Boolean separated);
    A_Err (*AEGP_GetSeparationFollower)(AEGP_StreamRefH leader, A_short dimension, AEGP_StreamRefH* follower);
    A_Err (*AEGP_IsSeparationFollower)(AEGP_StreamRefH stream, A_Boolean* is_follower);
    A_Err (*AEGP_GetSeparationLeader)(AEGP_StreamRefH follower, AEGP_StreamRefH* leader);
    A_Err (*AEGP_GetSeparationDimension)(AEGP_StreamRefH follower, A_short* dimension);
};

struct AEGP_KeyframeSuite5 {
    A_Err (*AEGP_GetStreamNumKFs)(AEGP_StreamRefH stream, A_long* num_keys);
    A_Err (*AEGP_GetKeyframeTime)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_LTimeMode time_mode,
                                  A_Time* time);
    A_Err (*AEGP_InsertKeyframe)(AEGP_StreamRefH stream, AEGP_LTimeMode time_mode, const A_Time* time,
                                 AEGP_KeyframeIndex* index);
    A_Err (*AEGP_DeleteKeyframe)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index);
    A_Err (*AEGP_GetNewKeyframeValue)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_KeyframeIndex index,
                                      AEGP_StreamValue2* value);
    A_Err (*AEGP_SetKeyframeValue)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, const AEGP_StreamValue2* value);
    A_Err (*AEGP_GetStreamValueDimensionality)(AEGP_StreamRefH stream, A_short* value_dimensions);
    A_Err (*AEGP_GetStreamTemporalDimensionality)(AEGP_StreamRefH stream, A_short* temporal_dimensions);
    A_Err (*AEGP_GetNewKeyframeSpatialTangents)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream,
                                                AEGP_KeyframeIndex index, AEGP_StreamValue2* in_tangent,
                                                AEGP_StreamValue2* out_tangent);
    A_Err (*AEGP_SetKeyframeSpatialTangents)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index,
                                             const AEGP_StreamValue2* in_tangent, const AEGP_StreamValue2* out_tangent);
    A_Err (*AEGP_GetKeyframeTemporalEase)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, A_long dimension,
                                          AEGP_KeyframeEase* in_ease, AEGP_KeyframeEase* out_ease);
    A_Err (*AEGP_SetKeyframeTemporalEase)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, A_long dimension,
                                          const AEGP_KeyframeEase* in_ease, const AEGP_KeyframeEase* out_ease);
    A_Err (*AEGP_GetKeyframeFlags)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_KeyframeFlags* flags);
    A_Err (*AEGP_SetKeyframeFlag)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_KeyframeFlags flag,
                                  A_Boolean value);
    A_Err (*AEGP_GetKeyframeInterpolation)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index,
                                           AEGP_KeyframeInterpolationType* in_interp,
                                           AEGP_KeyframeInterpolationType* out_interp);
    A_Err (*AEGP_SetKeyframeInterpolation)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index,
                                           AEGP_KeyframeInterpolationType in_interp,
                                           AEGP_KeyframeInterpolationType out_interp);
    A_Err (*AEGP_StartAddKeyframes)(AEGP_StreamRefH stream, AEGP_AddKeyframesInfoH* add_info);
    A_Err (*AEGP_AddKeyframes)(AEGP_AddKeyframesInfoH add_info, AEGP_LTimeMode time_mode, const A_Time* time,
                               AEGP_KeyframeIndex* index);
    A_Err (*AEGP_SetAddKeyframe)(AEGP_AddKeyframesInfoH add_info, AEGP_KeyframeIndex index,
                                 const AEGP_StreamValue2* value);
    A_Err (*AEGP_EndAddKeyframes)(A_Boolean add, AEGP_AddKeyframesInfoH add_info);
    A_Err (*AEGP_GetKeyframeLabelColorIndex)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, A_long* label);
    A_Err (*AEGP_SetKeyframeLabelColorIndex)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, A_long label);
};

struct AEGP_LayerSuite5 {
    A_Err (*AEGP_GetCompNumLayers)(AEGP_CompH comp, A_long* num_layers);
    A_Err (*AEGP_GetCompLayerByIndex)(AEGP_CompH comp, A_long layer_index, AEGP_LayerH* layer);
    A_Err (*AEGP_GetActiveLayer)(AEGP_LayerH* layer);
    A_Err (*AEGP_GetLayerIndex)(AEGP_LayerH layer, A_long* layer_index);
    A_Err (*AEGP_GetLayerSourceItem)(AEGP_LayerH layer, AEGP_ItemH* source_item);
    A_Err (*AEGP_GetLayerSourceItemID)(AEGP_LayerH layer, AEGP_ItemID* source_item_id);
    A_Err (*AEGP_GetLayerParentComp)(AEGP_LayerH layer, AEGP_CompH* comp);
    A_Err (*AEGP_GetLayerName)(AEGP_LayerH layer, A_char* layer_name, A_char* source_name);
    A_Err (*AEGP_GetLayerQuality)(AEGP_LayerH layer, AEGP_LayerQuality* quality);
    A_Err (*AEGP_SetLayerQuality)(AEGP_LayerH layer, AEGP_LayerQuality quality);
    A_Err (*AEGP_GetLayerFlags)(AEGP_LayerH layer, AEGP_LayerFlags* flags);
    A_Err (*AEGP_SetLayerFlag)(AEGP_LayerH layer, AEGP_LayerFlags flag, A_Boolean value);
    A_Err (*AEGP_IsLayerVideoReallyOn)(AEGP_LayerH layer, A_Boolean* is_on);
    A_Err (*AEGP_IsLayerAudioReallyOn)(AEGP_LayerH layer, A_Boolean* is_on);
    A_Err (*AEGP_GetLayerCurrentTime)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, A_Time* current_time);
    A_Err (*AEGP_GetLayerInPoint)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, A_Time* in_point);
    A_Err (*AEGP_GetLayerDuration)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, A_Time* duration);
    A_Err (*AEGP_SetLayerInPointAndDuration)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, const A_Time* in_point,
                                             const A_Time* duration);
    A_Err (*AEGP_GetLayerOffset)(AEGP_LayerH layer, A_Time* offset);
    A_Err (*AEGP_SetLayerOffset)(AEGP_LayerH layer, const A_Time* offset);
    A_Err (*AEGP_GetLayerStretch)(AEGP_LayerH layer, A_Ratio* stretch);
    A_Err (*AEGP_SetLayerStretch)(AEGP_LayerH layer, const A_Ratio* stretch);
    A_Err (*AEGP_GetLayerTransferMode)(AEGP_LayerH layer, A_Opaque<12>* transfer_mode);
    A_Err (*AEGP_SetLayerTransferMode)(AEGP_LayerH layer, const A_Opaque<12>* transfer_mode);
    A_Err (*AEGP_IsAddLayerValid)(AEGP_ItemH item, AEGP_CompH comp, A_Boolean* valid);
    A_Err (*AEGP_AddLayer)(AEGP_ItemH item, AEGP_CompH comp, AEGP_LayerH* added_layer);
    A_Err (*AEGP_ReorderLayer)(AEGP_LayerH layer, A_long layer_index);
    A_Err (*AEGP_GetLayerMaskedBounds)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, const A_Time* time,
                                       A_FloatRect* bounds);
    A_Err (*AEGP_GetLayerObjectType)(AEGP_LayerH layer, AEGP_ObjectType* object_type);
    A_Err (*AEGP_IsLayer3D)(AEGP_LayerH layer, A_Boolean* is_3d);
    A_Err (*AEGP_IsLayer2D)(AEGP_LayerH layer, A_Boolean* is_2d);
    A_Err (*AEGP_IsVideoActive)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, const A_Time* time, A_Boolean* is_active);
    A_Err (*AEGP_IsLayerUsedAsTrackMatte)(AEGP_LayerH layer, A_Boolean fill_must_be_active, A_Boolean* is_matte);
    A_Err (*AEGP_DoesLayerHaveTrackMatte)(AEGP_LayerH layer, A_Boolean* has_matte);
    A_Err (*AEGP_ConvertCompToLayerTime)(AEGP_LayerH layer, const A_Time* comp_time, A_Time* layer_time);
    A_Err (*AEGP_ConvertLayerToCompTime)(AEGP_LayerH layer, const A_Time* layer_time, A_Time* comp_time);
    A_Err (*AEGP_GetLayerDancingRandValue)(AEGP_LayerH layer, const A_Time* comp_time, A_long* rand_value);
    A_Err (*AEGP_GetLayerID)(AEGP_LayerH layer, AEGP_LayerIDVal* id);
    A_Err (*AEGP_GetLayerToWorldXform)(AEGP_LayerH layer, const A_Time* comp_time, A_Matrix4* transform);
    A_Err (*AEGP_GetLayerToWorldXformFromView)(AEGP_LayerH layer, const A_Time* view_time, const A_Time* comp_time,
                                               A_Matrix4* transform);
    A_Err (*AEGP_SetLayerName)(AEGP_LayerH layer, const A_char* name);
    A_Err (*AEGP_GetLayerParent)(AEGP_LayerH layer, AEGP_LayerH* parent);
    A_Err (*AEGP_SetLayerParent)(AEGP_LayerH layer, AEGP_LayerH parent);
    A_Err (*AEGP_DeleteLayer)(AEGP_LayerH layer);
    A_Err (*AEGP_DuplicateLayer)(AEGP_LayerH layer, AEGP_LayerH* duplicate);
    A_Err (*AEGP_GetLayerFromLayerID)(AEGP_CompH comp, AEGP_LayerIDVal id, AEGP_LayerH* layer);
};

struct AEGP_EffectSuite5 {
    A_Err (*AEGP_GetLayerNumEffects)(AEGP_LayerH layer, A_long* num_effects);
    A_Err (*AEGP_GetLayerEffectByIndex)(AEGP_PluginID plugin_id, AEGP_LayerH layer, AEGP_EffectIndex index,
                                        AEGP_EffectRefH* effect);
    A_Err (*AEGP_GetInstalledKeyFromLayerEffect)(AEGP_EffectRefH effect, AEGP_InstalledEffectKey* key);
    A_Err (*AEGP_GetEffectParamUnionByIndex)(AEGP_PluginID plugin_id, AEGP_EffectRefH effect, PF_ParamIndex param_index,
                                             PF_ParamType* param_type, PF_ParamDefUnion* param_union);
    A_Err (*AEGP_GetEffectFlags)(AEGP_EffectRefH effect, AEGP_EffectFlags* flags);
    A_Err (*AEGP_SetEffectFlags)(AEGP_EffectRefH effect, AEGP_EffectFlags mask, AEGP_EffectFlags flags);
    A_Err (*AEGP_ReorderEffect)(AEGP_EffectRefH effect, A_long effect_index);
    A_Err (*AEGP_EffectCallGeneric)(AEGP_PluginID plugin_id, AEGP_EffectRefH effect, const A_Time* time,
                                    PF_Cmd effect_cmd, void* extra);
    A_Err (*AEGP_DisposeEffect)(AEGP_EffectRefH effect);
    A_Err (*AEGP_ApplyEffect)(AEGP_PluginID plugin_id, AEGP_LayerH layer, AEGP_InstalledEffectKey key,
                              AEGP_EffectRefH* effect);
    A_Err (*AEGP_DeleteLayerEffect)(AEGP_EffectRefH effect);
    A_Err (*AEGP_GetNumInstalledEffects)(A_long* num_installed);
    A_Err (*AEGP_GetNextInstalledEffect)(AEGP_InstalledEffectKey key, AEGP_InstalledEffectKey* next_key);
    A_Err (*AEGP_GetEffectName)(AEGP_InstalledEffectKey key, A_char* name);
    A_Err (*AEGP_GetEffectMatchName)(AEGP_InstalledEffectKey key, A_char* match_name);
    A_Err (*AEGP_GetEffectCategory)(AEGP_InstalledEffectKey key, A_char* category);
    A_Err (*AEGP_DuplicateEffect)(AEGP_EffectRefH effect, AEGP_EffectRefH* duplicate);
    A_Err (*AEGP_NumEffectMask)(AEGP_EffectRefH effect, A_u_long* num_masks);
    A_Err (*AEGP_GetEffectMaskID)(AEGP_EffectRefH effect, A_u_long mask_index, AEGP_MaskIDVal* mask_id);
    A_Err (*AEGP_AddEffectMask)(AEGP_EffectRefH effect, AEGP_MaskIDVal mask_id, AEGP_StreamRefH* stream);
    A_Err (*AEGP_RemoveEffectMask)(AEGP_EffectRefH effect, AEGP_MaskIDVal mask_id);
    A_Err (*AEGP_SetEffectMask)(AEGP_EffectRefH effect, A_u_long mask_index, AEGP_MaskIDVal mask_id,
                                AEGP_StreamRefH* stream);
    A_Err (*AEGP_GetIsInternalEffect)(AEGP_InstalledEffectKey key, A_Boolean* is_internal);
};

struct AEGP_CompSuite4 {
    A_Err (*AEGP_GetCompFromItem)(AEGP_ItemH item, AEGP_CompH* comp);
    A_Err (*AEGP_GetItemFromComp)(AEGP_CompH comp, AEGP_ItemH* item);
    A_Err (*AEGP_GetCompDownsampleFactor)(AEGP_CompH comp, AEGP_DownsampleFactor* factor);
    A_Err (*AEGP_SetCompDownsampleFactor)(AEGP_CompH comp, const AEGP_DownsampleFactor* factor);
    A_Err (*AEGP_GetCompBGColor)(AEGP_CompH comp, AEGP_ColorVal* bg_color);
    A_Err (*AEGP_GetCompFlags)(AEGP_CompH comp, AEGP_CompFlags* flags);
    A_Err (*AEGP_GetCompFramerate)(AEGP_CompH comp, A_FpLong* fps);
    A_Err (*AEGP_SetCompFrameRate)(AEGP_CompH comp, const A_FpLong* fps);
    A_Err (*AEGP_GetCompShutterAnglePhase)(AEGP_CompH comp, A_Ratio* angle, A_Ratio* phase);
    A_Err (*AEGP_GetCompShutterFrameRange)(AEGP_CompH comp, const A_Time* comp_time, A_Time* start, A_Time* duration);
    A_Err (*AEGP_GetCompWorkAreaStart)(AEGP_CompH comp, A_Time* start);
    A_Err (*AEGP_GetCompWorkAreaDuration)(AEGP_CompH comp, A_Time* duration);
    A_Err (*AEGP_SetCompWorkAreaStartAndDuration)(AEGP_CompH comp, const A_Time* start, const A_Time* duration);
    A_Err (*AEGP_CreateSolidInComp)(const A_char* name, A_long width, A_long height, const AEGP_ColorVal* color,
                                    AEGP_CompH parent_comp, const A_Time* duration, AEGP_LayerH* new_solid);
    A_Err (*AEGP_CreateCameraInComp)(const A_char* name, A_FloatPoint center, AEGP_CompH parent_comp,
                                     AEGP_LayerH* new_camera);
    A_Err (*AEGP_CreateLightInComp)(const A_char* name, A_FloatPoint center, AEGP_CompH parent_comp,
                                    AEGP_LayerH* new_light);
    A_Err (*AEGP_CreateComp)(AEGP_ItemH parent_folder, const A_char* name, A_long width, A_long height,
                             const A_Ratio* pixel_aspect_ratio, const A_Time* duration, const A_Ratio* framerate,
                             AEGP_CompH* new_comp);
    A_Err (*AEGP_GetNewCollectionFromCompSelection)(AEGP_PluginID plugin_id, AEGP_CompH comp,
                                                    AEGP_Collection2H* collection);
    A_Err (*AEGP_SetSelection)(AEGP_CompH comp, AEGP_Collection2H collection);
    A_Err (*AEGP_GetCompDisplayStartTime)(AEGP_CompH comp, A_Time* start_time);
    A_Err (*AEGP_SetCompDisplayStartTime)(AEGP_CompH comp, const A_Time* start_time);
    A_Err (*AEGP_SetCompDuration)(AEGP_CompH comp, const A_Time* duration);
    A_Err (*AEGP_CreateNullInComp)(const A_char* name, AEGP_CompH parent_comp, const A_Time* duration,
                                   AEGP_LayerH* new_null);
    A_Err (*AEGP_SetCompPixelAspectRatio)(AEGP_CompH comp, const A_Ratio* pixel_aspect_ratio);
    A_Err (*AEGP_CreateTextLayerInComp)(AEGP_CompH parent_comp, AEGP_LayerH* new_text_layer);
    A_Err (*AEGP_SetCompDimensions)(AEGP_CompH comp, A_long width, A_long height);
    A_Err (*AEGP_DuplicateComp)(AEGP_CompH comp, AEGP_CompH* new_comp);
    A_Err (*AEGP_GetCompFrameDuration)(AEGP_CompH comp, A_Time* frame_duration);
};

// Served under no (name, version) Strandel acquires; kept for its layout only.
struct AEGP_CompSuite9 {
    A_OpaqueFunc AEGP_GetCompFromItem;
    A_OpaqueFunc AEGP_GetItemFromComp;
    A_OpaqueFunc AEGP_GetCompDownsampleFactor;
    A_OpaqueFunc AEGP_SetCompDownsampleFactor;
    A_OpaqueFunc AEGP_GetCompBGColor;
    A_OpaqueFunc AEGP_SetCompBGColor;
    A_OpaqueFunc AEGP_GetCompFlags;
    A_OpaqueFunc AEGP_GetCompFramerate;
    A_OpaqueFunc AEGP_SetCompFrameRate;
    A_OpaqueFunc AEGP_GetCompShutterAnglePhase;
    A_OpaqueFunc AEGP_GetCompShutterFrameRange;
    A_OpaqueFunc AEGP_GetCompSuggestedMotionBlurSamples;
    A_OpaqueFunc AEGP_SetCompSuggestedMotionBlurSamples;
    A_OpaqueFunc AEGP_GetCompWorkAreaStart;
    A_OpaqueFunc AEGP_GetCompWorkAreaDuration;
    A_OpaqueFunc AEGP_SetCompWorkAreaStartAndDuration;
    A_OpaqueFunc AEGP_CreateSolidInComp;
    A_OpaqueFunc AEGP_CreateCameraInComp;
    A_OpaqueFunc AEGP_CreateLightInComp;
    A_OpaqueFunc AEGP_CreateComp;
    A_OpaqueFunc AEGP_GetNewCollectionFromCompSelection;
    A_OpaqueFunc AEGP_SetSelection;
    A_OpaqueFunc AEGP_GetCompDisplayStartTime;
    A_OpaqueFunc AEGP_SetCompDisplayStartTime;
    A_OpaqueFunc AEGP_SetCompDuration;
    A_OpaqueFunc AEGP_CreateNullInComp;
    A_OpaqueFunc AEGP_SetCompPixelAspectRatio;
    A_OpaqueFunc AEGP_CreateTextLayerInComp;
    A_OpaqueFunc AEGP_CreateBoxTextLayerInComp;
    A_OpaqueFunc AEGP_SetCompDimensions;
    A_OpaqueFunc AEGP_DuplicateComp;
    A_OpaqueFunc AEGP_GetCompFrameDuration;
    A_OpaqueFunc AEGP_GetMostRecentlyUsedComp;
    A_OpaqueFunc AEGP_CreateVectorLayerInComp;
    A_OpaqueFunc AEGP_GetNewCompMarkerStream;
    A_OpaqueFunc AEGP_GetCompDisplayDropFrame;
    A_OpaqueFunc AEGP_SetCompDisplayDropFrame;
};

struct AEGP_CompSuite12 {
    A_Err (*AEGP_GetCompFromItem)(AEGP_ItemH item, AEGP_CompH* comp);
    A_Err (*AEGP_GetItemFromComp)(AEGP_CompH comp, AEGP_ItemH* item);
    A_Err (*AEGP_GetCompDownsampleFactor)(AEGP_CompH comp, AEGP_DownsampleFactor* factor);
    A_Err (*AEGP_SetCompDownsampleFactor)(AEGP_CompH comp, const AEGP_DownsampleFactor* factor);
    A_Err (*AEGP_GetCompBGColor)(AEGP_CompH comp, AEGP_ColorVal* bg_color);
    A_Err (*AEGP_SetCompBGColor)(AEGP_CompH comp, const AEGP_ColorVal* bg_color);
    A_Err (*AEGP_GetCompFlags)(AEGP_CompH comp, AEGP_CompFlags* flags);
    A_Err (*AEGP_GetShowLayerNameOrSourceName)(AEGP_CompH comp, A_Boolean* layer_names_shown);
    A_Err (*AEGP_SetShowLayerNameOrSourceName)(AEGP_CompH comp, A_Boolean show_layer_names);
    A_Err (*AEGP_GetShowBlendModes)(AEGP_CompH comp, A_Boolean* blend_modes_shown);
    A_Err (*AEGP_SetShowBlendModes)(AEGP_CompH comp, A_Boolean show_blend_modes);
    A_Err (*AEGP_GetCompFramerate)(AEGP_CompH comp, A_FpLong* fps);
    A_Err (*AEGP_SetCompFrameRate)(AEGP_CompH comp, const A_FpLong* fps);
    A_Err (*AEGP_GetCompShutterAnglePhase)(AEGP_CompH comp, A_Ratio* angle, A_Ratio* phase);
    A_Err (*AEGP_GetCompShutterFrameRange)(AEGP_CompH comp, const A_Time* comp_time, A_Time* start, A_Time* duration);
    A_Err (*AEGP_GetCompSuggestedMotionBlurSamples)(AEGP_CompH comp, A_long* samples);
    A_Err (*AEGP_SetCompSuggestedMotionBlurSamples)(AEGP_CompH comp, A_long samples);
    A_Err (*AEGP_GetCompMotionBlurAdaptiveSampleLimit)(AEGP_CompH comp, A_long* sample_limit);
    A_Err (*AEGP_SetCompMotionBlurAdaptiveSampleLimit)(AEGP_CompH comp, A_long sample_limit);
    A_Err (*AEGP_GetCompWorkAreaStart)(AEGP_CompH comp, A_Time* start);
    A_Err (*AEGP_GetCompWorkAreaDuration)(AEGP_CompH comp, A_Time* duration);
    A_Err (*AEGP_SetCompWorkAreaStartAndDuration)(AEGP_CompH comp, const A_Time* start, const A_Time* duration);
    A_Err (*AEGP_CreateSolidInComp)(const A_UTF16Char* name, A_long width, A_long height, const AEGP_ColorVal* color,
                                    AEGP_CompH parent_comp, const A_Time* duration, AEGP_LayerH* new_solid);
    A_Err (*AEGP_CreateCameraInComp)(const A_UTF16Char* name, A_FloatPoint center, AEGP_CompH parent_comp,
                                     AEGP_LayerH* new_camera);
    A_Err (*AEGP_CreateLightInComp)(const A_UTF16Char* name, A_FloatPoint center, AEGP_CompH parent_comp,
                                    AEGP_LayerH* new_light);
    A_Err (*AEGP_CreateComp)(AEGP_ItemH parent_folder, const A_UTF16Char* name, A_long width, A_long height,
                             const A_Ratio* pixel_aspect_ratio, const A_Time* duration, const A_Ratio* framerate,
                             AEGP_CompH* new_comp);
    A_Err (*AEGP_GetNewCollectionFromCompSelection)(AEGP_PluginID plugin_id, AEGP_CompH comp,
                                                    AEGP_Collection2H* collection);
    A_Err (*AEGP_SetSelection)(AEGP_CompH comp, AEGP_Collection2H collection);
    A_Err (*AEGP_GetCompDisplayStartTime)(AEGP_CompH comp, A_Time* start_time);
    A_Err (*AEGP_SetCompDisplayStartTime)(AEGP_CompH comp, const A_Time* start_time);
    A_Err (*AEGP_SetCompDuration)(AEGP_CompH comp, const A_Time* duration);
    A_Err (*AEGP_CreateNullInComp)(const A_UTF16Char* name, AEGP_CompH parent_comp, const A_Time* duration,
                                   AEGP_LayerH* new_null);
    A_Err (*AEGP_SetCompPixelAspectRatio)(AEGP_CompH comp, const A_Ratio* pixel_aspect_ratio);
    A_Err (*AEGP_CreateTextLayerInComp)(AEGP_CompH parent_comp, A_Boolean select_new_layer, A_Boolean horizontal,
                                        AEGP_LayerH* new_text_layer);
    A_Err (*AEGP_CreateBoxTextLayerInComp)(AEGP_CompH parent_comp, A_Boolean select_new_layer,
                                           A_FloatPoint box_dimensions, A_Boolean horizontal,
                                           AEGP_LayerH* new_text_layer);
    A_Err (*AEGP_SetCompDimensions)(AEGP_CompH comp, A_long width, A_long height);
    A_Err (*AEGP_DuplicateComp)(AEGP_CompH comp, AEGP_CompH* new_comp);
    A_Err (*AEGP_GetCompFrameDuration)(AEGP_CompH comp, A_Time* frame_duration);
    A_Err (*AEGP_GetMostRecentlyUsedComp)(AEGP_CompH* comp);
    A_Err (*AEGP_CreateVectorLayerInComp)(AEGP_CompH parent_comp, AEGP_LayerH* new_vector_layer);
    A_Err (*AEGP_GetNewCompMarkerStream)(AEGP_PluginID plugin_id, AEGP_CompH comp, AEGP_StreamRefH* marker_stream);
    A_Err (*AEGP_GetCompDisplayDropFrame)(AEGP_CompH comp, A_Boolean* drop_frame);
    A_Err (*AEGP_SetCompDisplayDropFrame)(AEGP_CompH comp, A_Boolean drop_frame);
    A_Err (*AEGP_ReorderCompSelection)(AEGP_CompH comp, A_long index);
};

struct AEGP_ItemSuite6 {
    A_Err (*AEGP_GetFirstProjItem)(AEGP_ProjectH project, AEGP_ItemH* item);
    A_Err (*AEGP_GetNextProjItem)(AEGP_ProjectH project, AEGP_ItemH item, AEGP_ItemH* next_item);
    A_Err (*AEGP_GetActiveItem)(AEGP_ItemH* item);
    A_Err (*AEGP_IsItemSelected)(AEGP_ItemH item, A_Boolean* selected);
    A_Err (*AEGP_SelectItem)(AEGP_ItemH item, A_Boolean select, A_Boolean deselect_others);
    A_Err (*AEGP_GetItemType)(AEGP_ItemH item, AEGP_ItemType* type);
    A_Err (*AEGP_GetTypeName)(AEGP_ItemType type, A_char* name);
    A_Err (*AEGP_GetItemName)(AEGP_ItemH item, A_char* name);
    A_Err (*AEGP_SetItemName)(AEGP_ItemH item, const A_char* name);
    A_Err (*AEGP_GetItemID)(AEGP_ItemH item, AEGP_ItemID* id);
    A_Err (*AEGP_GetItemFlags)(AEGP_ItemH item, AEGP_ItemFlags* flags);
    A_Err (*AEGP_SetItemUseProxy)(AEGP_ItemH item, A_Boolean use_proxy);
    A_Err (*AEGP_GetItemParentFolder)(AEGP_ItemH item, AEGP_ItemH* parent_folder);
    A_Err (*AEGP_SetItemParentFolder)(AEGP_ItemH item, AEGP_ItemH parent_folder);
    A_Err (*AEGP_GetItemDuration)(AEGP_ItemH item, A_Time* duration);
    A_Err (*AEGP_GetItemCurrentTime)(AEGP_ItemH item, A_Time* time);
    A_Err (*AEGP_GetItemDimensions)(AEGP_ItemH item, A_long* width, A_long* height);
    A_Err (*AEGP_GetItemPixelAspectRatio)(AEGP_ItemH item, A_Ratio* pixel_aspect_ratio);
    A_Err (*AEGP_DeleteItem)(AEGP_ItemH item);
    A_Err (*AEGP_CreateNewFolder)(const A_char* name, AEGP_ItemH parent_folder, AEGP_ItemH* new_folder);
    A_Err (*AEGP_SetItemCurrentTime)(AEGP_ItemH item, const A_Time* time);
    A_Err (*AEGP_GetItemCommentLength)(AEGP_ItemH item, A_u_long* length);
    A_Err (*AEGP_GetItemComment)(AEGP_ItemH item, A_u_long buffer_size, A_char* comment);
    A_Err (*AEGP_SetItemComment)(AEGP_ItemH item, const A_char* comment);
    A_Err (*AEGP_GetItemLabel)(AEGP_ItemH item, AEGP_LabelID* label);
    A_Err (*AEGP_SetItemLabel)(AEGP_ItemH item, AEGP_LabelID label);
};

struct AEGP_MemorySuite1 {
    A_Err (*AEGP_NewMemHandle)(AEGP_PluginID plugin_id, const A_char* what, AEGP_MemSize size, AEGP_MemFlag flags,
                               AEGP_MemHandle* mem);
    A_Err (*AEGP_FreeMemHandle)(AEGP_MemHandle mem);
    A_Err (*AEGP_LockMemHandle)(AEGP_MemHandle mem, void** data);
    A_Err (*AEGP_UnlockMemHandle)(AEGP_MemHandle mem);
    A_Err (*AEGP_GetMemHandleSize)(AEGP_MemHandle mem, AEGP_MemSize* size);
    A_Err (*AEGP_ResizeMemHandle)(const A_char* what, AEGP_MemSize new_size, AEGP_MemHandle mem);
    A_Err (*AEGP_SetMemReportingOn)(A_Boolean turn_on);
    A_Err (*AEGP_GetMemStats)(AEGP_MemID mem_id, A_long* count, A_long* size);
};

struct AEGP_RenderOptionsSuite4 {
    A_Err (*AEGP_NewFromItem)(AEGP_PluginID plugin_id, AEGP_ItemH item, AEGP_RenderOptionsH* options);
    A_Err (*AEGP_Duplicate)(AEGP_PluginID plugin_id, AEGP_RenderOptionsH options, AEGP_RenderOptionsH* copy);
    A_Err (*AEGP_Dispose)(AEGP_RenderOptionsH options);
    A_Err (*AEGP_SetTime)(AEGP_RenderOptionsH options, A_Time time);
    A_Err (*AEGP_GetTime)(AEGP_RenderOptionsH options, A_Time* time);
    A_Err (*AEGP_SetTimeStep)(AEGP_RenderOptionsH options, A_Time time_step);
    A_Err (*AEGP_GetTimeStep)(AEGP_RenderOptionsH options, A_Time* time_step);
    A_Err (*AEGP_SetFieldRender)(AEGP_RenderOptionsH options, PF_Field field);
    A_Err (*AEGP_GetFieldRender)(AEGP_RenderOptionsH options, PF_Field* field);
    A_Err (*AEGP_SetWorldType)(AEGP_RenderOptionsH options, AEGP_WorldType type);
    A_Err (*AEGP_GetWorldType)(AEGP_RenderOptionsH options, AEGP_WorldType* type);
    A_Err (*AEGP_SetDownsampleFactor)(AEGP_RenderOptionsH options, A_short x, A_short y);
    A_Err (*AEGP_GetDownsampleFactor)(AEGP_RenderOptionsH options, A_short* x, A_short* y);
    A_Err (*AEGP_SetRegionOfInterest)(AEGP_RenderOptionsH options, const A_LRect* roi);
    A_Err (*AEGP_GetRegionOfInterest)(AEGP_RenderOptionsH options, A_LRect* roi);
    A_Err (*AEGP_SetMatteMode)(AEGP_RenderOptionsH options, AEGP_MatteMode mode);
    A_Err (*AEGP_GetMatteMode)(AEGP_RenderOptionsH options, AEGP_MatteMode* mode);
    A_Err (*AEGP_SetChannelOrder)(AEGP_RenderOptionsH options, AEGP_ChannelOrder channel_order);
    A_Err (*AEGP_GetChannelOrder)(AEGP_RenderOptionsH options, AEGP_ChannelOrder* channel_order);
    A_Err (*AEGP_GetRenderGuideLayers)(AEGP_RenderOptionsH options, A_Boolean* render_guide_layers);
    A_Err (*AEGP_SetRenderGuideLayers)(AEGP_RenderOptionsH options, A_Boolean render_guide_layers);
    A_Err (*AEGP_GetRenderQuality)(AEGP_RenderOptionsH options, AEGP_ItemQuality* quality);
    A_Err (*AEGP_SetRenderQuality)(AEGP_RenderOptionsH options, AEGP_ItemQuality quality);
};

struct AEGP_RenderSuite5 {
    A_Err (*AEGP_RenderAndCheckoutFrame)(AEGP_RenderOptionsH options,
                                         AEGP_RenderSuiteCheckForCancellation cancel_function,
                                         AEGP_CancelRefcon cancel_refcon, AEGP_FrameReceiptH* receipt);
    A_Err (*AEGP_RenderAndCheckoutLayerFrame)(AEGP_LayerRenderOptionsH options,
                                              AEGP_RenderSuiteCheckForCancellation cancel_function,
                                              AEGP_CancelRefcon cancel_refcon, AEGP_FrameReceiptH* receipt);
    A_Err (*AEGP_RenderAndCheckoutLayerFrame_Async)(AEGP_LayerRenderOptionsH options, A_OpaqueFunc ready_callback,
                                                    AEGP_AsyncFrameRequestRefcon refcon,
                                                    AEGP_AsyncRequestId* request_id);
    A_Err (*AEGP_CancelAsyncRequest)(AEGP_AsyncRequestId request_id);
    A_Err (*AEGP_CheckinFrame)(AEGP_FrameReceiptH receipt);
    A_Err (*AEGP_GetReceiptWorld)(AEGP_FrameReceiptH receipt, AEGP_WorldH* world);
    A_Err (*AEGP_GetRenderedRegion)(AEGP_FrameReceiptH receipt, A_LRect* region);
    A_Err (*AEGP_IsRenderedFrameSufficient)(AEGP_RenderOptionsH rendered_options, AEGP_RenderOptionsH proposed_options,
                                            A_Boolean* is_sufficient);
    A_Err (*AEGP_RenderNewItemSoundData)(AEGP_ItemH item, const A_Time* start, const A_Time* duration,
                                         const A_Opaque<24>* sound_format,
                                         AEGP_RenderSuiteCheckForCancellation cancel_function,
                                         AEGP_CancelRefcon cancel_refcon, AEGP_SoundDataH* sound_data);
    A_Err (*AEGP_GetCurrentTimestamp)(AEGP_TimeStamp* time_stamp);
    A_Err (*AEGP_HasItemChangedSinceTimestamp)(AEGP_ItemH item, const A_Time* start, const A_Time* duration,
                                               const AEGP_TimeStamp* time_stamp, A_Boolean* changed);
    A_Err (*AEGP_IsItemWorthwhileToRender)(AEGP_RenderOptionsH options, const AEGP_TimeStamp* time_stamp,
                                           A_Boolean* worthwhile);
    A_Err (*AEGP_CheckinRenderedFrame)(AEGP_RenderOptionsH options, const AEGP_TimeStamp* time_stamp,
                                       A_u_long ticks_to_render, AEGP_PlatformWorldH image);
    A_Err (*AEGP_GetReceiptGuid)(AEGP_FrameReceiptH receipt, AEGP_MemHandle* guid);
};

struct AEGP_WorldSuite3 {
    A_Err (*AEGP_New)(AEGP_PluginID plugin_id, AEGP_WorldType type, A_long width, A_long height, AEGP_WorldH* world);
    A_Err (*AEGP_Dispose)(AEGP_WorldH world);
    A_Err (*AEGP_GetType)(AEGP_WorldH world, AEGP_WorldType* type);
    A_Err (*AEGP_GetSize)(AEGP_WorldH world, A_long* width, A_long* height);
    A_Err (*AEGP_GetRowBytes)(AEGP_WorldH world, A_u_long* row_bytes);
    A_Err (*AEGP_GetBaseAddr8)(AEGP_WorldH world, PF_Pixel8** base);
    A_Err (*AEGP_GetBaseAddr16)(AEGP_WorldH world, PF_Pixel16** base);
    A_Err (*AEGP_GetBaseAddr32)(AEGP_WorldH world, PF_PixelFloat** base);
    A_Err (*AEGP_FillOutPFEffectWorld)(AEGP_WorldH world, PF_EffectWorld* pf_world);
    A_Err (*AEGP_FastBlur)(A_FpLong radius, PF_ModeFlags mode, PF_Quality quality, AEGP_WorldH world);
    A_Err (*AEGP_NewPlatformWorld)(AEGP_PluginID plugin_id, AEGP_WorldType type, A_long width, A_long height,
                                   AEGP_PlatformWorldH* world);
    A_Err (*AEGP_DisposePlatformWorld)(AEGP_PlatformWorldH world);
    A_Err (*AEGP_NewReferenceFromPlatformWorld)(AEGP_PluginID plugin_id, AEGP_PlatformWorldH platform_world,
                                                AEGP_WorldH* world);
};

SP_SUITE_ID(AEGP_UtilitySuite3, kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3);
SP_SUITE_ID(AEGP_UtilitySuite6, kAEGPUtilitySuite, kAEGPUtilitySuiteVersion6);
SP_SUITE_ID(AEGP_RegisterSuite5, kAEGPRegisterSuite, kAEGPRegisterSuiteVersion5);
SP_SUITE_ID(AEGP_PFInterfaceSuite1, kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1);
SP_SUITE_ID(AEGP_StreamSuite6, kAEGPStreamSuite, kAEGPStreamSuiteVersion6);
SP_SUITE_ID(AEGP_DynamicStreamSuite4, kAEGPDynamicStreamSuite, kAEGPDynamicStreamSuiteVersion4);
SP_SUITE_ID(AEGP_KeyframeSuite5, kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion5);
SP_SUITE_ID(AEGP_LayerSuite5, kAEGPLayerSuite, kAEGPLayerSuiteVersion5);
SP_SUITE_ID(AEGP_EffectSuite5, kAEGPEffectSuite, kAEGPEffectSuiteVersion5);
SP_SUITE_ID(AEGP_CompSuite4, kAEGPCompSuite, kAEGPCompSuiteVersion4);
SP_SUITE_ID(AEGP_CompSuite12, kAEGPCompSuite, kAEGPCompSuiteVersion12);
SP_SUITE_ID(AEGP_ItemSuite6, kAEGPItemSuite, kAEGPItemSuiteVersion6);
SP_SUITE_ID(AEGP_MemorySuite1, kAEGPMemorySuite, kAEGPMemorySuiteVersion1);
SP_SUITE_ID(AEGP_RenderOptionsSuite4, kAEGPRenderOptionsSuite, kAEGPRenderOptionsSuiteVersion4);
SP_SUITE_ID(AEGP_RenderSuite5, kAEGPRenderSuite, kAEGPRenderSuiteVersion5);
SP_SUITE_ID(AEGP_WorldSuite3, kAEGPWorldSuite, kAEGPWorldSuiteVersion3);
