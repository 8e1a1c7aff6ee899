// Effect-side suites, acquired through the basic suite by name and version, in the host's
// Windows x64 layout.
#pragma once
#include "AE_Effect.h"
#include "DrawbotSuite.h"

typedef A_long PF_Step;
typedef A_long PF_TimeDir;
typedef A_long PF_KeyIndex;

#define kPFAdvItemSuite "PF AE Adv Item Suite"
constexpr A_long kPFAdvItemSuiteVersion1 = 1;

#define kPFAdvAppSuite "PF AE Adv App Suite"
constexpr A_long kPFAdvAppSuiteVersion1 = 1;
constexpr A_long kPFAdvAppSuiteVersion2 = 2;

// Like the AEGP suites, a version constant is named after the struct it serves, not its value.
#define kPFAppSuite "PF AE App Suite"
constexpr A_long kPFAppSuiteVersion4 = 6;
constexpr A_long kPFAppSuiteVersion5 = 7;
constexpr A_long kPFAppSuiteVersion6 = 1;

#define kPFAdvTimeSuite "PF AE Adv Time Suite"
constexpr A_long kPFAdvTimeSuiteVersion1 = 1;
constexpr A_long kPFAdvTimeSuiteVersion2 = 2;
constexpr A_long kPFAdvTimeSuiteVersion3 = 3;
constexpr A_long kPFAdvTimeSuiteVersion4 = 4;

#define kPFPixelFormatSuite "PF Pixel Format Suite"
constexpr A_long kPFPixelFormatSuiteVersion2 = 2;

#define kPFWorldSuite "PF World Suite"
constexpr A_long kPFWorldSuiteVersion1 = 1;
constexpr A_long kPFWorldSuiteVersion2 = 2;

#define kPFParamUtilsSuite "PF Param Utils Suite"
constexpr A_long kPFParamUtilsSuiteVersion1 = 2;
constexpr A_long kPFParamUtilsSuiteVersion3 = 3;

#define kPFEffectCustomUISuite "PF Effect Custom UI Suite"
constexpr A_long kPFEffectCustomUISuiteVersion1 = 1;
constexpr A_long kPFEffectCustomUISuiteVersion2 = 2;

// Suites Strandel does not declare; the constants complete the host's set.
#define kPFEffectCustomUIOverlayThemeSuite "PF Effect Custom UI Overlay Theme Suite"
constexpr A_long kPFEffectCustomUIOverlayThemeSuiteVersion1 = 1;

#define kPFEffectUISuite "PF Effect UI Suite"
constexpr A_long kPFEffectUISuiteVersion1 = 1;

#define kPFEffectSequenceDataSuite "PF Effect Sequence Data Suite"
constexpr A_long kPFEffectSequenceDataSuiteVersion1 = 1;

#define kPF_MaskSuite "AEGP Mask Suite"
constexpr A_long kPF_MaskSuiteVersion1 = 1;

#define kPFHelperSuite "AE Plugin Helper Suite"
constexpr A_long kPFHelperSuiteVersion1 = 1;
constexpr A_long kPFHelperSuite2Version1 = 1;
constexpr A_long kPFHelperSuite2Version2 = 2;

#define kPFPathQuerySuite "PF Path Query Suite"
constexpr A_long kPFPathQuerySuiteVersion1 = 1;

#define kPFPathDataSuite "PF Path Data Suite"
constexpr A_long kPFPathDataSuiteVersion1 = 1;

#define kPFColorParamSuite "PF ColorParamSuite"
constexpr A_long kPFColorParamSuiteVersion1 = 1;

#define kPFPointParamSuite "PF PointParamSuite"
constexpr A_long kPFPointParamSuiteVersion1 = 1;

#define kPFAngleParamSuite "PF AngleParamSuite"
constexpr A_long kPFAngleParamSuiteVersion1 = 1;

#define kPFHandleSuite "PF Handle Suite"
constexpr A_long kPFHandleSuiteVersion1 = 2;

#define kPFANSISuite "PF ANSI Suite"
constexpr A_long kPFANSISuiteVersion1 = 1;

#define kPFPixelDataSuite "PF Pixel Data Suite"
constexpr A_long kPFPixelDataSuiteVersion1 = 1;
constexpr A_long kPFPixelDataSuiteVersion2 = 2;

#define kPFColorCallbacksSuite "PF Color Suite"
constexpr A_long kPFColorCallbacksSuiteVersion1 = 1;

#define kPFColorCallbacks16Suite "PF Color16 Suite"
constexpr A_long kPFColorCallbacks16SuiteVersion1 = 1;

#define kPFColorCallbacksFloatSuite "PF ColorFloat Suite"
constexpr A_long kPFColorCallbacksFloatSuiteVersion1 = 1;

#define kPFBatchSamplingSuite "PF Batch Sampling Suite"
constexpr A_long kPFBatchSamplingSuiteVersion1 = 1;

#define kPFSampling8Suite "PF Sampling8 Suite"
constexpr A_long kPFSampling8SuiteVersion1 = 1;

#define kPFSampling16Suite "PF Sampling16 Suite"
constexpr A_long kPFSampling16SuiteVersion1 = 1;

#define kPFSamplingFloatSuite "PF SamplingFloat Suite"
constexpr A_long kPFSamplingFloatSuiteVersion1 = 1;

#define kPFIterate8Suite "PF Iterate8 Suite"
constexpr A_long kPFIterate8SuiteVersion1 = 1;
constexpr A_long kPFIterate8SuiteVersion2 = 2;

#define kPFIterate16Suite "PF iterate16 Suite"
constexpr A_long kPFIterate16SuiteVersion1 = 1;
constexpr A_long kPFIterate16SuiteVersion2 = 2;

#define kPFIterateFloatSuite "PF iterateFloat Suite"
constexpr A_long kPFIterateFloatSuiteVersion1 = 1;
constexpr A_long kPFIterateFloatSuiteVersion2 = 2;

#define kPFWorldTransformSuite "PF World Transform Suite"
constexpr A_long kPFWorldTransformSuiteVersion1 = 1;

#define kPFFillMatteSuite "PF Fill Matte Suite"
constexpr A_long kPFFillMatteSuiteVersion2 = 2;

struct PF_AdvItemSuite1 {
    PF_Err (*PF_MoveTimeStep)(PF_InData* in_data, PF_EffectWorld* world, PF_Step time_dir, A_long num_steps);
    PF_Err (*PF_MoveTimeStepActiveItem)(PF_Step time_dir, A_long num_steps);
    PF_Err (*PF_TouchActiveItem)(void);
    PF_Err (*PF_ForceRerender)(PF_InData* in_data, PF_EffectWorld* world);
    PF_Err (*PF_EffectIsActiveOrEnabled)(PF_ContextH context, PF_Boolean* enabled);
};

struct PF_AdvAppSuite2 {
    PF_Err (*PF_SetProjectDirty)(void);
    PF_Err (*PF_SaveProject)(void);
    PF_Err (*PF_SaveBackgroundState)(void);
    PF_Err (*PF_ForceForeground)(void);
    PF_Err (*PF_RestoreBackgroundState)(void);
    PF_Err (*PF_RefreshAllWindows)(void);
    PF_Err (*PF_InfoDrawText)(const A_char* line1, const A_char* line2);
    PF_Err (*PF_InfoDrawColor)(PF_Pixel color);
    PF_Err (*PF_InfoDrawText3)(const A_char* line1, const A_char* line2, const A_char* line3);
    PF_Err (*PF_InfoDrawText3Plus)(const A_char* line1, const A_char* line2_left, const A_char* line2_right,
                                   const A_char* line3_left, const A_char* line3_right);
    PF_Err (*PF_AppendInfoText)(const A_char* text);
};

// A_Opaque stands for the host's 6-byte UI colour and 192-byte personal-info records, which
// Strandel never reads.
struct PFAppSuite4 {
    PF_Err (*PF_AppGetBgColor)(A_Opaque<6>* bg_color);
    PF_Err (*PF_AppGetColor)(PF_AppColorType color_type, A_Opaque<6>* color);
    PF_Err (*PF_GetPersonalInfo)(A_Opaque<192>* personal_info);
    PF_Err (*PF_GetFontStyleSheet)(A_long sheet, A_char (*font_name)[256], A_short* font_num, A_short* size,
                                   A_short* style);
    PF_Err (*PF_SetCursor)(PF_CursorType cursor);
    PF_Err (*PF_IsRenderEngine)(PF_Boolean* render_only);
    PF_Err (*PF_AppColorPickerDialog)(const A_char* dialog_title, const PF_PixelFloat* sample_color,
                                      PF_Boolean use_ws_to_monitor_xform, PF_PixelFloat* result_color);
    PF_Err (*PF_GetMouse)(PF_Point* mouse);
    PF_Err (*PF_InvalidateRect)(PF_ContextH context, const PF_Rect* rect);
    PF_Err (*PF_ConvertLocalToGlobal)(const PF_Point* local, PF_Point* global);
    PF_Err (*PF_GetColorAtGlobalPoint)(const PF_Point* global_point, A_short sample_width, A_short sample_height,
                                       PF_PixelFloat* color);
};

struct PF_PixelFormatSuite2 {
    PF_Err (*PF_AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PF_PixelFormat pixel_format);
    PF_Err (*PF_ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
};

struct PF_WorldSuite2 {
    PF_Err (*PF_NewWorld)(PF_ProgPtr effect_ref, A_long width, A_long height, PF_Boolean clear_pixels,
                          PF_PixelFormat pixel_format, PF_EffectWorld* world);
    PF_Err (*PF_DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
    PF_Err (*PF_GetPixelFormat)(const PF_EffectWorld* world, PF_PixelFormat* pixel_format);
};

// A_Opaque<16> is the host's parameter state: a token only ever compared by the host.
struct PF_ParamUtilsSuite3 {
    PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* param);
    PF_Err (*PF_GetCurrentState)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const A_Time* start,
                                 const A_Time* duration, A_Opaque<16>* state);
    PF_Err (*PF_AreStatesIdentical)(PF_ProgPtr effect_ref, const A_Opaque<16>* state1, const A_Opaque<16>* state2,
                                    A_Boolean* identical);
    PF_Err (*PF_IsIdenticalCheckout)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, A_long what_time1,
                                     A_long time_step1, A_u_long time_scale1, A_long what_time2, A_long time_step2,
                                     A_u_long time_scale2, PF_Boolean* identical);
    PF_Err (*PF_FindKeyframeTime)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, A_long what_time,
                                  A_u_long time_scale, PF_TimeDir time_dir, PF_Boolean* found, PF_KeyIndex* key_index,
                                  A_long* key_time, A_u_long* key_time_scale);
    PF_Err (*PF_GetKeyframeCount)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, PF_KeyIndex* key_count);
    PF_Err (*PF_CheckoutKeyframe)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, PF_KeyIndex key_index,
                                  A_long* key_time, A_u_long* key_time_scale, PF_ParamDef* param);
    PF_Err (*PF_CheckinKeyframe)(PF_ProgPtr effect_ref, PF_ParamDef* param);
    PF_Err (*PF_KeyIndexToTime)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, PF_KeyIndex key_index,
                                A_long* key_time, A_u_long* key_time_scale);
};

struct PF_EffectCustomUISuite1 {
    PF_Err (*PF_GetDrawingReference)(PF_ContextH context, DRAWBOT_DrawRef* draw_ref);
};

SP_SUITE_ID(PF_AdvItemSuite1, kPFAdvItemSuite, kPFAdvItemSuiteVersion1);
SP_SUITE_ID(PF_AdvAppSuite2, kPFAdvAppSuite, kPFAdvAppSuiteVersion2);
SP_SUITE_ID(PFAppSuite4, kPFAppSuite, kPFAppSuiteVersion4);
SP_SUITE_ID(PF_PixelFormatSuite2, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion2);
SP_SUITE_ID(PF_WorldSuite2, kPFWorldSuite, kPFWorldSuiteVersion2);
SP_SUITE_ID(PF_ParamUtilsSuite3, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3);
SP_SUITE_ID(PF_EffectCustomUISuite1, kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1);
