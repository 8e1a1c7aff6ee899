// Effect-side suites (acquired through the basic suite by name and version).
#pragma once
#include "AE_Effect.h"

#define kPFAdvItemSuite "PF AE Adv Item Suite"
#define kPFAdvItemSuiteVersion1 1
#define kPFAdvAppSuite "PF AE Adv App Suite"
#define kPFAdvAppSuiteVersion2 2
#define kPFPixelFormatSuite "PF Pixel Format Suite"
#define kPFPixelFormatSuiteVersion2 2
#define kPFWorldSuite "PF World Suite"
#define kPFWorldSuiteVersion2 2
#define kPFParamUtilsSuite "PF Param Utils Suite"
#define kPFParamUtilsSuiteVersion3 3

struct PF_AdvItemSuite1 {
    PF_Err (*PF_ForceRerender)(PF_InData* in_data, PF_EffectWorld* world);
    PF_Err (*PF_TouchActiveItem)(PF_ProgPtr effect_ref);
};

struct PF_AdvAppSuite2 {
    PF_Err (*PF_RefreshAllWindows)(void);
};

struct PF_PixelFormatSuite2 {
    PF_Err (*AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PF_PixelFormat pixel_format);
    PF_Err (*ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
};

struct PF_WorldSuite2 {
    PF_Err (*PF_GetPixelFormat)(const PF_EffectWorld* world, PF_PixelFormat* pixel_format);
};

struct PF_ParamUtilsSuite3 {
    PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* def);
};
