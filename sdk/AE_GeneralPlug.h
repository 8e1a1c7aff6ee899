// General-plug-in (AEGP) suites: the project model as the host exposes it to plug-ins.
#pragma once
#include "AE_Effect.h"

typedef A_long AEGP_PluginID;
typedef A_long AEGP_LayerIDVal;
typedef A_long AEGP_KeyframeIndex;
typedef A_long AEGP_EffectIndex;
typedef A_long AEGP_InstalledEffectKey;
typedef A_long AEGP_LTimeMode;
typedef A_long AEGP_LayerStream;
typedef A_long AEGP_StreamType;
typedef A_long AEGP_KeyframeInterpolationType;
typedef A_long AEGP_ItemType;
typedef A_long AEGP_ObjectType;
typedef A_long AEGP_LayerFlags;
typedef A_long AEGP_DynStreamFlags;
typedef A_long AEGP_WorldType;
typedef A_long AEGP_MatteMode;

typedef struct _AEGP_Layer* AEGP_LayerH;
typedef struct _AEGP_Comp* AEGP_CompH;
typedef struct _AEGP_Item* AEGP_ItemH;
typedef struct _AEGP_EffectRef* AEGP_EffectRefH;
typedef struct _AEGP_StreamRef* AEGP_StreamRefH;
typedef struct _AEGP_RenderOptions* AEGP_RenderOptionsH;
typedef struct _AEGP_FrameReceipt* AEGP_FrameReceiptH;
typedef struct _AEGP_World* AEGP_WorldH;
typedef struct _AEGP_GlobalRefcon* AEGP_GlobalRefcon;
typedef struct _AEGP_IdleRefcon* AEGP_IdleRefcon;
typedef struct _AEGP_DeathRefcon* AEGP_DeathRefcon;
typedef struct _AEGP_CancelRefcon* AEGP_CancelRefcon;

enum { AEGP_LTimeMode_LayerTime = 0, AEGP_LTimeMode_CompTime = 1 };

enum {
    AEGP_LayerStream_ANCHORPOINT = 0,
    AEGP_LayerStream_POSITION = 1,
    AEGP_LayerStream_SCALE = 2,
    AEGP_LayerStream_ROTATION = 3,
    AEGP_LayerStream_OPACITY = 4,
};

enum {
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
};

enum {
    AEGP_KeyInterp_NONE = 0,
    AEGP_KeyInterp_LINEAR = 1,
    AEGP_KeyInterp_BEZIER = 2,
    AEGP_KeyInterp_HOLD = 3,
};

enum { AEGP_ItemType_NONE = 0, AEGP_ItemType_FOLDER = 1, AEGP_ItemType_COMP = 2, AEGP_ItemType_FOOTAGE = 4 };

enum {
    AEGP_ObjectType_NONE = -1,
    AEGP_ObjectType_AV = 0,
    AEGP_ObjectType_LIGHT = 1,
    AEGP_ObjectType_CAMERA = 2,
    AEGP_ObjectType_TEXT = 3,
    AEGP_ObjectType_VECTOR = 4,
};

enum {
    AEGP_LayerFlag_VIDEO_ACTIVE = 0x1,
    AEGP_LayerFlag_COLLAPSE = 0x80,
    AEGP_LayerFlag_LAYER_IS_3D = 0x800,
    AEGP_LayerFlag_NULL_LAYER = 0x10000,
};

enum { AEGP_DynStreamFlag_ACTIVE_EYEBALL = 0, AEGP_DynStreamFlag_HIDDEN = 1 };

enum { AEGP_WorldType_NONE = 0, AEGP_WorldType_8 = 1, AEGP_WorldType_16 = 2, AEGP_WorldType_32 = 3 };

enum { AEGP_MatteMode_STRAIGHT = 0, AEGP_MatteMode_PREMUL_BLACK = 1 };

struct A_LRect {
    A_long left, top, right, bottom;
};

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
    AEGP_ThreeDVal three_d;
    AEGP_TwoDVal two_d;
    A_FpLong one_d;
    AEGP_ColorVal color;
    AEGP_LayerIDVal layer_id;
};

struct AEGP_StreamValue2 {
    AEGP_StreamRefH streamH;
    AEGP_StreamVal2 val;
};

struct AEGP_TimeStamp {
    A_char a[4];
};

typedef A_Err (*AEGP_IdleHook)(AEGP_GlobalRefcon plugin_refcon, AEGP_IdleRefcon refcon, A_long* max_sleep);
typedef A_Err (*AEGP_DeathHook)(AEGP_GlobalRefcon plugin_refcon, AEGP_DeathRefcon refcon);
typedef A_Err (*AEGP_RenderSuiteCheckForCancellation)(AEGP_CancelRefcon refcon, A_Boolean* cancel);

#define kAEGPUtilitySuite "AEGP Utility Suite"
#define kAEGPUtilitySuiteVersion7 7
#define kAEGPUtilitySuiteVersion13 13
#define kAEGPRegisterSuite "AEGP Register Suite"
#define kAEGPRegisterSuiteVersion6 6
#define kAEGPPFInterfaceSuite "AEGP PF Interface Suite"
#define kAEGPPFInterfaceSuiteVersion1 1
#define kAEGPStreamSuite "AEGP Stream Suite"
#define kAEGPStreamSuiteVersion11 11
#define kAEGPDynamicStreamSuite "AEGP Dynamic Stream Suite"
#define kAEGPDynamicStreamSuiteVersion5 5
#define kAEGPKeyframeSuite "AEGP Keyframe Suite"
#define kAEGPKeyframeSuiteVersion5 5
#define kAEGPLayerSuite "AEGP Layer Suite"
#define kAEGPLayerSuiteVersion11 11
#define kAEGPEffectSuite "AEGP Effect Suite"
#define kAEGPEffectSuiteVersion5 5
#define kAEGPCompSuite "AEGP Comp Suite"
#define kAEGPCompSuiteVersion9 9
#define kAEGPItemSuite "AEGP Item Suite"
#define kAEGPItemSuiteVersion10 10
#define kAEGPRenderOptionsSuite "AEGP Render Options Suite"
#define kAEGPRenderOptionsSuiteVersion4 4
#define kAEGPRenderSuite "AEGP Render Suite"
#define kAEGPRenderSuiteVersion8 8
#define kAEGPWorldSuite "AEGP World Suite"
#define kAEGPWorldSuiteVersion3 3

// One declaration serves both versions the plug-in asks for (7 for registration, 13 for the
// idle trigger); the host answers both names.
struct AEGP_UtilitySuite {
    A_Err (*AEGP_RegisterWithAEGP)(AEGP_GlobalRefcon global_refcon, const A_char* plugin_name,
                                   AEGP_PluginID* plugin_id);
    A_Err (*AEGP_CauseIdleRoutinesToBeCalled)(void);
};

struct AEGP_RegisterSuite6 {
    A_Err (*AEGP_RegisterIdleHook)(AEGP_PluginID plugin_id, AEGP_IdleHook idle_func, AEGP_IdleRefcon refcon);
    A_Err (*AEGP_RegisterDeathHook)(AEGP_PluginID plugin_id, AEGP_DeathHook death_func, AEGP_DeathRefcon refcon);
};

struct AEGP_PFInterfaceSuite1 {
    A_Err (*AEGP_GetEffectLayer)(PF_ProgPtr effect_ref, AEGP_LayerH* layer);
    A_Err (*AEGP_GetNewEffectForEffect)(AEGP_PluginID plugin_id, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect);
    A_Err (*AEGP_ConvertEffectToCompTime)(PF_ProgPtr effect_ref, A_long what_time, A_u_long time_scale,
                                          A_Time* comp_time);
    A_Err (*AEGP_GetEffectCameraMatrix)(PF_ProgPtr effect_ref, const A_Time* comp_time, A_Matrix4* camera_matrix,
                                        A_FpLong* dst_to_plane, A_short* plane_width, A_short* plane_height);
};

struct AEGP_StreamSuite11 {
    A_Err (*AEGP_GetNewLayerStream)(AEGP_PluginID plugin_id, AEGP_LayerH layer, AEGP_LayerStream which,
                                    AEGP_StreamRefH* stream);
    A_Err (*AEGP_GetNewEffectStreamByIndex)(AEGP_PluginID plugin_id, AEGP_EffectRefH effect,
                                            PF_ParamIndex param_index, AEGP_StreamRefH* stream);
    A_Err (*AEGP_DisposeStream)(AEGP_StreamRefH stream);
    A_Err (*AEGP_GetStreamType)(AEGP_StreamRefH stream, AEGP_StreamType* type);
    A_Err (*AEGP_GetNewStreamValue)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_LTimeMode time_mode,
                                    const A_Time* time, A_Boolean pre_expression, AEGP_StreamValue2* value);
    A_Err (*AEGP_DisposeStreamValue)(AEGP_StreamValue2* value);
    A_Err (*AEGP_GetExpressionState)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, A_Boolean* enabled);
    A_Err (*AEGP_GetLayerStreamValue)(AEGP_LayerH layer, AEGP_LayerStream which, AEGP_LTimeMode time_mode,
                                      const A_Time* time, A_Boolean pre_expression, AEGP_StreamVal2* value,
                                      AEGP_StreamType* type);
};

struct AEGP_DynamicStreamSuite5 {
    A_Err (*AEGP_AreDimensionsSeparated)(AEGP_StreamRefH stream, A_Boolean* separated);
    A_Err (*AEGP_SetDynamicStreamFlag)(AEGP_StreamRefH stream, AEGP_DynStreamFlags flag, A_Boolean undoable,
                                       A_Boolean set);
};

struct AEGP_KeyframeSuite5 {
    A_Err (*AEGP_GetStreamNumKFs)(AEGP_StreamRefH stream, A_long* num_keys);
    A_Err (*AEGP_GetKeyframeTime)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_LTimeMode time_mode,
                                  A_Time* time);
    A_Err (*AEGP_GetNewKeyframeValue)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_KeyframeIndex index,
                                      AEGP_StreamValue2* value);
    A_Err (*AEGP_GetNewKeyframeSpatialTangents)(AEGP_PluginID plugin_id, AEGP_StreamRefH stream,
                                                AEGP_KeyframeIndex index, AEGP_StreamValue2* in_tangent,
                                                AEGP_StreamValue2* out_tangent);
    A_Err (*AEGP_GetKeyframeInterpolation)(AEGP_StreamRefH stream, AEGP_KeyframeIndex index,
                                           AEGP_KeyframeInterpolationType* in_interp,
                                           AEGP_KeyframeInterpolationType* out_interp);
};

struct AEGP_LayerSuite11 {
    A_Err (*AEGP_GetCompNumLayers)(AEGP_CompH comp, A_long* num_layers);
    A_Err (*AEGP_GetCompLayerByIndex)(AEGP_CompH comp, A_long layer_index, AEGP_LayerH* layer);
    A_Err (*AEGP_GetLayerSourceItem)(AEGP_LayerH layer, AEGP_ItemH* source_item);
    A_Err (*AEGP_GetLayerID)(AEGP_LayerH layer, AEGP_LayerIDVal* id);
    A_Err (*AEGP_GetLayerFlags)(AEGP_LayerH layer, AEGP_LayerFlags* flags);
    A_Err (*AEGP_IsVideoActive)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, const A_Time* time,
                                A_Boolean* is_active);
    A_Err (*AEGP_GetLayerParentComp)(AEGP_LayerH layer, AEGP_CompH* comp);
    A_Err (*AEGP_ConvertCompToLayerTime)(AEGP_LayerH layer, const A_Time* comp_time, A_Time* layer_time);
    A_Err (*AEGP_GetLayerMaskedBounds)(AEGP_LayerH layer, AEGP_LTimeMode time_mode, const A_Time* time,
                                       A_FloatRect* bounds);
    A_Err (*AEGP_GetLayerObjectType)(AEGP_LayerH layer, AEGP_ObjectType* object_type);
    A_Err (*AEGP_GetLayerToWorldXform)(AEGP_LayerH layer, const A_Time* comp_time, A_Matrix4* transform);
    A_Err (*AEGP_GetLayerFromLayerID)(AEGP_CompH comp, AEGP_LayerIDVal id, AEGP_LayerH* layer);
    A_Err (*AEGP_GetLayerParent)(AEGP_LayerH layer, AEGP_LayerH* parent);
};

struct AEGP_EffectSuite5 {
    A_Err (*AEGP_GetLayerNumEffects)(AEGP_LayerH layer, A_long* num_effects);
    A_Err (*AEGP_GetLayerEffectByIndex)(AEGP_PluginID plugin_id, AEGP_LayerH layer, AEGP_EffectIndex index,
                                        AEGP_EffectRefH* effect);
    A_Err (*AEGP_GetInstalledKeyFromLayerEffect)(AEGP_EffectRefH effect, AEGP_InstalledEffectKey* key);
    A_Err (*AEGP_DisposeEffect)(AEGP_EffectRefH effect);
    A_Err (*AEGP_EffectCallGeneric)(AEGP_PluginID plugin_id, AEGP_EffectRefH effect, const A_Time* time,
                                    PF_Cmd effect_cmd, void* extra);
    A_Err (*AEGP_GetEffectMatchName)(AEGP_InstalledEffectKey key, A_char* match_name);
};

struct AEGP_CompSuite9 {
    A_Err (*AEGP_GetCompFromItem)(AEGP_ItemH item, AEGP_CompH* comp);
    A_Err (*AEGP_GetItemFromComp)(AEGP_CompH comp, AEGP_ItemH* item);
};

struct AEGP_ItemSuite10 {
    A_Err (*AEGP_GetActiveItem)(AEGP_ItemH* item);
    A_Err (*AEGP_GetItemType)(AEGP_ItemH item, AEGP_ItemType* type);
    A_Err (*AEGP_GetItemDimensions)(AEGP_ItemH item, A_long* width, A_long* height);
    A_Err (*AEGP_GetItemCurrentTime)(AEGP_ItemH item, A_Time* time);
};

struct AEGP_RenderOptionsSuite4 {
    A_Err (*AEGP_NewFromItem)(AEGP_PluginID plugin_id, AEGP_ItemH item, AEGP_RenderOptionsH* options);
    A_Err (*AEGP_SetTime)(AEGP_RenderOptionsH options, A_Time time);
    A_Err (*AEGP_SetTimeStep)(AEGP_RenderOptionsH options, A_Time time_step);
    A_Err (*AEGP_SetDownsampleFactor)(AEGP_RenderOptionsH options, A_short x, A_short y);
    A_Err (*AEGP_SetRegionOfInterest)(AEGP_RenderOptionsH options, const A_LRect* roi);
    A_Err (*AEGP_SetMatteMode)(AEGP_RenderOptionsH options, AEGP_MatteMode mode);
    A_Err (*AEGP_Dispose)(AEGP_RenderOptionsH options);
};

struct AEGP_RenderSuite8 {
    A_Err (*AEGP_RenderAndCheckoutFrame)(AEGP_RenderOptionsH options,
                                         AEGP_RenderSuiteCheckForCancellation cancel_function,
                                         AEGP_CancelRefcon cancel_refcon, AEGP_FrameReceiptH* receipt);
    A_Err (*AEGP_CheckinFrame)(AEGP_FrameReceiptH receipt);
    A_Err (*AEGP_GetReceiptWorld)(AEGP_FrameReceiptH receipt, AEGP_WorldH* world);
    A_Err (*AEGP_GetCurrentTimestamp)(AEGP_TimeStamp* time_stamp);
};

struct AEGP_WorldSuite3 {
    A_Err (*AEGP_GetType)(AEGP_WorldH world, AEGP_WorldType* type);
    A_Err (*AEGP_FillOutPFEffectWorld)(AEGP_WorldH world, PF_EffectWorld* pf_world);
};
