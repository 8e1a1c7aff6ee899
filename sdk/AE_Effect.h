// Effect API: commands, error codes, flags, parameter records, images and the per-command
// records the host passes to EffectMain, in the host's Windows x64 layout. Integer "enum" types
// are fixed-width typedefs: the host's compiler sizes its enums differently from GCC.
#pragma once
#include <cstdint>

#include "A.h"
#include "SPBasic.h"

constexpr A_long PF_AE_PLUG_IN_VERSION = 13;
constexpr A_long PF_AE_PLUG_IN_SUBVERS = 28;

typedef A_long PF_Err;
typedef A_long PF_Fixed;
typedef double PF_FpLong;
typedef float PF_FpShort;
typedef A_char PF_Boolean; // a plain (signed) char in the host's calls
typedef A_u_char PF_UFixed8;
typedef struct _PF_ProgressInfo* PF_ProgPtr;
typedef void** PF_Handle;
typedef PF_Handle PF_ArbitraryH;
typedef A_long PF_ParamIndex;
typedef A_long PF_ParamValue;
typedef A_long PF_PixelFormat;
typedef A_long PF_Cmd;
typedef A_long PF_ParamType;
typedef A_long PF_ParamFlags;
typedef A_long PF_ParamUIFlags;
typedef A_long PF_ChangeFlags;
typedef A_long PF_OutFlags;
typedef A_long PF_OutFlags2;
typedef A_long PF_InFlags;
typedef A_long PF_WorldFlags;
typedef A_long PF_Field;
typedef A_long PF_Quality;
typedef A_long PF_Stage;
typedef A_long PF_ChannelMask;
typedef A_long PF_GPU_Framework;
typedef A_short PF_RenderOutputFlags;
typedef A_long PF_CustomEventFlags;
typedef A_long PF_EventType;
typedef A_long PF_EventInFlags;
typedef A_long PF_EventOutFlags;
typedef A_long PF_EffectArea;
typedef A_long PF_WindowType;
typedef A_long PF_Modifiers;
typedef A_long PF_CursorType;
typedef A_short PF_AppColorType;
typedef A_long PF_FunctionSelector;
typedef A_long PF_ArbCompareResult;
typedef A_long PF_ArbPrintFlags;
typedef A_long PF_ValueDisplayFlags;
typedef A_long PF_FSliderFlags;
typedef A_long PF_ModeFlags;
typedef A_long PF_LayerDefault;
typedef A_u_long PF_PathID;
typedef intptr_t A_intptr_t;

constexpr A_long PF_MAX_EFFECT_NAME_LEN = 31;
constexpr A_long PF_MAX_EFFECT_CATEGORY_NAME_LEN = 31;
constexpr A_long PF_MAX_EFFECT_PARAM_NAME_LEN = 31;
constexpr A_long PF_MAX_PARAM_VALUE_LEN = 31;
constexpr A_long PF_MAX_PARAM_DESCRIPTION_LEN = 31;
constexpr A_long PF_MAX_EFFECT_MSG_LEN = 255;
constexpr A_long PF_MAX_TIME_LEN = 31;
constexpr A_long PF_MAX_PATH_NAME_LEN = 31;
constexpr A_long PF_MAX_WORLD_WIDTH = 30000;
constexpr A_long PF_MAX_WORLD_HEIGHT = 30000;
constexpr A_long PF_MAX_CHAN8 = 255;
constexpr A_long PF_MAX_CHAN16 = 32768;

// ---- Error codes and commands -------------------------------------------------------------

enum : PF_Err {
    PF_Err_NONE = 0,
    PF_Err_OUT_OF_MEMORY = 4,
    PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
    PF_Err_INVALID_INDEX = 513,
    PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
    PF_Err_INVALID_CALLBACK = 515,
    PF_Err_BAD_CALLBACK_PARAM = 516,
    PF_Interrupt_CANCEL = 517,
    PF_Err_CANNOT_PARSE_KEYFRAME_TEXT = 518,
};

enum : PF_Cmd {
    PF_Cmd_ABOUT = 0,
    PF_Cmd_GLOBAL_SETUP = 1,
    PF_Cmd_UNUSED_0 = 2,
    PF_Cmd_GLOBAL_SETDOWN = 3,
    PF_Cmd_PARAMS_SETUP = 4,
    PF_Cmd_SEQUENCE_SETUP = 5,
    PF_Cmd_SEQUENCE_RESETUP = 6,
    PF_Cmd_SEQUENCE_FLATTEN = 7,
    PF_Cmd_SEQUENCE_SETDOWN = 8,
    PF_Cmd_DO_DIALOG = 9,
    PF_Cmd_FRAME_SETUP = 10,
    PF_Cmd_RENDER = 11,
    PF_Cmd_FRAME_SETDOWN = 12,
    PF_Cmd_USER_CHANGED_PARAM = 13,
    PF_Cmd_UPDATE_PARAMS_UI = 14,
    PF_Cmd_EVENT = 15,
    PF_Cmd_GET_EXTERNAL_DEPENDENCIES = 16,
    PF_Cmd_COMPLETELY_GENERAL = 17,
    PF_Cmd_QUERY_DYNAMIC_FLAGS = 18,
    PF_Cmd_AUDIO_RENDER = 19,
    PF_Cmd_AUDIO_SETUP = 20,
    PF_Cmd_AUDIO_SETDOWN = 21,
    PF_Cmd_ARBITRARY_CALLBACK = 22,
    PF_Cmd_SMART_PRE_RENDER = 23,
    PF_Cmd_SMART_RENDER = 24,
    PF_Cmd_RESERVED1 = 25,
    PF_Cmd_RESERVED2 = 26,
    PF_Cmd_RESERVED3 = 27,
    PF_Cmd_GET_FLATTENED_SEQUENCE_DATA = 28,
    PF_Cmd_TRANSLATE_PARAMS_TO_PREFS = 29,
    PF_Cmd_RESERVED4 = 30,
    PF_Cmd_SMART_RENDER_GPU = 31,
    PF_Cmd_GPU_DEVICE_SETUP = 32,
    PF_Cmd_GPU_DEVICE_SETDOWN = 33,
    PF_Cmd_NUM_CMDS = 34,
};

enum : PF_Stage { PF_Stage_DEVELOP = 0, PF_Stage_ALPHA = 1, PF_Stage_BETA = 2, PF_Stage_RELEASE = 3 };
enum : PF_Quality { PF_Quality_DRAWING_AUDIO = -1, PF_Quality_LO = 0, PF_Quality_HI = 1 };
enum : PF_Field { PF_Field_FRAME = 0, PF_Field_UPPER = 1, PF_Field_LOWER = 2 };
enum : PF_InFlags { PF_InFlag_NONE = 0, PF_InFlag_PROJECT_IS_RENDER_ONLY = 1 };

// ---- Global flags -------------------------------------------------------------------------

enum : PF_OutFlags {
    PF_OutFlag_NONE = 0,
    PF_OutFlag_KEEP_RESOURCE_OPEN = 1 << 0,
    PF_OutFlag_WIDE_TIME_INPUT = 1 << 1,
    PF_OutFlag_NON_PARAM_VARY = 1 << 2,
    PF_OutFlag_RESERVED6 = 1 << 3,
    PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING = 1 << 4,
    PF_OutFlag_I_DO_DIALOG = 1 << 5,
    PF_OutFlag_USE_OUTPUT_EXTENT = 1 << 6,
    PF_OutFlag_SEND_DO_DIALOG = 1 << 7,
    PF_OutFlag_DISPLAY_ERROR_MESSAGE = 1 << 8,
    PF_OutFlag_I_EXPAND_BUFFER = 1 << 9,
    PF_OutFlag_PIX_INDEPENDENT = 1 << 10,
    PF_OutFlag_I_WRITE_INPUT_BUFFER = 1 << 11,
    PF_OutFlag_I_SHRINK_BUFFER = 1 << 12,
    PF_OutFlag_WORKS_IN_PLACE = 1 << 13,
    PF_OutFlag_RESERVED8 = 1 << 14,
    PF_OutFlag_CUSTOM_UI = 1 << 15,
    PF_OutFlag_RESERVED7 = 1 << 16,
    PF_OutFlag_REFRESH_UI = 1 << 17,
    PF_OutFlag_NOP_RENDER = 1 << 18,
    PF_OutFlag_I_USE_SHUTTER_ANGLE = 1 << 19,
    PF_OutFlag_I_USE_AUDIO = 1 << 20,
    PF_OutFlag_I_AM_OBSOLETE = 1 << 21,
    PF_OutFlag_FORCE_RERENDER = 1 << 22,
    PF_OutFlag_PiPL_OVERRIDES_OUTDATA_OUTFLAGS = 1 << 23,
    PF_OutFlag_I_HAVE_EXTERNAL_DEPENDENCIES = 1 << 24,
    PF_OutFlag_DEEP_COLOR_AWARE = 1 << 25,
    PF_OutFlag_SEND_UPDATE_PARAMS_UI = 1 << 26,
    PF_OutFlag_AUDIO_FLOAT_ONLY = 1 << 27,
    PF_OutFlag_AUDIO_IIR = 1 << 28,
    PF_OutFlag_I_SYNTHESIZE_AUDIO = 1 << 29,
    PF_OutFlag_AUDIO_EFFECT_TOO = 1 << 30,
    PF_OutFlag_AUDIO_EFFECT_ONLY = INT32_MIN, // bit 31, a negative 32-bit value in the host
};

enum : PF_OutFlags2 {
    PF_OutFlag2_NONE = 0,
    PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS = 1 << 0,
    PF_OutFlag2_I_USE_3D_CAMERA = 1 << 1,
    PF_OutFlag2_I_USE_3D_LIGHTS = 1 << 2,
    PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG = 1 << 3,
    PF_OutFlag2_I_AM_THREADSAFE = 1 << 4,
    PF_OutFlag2_CAN_COMBINE_WITH_DESTINATION = 1 << 5,
    PF_OutFlag2_DOESNT_NEED_EMPTY_PIXELS = 1 << 6,
    PF_OutFlag2_REVEALS_ZERO_ALPHA = 1 << 7,
    PF_OutFlag2_PRESERVES_FULLY_OPAQUE_PIXELS = 1 << 8,
    PF_OutFlag2_SUPPORTS_SMART_RENDER = 1 << 10,
    PF_OutFlag2_RESERVED9 = 1 << 11,
    PF_OutFlag2_FLOAT_COLOR_AWARE = 1 << 12,
    PF_OutFlag2_I_USE_COLORSPACE_ENUMERATION = 1 << 13,
    PF_OutFlag2_I_AM_DEPRECATED = 1 << 14,
    PF_OutFlag2_PPRO_DO_NOT_CLONE_SEQUENCE_DATA_FOR_RENDER = 1 << 15,
    PF_OutFlag2_RESERVED10 = 1 << 16,
    PF_OutFlag2_AUTOMATIC_WIDE_TIME_INPUT = 1 << 17,
    PF_OutFlag2_I_USE_TIMECODE = 1 << 18,
    PF_OutFlag2_DEPENDS_ON_UNREFERENCED_MASKS = 1 << 19,
    PF_OutFlag2_OUTPUT_IS_WATERMARKED = 1 << 20,
    PF_OutFlag2_I_MIX_GUID_DEPENDENCIES = 1 << 21,
    PF_OutFlag2_AE13_5_THREADSAFE = 1 << 22,
    PF_OutFlag2_SUPPORTS_GET_FLATTENED_SEQUENCE_DATA = 1 << 23,
    PF_OutFlag2_CUSTOM_UI_ASYNC_MANAGER = 1 << 24,
    PF_OutFlag2_SUPPORTS_GPU_RENDER_F32 = 1 << 25,
    PF_OutFlag2_RESERVED12 = 1 << 26,
    PF_OutFlag2_SUPPORTS_THREADED_RENDERING = 1 << 27,
    PF_OutFlag2_MUTABLE_RENDER_SEQUENCE_DATA_SLOWER = 1 << 28,
};

// ---- Parameters ---------------------------------------------------------------------------

enum : PF_ParamType {
    PF_Param_RESERVED = -1,
    PF_Param_LAYER = 0,
    PF_Param_SLIDER = 1,
    PF_Param_FIX_SLIDER = 2,
    PF_Param_ANGLE = 3,
    PF_Param_CHECKBOX = 4,
    PF_Param_COLOR = 5,
    PF_Param_POINT = 6,
    PF_Param_POPUP = 7,
    PF_Param_CUSTOM = 8,
    PF_Param_NO_DATA = 9,
    PF_Param_FLOAT_SLIDER = 10,
    PF_Param_ARBITRARY_DATA = 11,
    PF_Param_PATH = 12,
    PF_Param_GROUP_START = 13,
    PF_Param_GROUP_END = 14,
    PF_Param_BUTTON = 15,
    PF_Param_RESERVED2 = 16,
    PF_Param_RESERVED3 = 17,
    PF_Param_POINT_3D = 18,
};

enum : PF_ParamFlags {
    PF_ParamFlag_RESERVED1 = 1 << 0,
    PF_ParamFlag_CANNOT_TIME_VARY = 1 << 1,
    PF_ParamFlag_CANNOT_INTERP = 1 << 2,
    PF_ParamFlag_RESERVED2 = 1 << 3,
    PF_ParamFlag_RESERVED3 = 1 << 4,
    PF_ParamFlag_COLLAPSE_TWIRLY = 1 << 5,
    PF_ParamFlag_START_COLLAPSED = PF_ParamFlag_COLLAPSE_TWIRLY,
    PF_ParamFlag_SUPERVISE = 1 << 6,
    PF_ParamFlag_USE_VALUE_FOR_OLD_PROJECTS = 1 << 7,
    PF_ParamFlag_LAYER_PARAM_IS_TRACKMATTE = 1 << 7,
    PF_ParamFlag_EXCLUDE_FROM_HAVE_INPUTS_CHANGED = 1 << 8,
    PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN = 1 << 9,
};

enum : PF_ParamUIFlags {
    PF_PUI_NONE = 0,
    PF_PUI_TOPIC = 1 << 0,
    PF_PUI_CONTROL = 1 << 1,
    PF_PUI_STD_CONTROL_ONLY = 1 << 2,
    PF_PUI_NO_ECW_UI = 1 << 3,
    PF_PUI_ECW_SEPARATOR = 1 << 4,
    PF_PUI_DISABLED = 1 << 5,
    PF_PUI_DONT_ERASE_TOPIC = 1 << 6,
    PF_PUI_DONT_ERASE_CONTROL = 1 << 7,
    PF_PUI_RADIO_BUTTON = 1 << 8,
    PF_PUI_INVISIBLE = 1 << 9,
};

enum : PF_ChangeFlags {
    PF_ChangeFlag_NONE = 0,
    PF_ChangeFlag_CHANGED_VALUE = 1 << 0,
    PF_ChangeFlag_RESERVED = 1 << 1,
    PF_ChangeFlag_SET_TO_VARY = 1 << 2,
    PF_ChangeFlag_SET_TO_CONSTANT = 1 << 3,
};

enum : PF_ValueDisplayFlags {
    PF_ValueDisplayFlag_NONE = 0,
    PF_ValueDisplayFlag_PERCENT = 1 << 0,
    PF_ValueDisplayFlag_PIXEL = 1 << 1,
    PF_ValueDisplayFlag_RESERVED1 = 1 << 2,
    PF_ValueDisplayFlag_REVERSE = 1 << 3,
};
enum : PF_FSliderFlags { PF_FSliderFlag_NONE = 0, PF_FSliderFlag_WANT_PHASE = 1 << 0 };
enum : PF_LayerDefault { PF_LayerDefault_NONE = 0, PF_LayerDefault_MYSELF = -1 };

// ---- Images -------------------------------------------------------------------------------

enum : PF_WorldFlags {
    PF_WorldFlag_DEEP = 1 << 0,
    PF_WorldFlag_WRITEABLE = 1 << 1,
    PF_WorldFlag_RESERVED0 = 1 << 24,
    PF_WorldFlag_RESERVED1 = 1 << 25,
    PF_WorldFlag_RESERVED2 = 1 << 26,
    PF_WorldFlag_RESERVED3 = 1 << 27,
    PF_WorldFlag_RESERVED4 = 1 << 28,
    PF_WorldFlag_RESERVED5 = 1 << 29,
    PF_WorldFlag_RESERVED6 = 1 << 30,
    PF_WorldFlag_RESERVED = INT32_MIN, // bit 31, a negative 32-bit value in the host
};

enum : PF_ChannelMask {
    PF_ChannelMask_ALPHA = 1,
    PF_ChannelMask_RED = 2,
    PF_ChannelMask_GREEN = 4,
    PF_ChannelMask_BLUE = 8,
    PF_ChannelMask_ARGB = 15,
};

enum : PF_PixelFormat {
    PF_PixelFormat_ARGB32 = static_cast<PF_PixelFormat>(AEFourCC('a', 'r', 'g', 'b')),
    PF_PixelFormat_ARGB64 = static_cast<PF_PixelFormat>(AEFourCC('a', 'e', '1', '6')),
    PF_PixelFormat_ARGB128 = static_cast<PF_PixelFormat>(AEFourCC('a', 'e', '3', '2')),
    PF_PixelFormat_GPU_BGRA128 = static_cast<PF_PixelFormat>(AEFourCC('@', 'C', 'D', 'A')),
    PF_PixelFormat_RESERVED = static_cast<PF_PixelFormat>(AEFourCC('@', 'C', 'D', 'a')),
    PF_PixelFormat_BGRA32 = static_cast<PF_PixelFormat>(AEFourCC('b', 'g', 'r', 'a')),
    PF_PixelFormat_VUYA32 = static_cast<PF_PixelFormat>(AEFourCC('v', 'u', 'y', 'a')),
    PF_PixelFormat_NTSCDV25 = static_cast<PF_PixelFormat>(AEFourCC('d', 'v', 'n', '2')),
    PF_PixelFormat_PALDV25 = static_cast<PF_PixelFormat>(AEFourCC('d', 'v', 'p', '2')),
    PF_PixelFormat_INVALID = static_cast<PF_PixelFormat>(AEFourCC('b', 'a', 'd', 'f')),
    PF_PixelFormat_FORCE_LONG_INT = -1,
};

struct PF_Point {
    A_long h, v;
};

struct PF_LRect {
    A_long left, top, right, bottom;
};
typedef PF_LRect PF_Rect;
typedef PF_LRect PF_UnionableRect;

struct PF_RationalScale {
    A_long num;
    A_u_long den;
};

struct PF_SpecVersion {
    A_short major, minor;
};

struct PF_Pixel {
    A_u_char alpha, red, green, blue;
};
typedef PF_Pixel PF_Pixel8;
typedef PF_Pixel PF_UnionablePixel;

struct PF_Pixel16 {
    A_u_short alpha, red, green, blue;
};

struct PF_PixelFloat {
    PF_FpShort alpha, red, green, blue;
};
typedef PF_PixelFloat PF_Pixel32;

// Rows start at `data`; deeper formats reinterpret it, always stepping by `rowbytes`.
typedef PF_Pixel* PF_PixelPtr;

// An image: ARGB pixels, straight colour, rows `rowbytes` apart (which may exceed width x pixel size).
struct PF_LayerDef {
    void* reserved0;
    void* reserved1;
    PF_WorldFlags world_flags;
    PF_PixelPtr data;
    A_long rowbytes;
    A_long width;
    A_long height;
    PF_UnionableRect extent_hint;
    void* platform_ref;
    A_long reserved_long1;
    void* reserved_long4;
    PF_RationalScale pix_aspect_ratio;
    void* reserved_long2;
    A_long origin_x;
    A_long origin_y;
    A_long reserved_long3;
    PF_LayerDefault dephault;
};
typedef PF_LayerDef PF_EffectWorld;

// ---- Sound (declared only so the command records keep their layout) -----------------------

struct PF_SoundFormatInfo {
    PF_FpLong rateF;
    A_short num_channels;
    A_short format;
    A_short sample_size;
};

struct PF_SoundWorld {
    PF_SoundFormatInfo fi;
    A_long num_samples;
    void* dataP;
};

// ---- Parameter records --------------------------------------------------------------------

struct PF_SliderDef {
    PF_ParamValue value;
    A_char value_str[PF_MAX_PARAM_VALUE_LEN + 1];
    A_char value_desc[PF_MAX_PARAM_DESCRIPTION_LEN + 1];
    PF_ParamValue valid_min, valid_max;
    PF_ParamValue slider_min, slider_max;
    PF_ParamValue dephault;
};

struct PF_FixedSliderDef {
    PF_Fixed value;
    A_char value_str[PF_MAX_PARAM_VALUE_LEN + 1];
    A_char value_desc[PF_MAX_PARAM_DESCRIPTION_LEN + 1];
    PF_Fixed valid_min, valid_max;
    PF_Fixed slider_min, slider_max;
    PF_Fixed dephault;
    A_short precision;
    A_short display_flags;
};

struct PF_FloatSliderDef {
    PF_FpLong value;
    PF_FpLong phase;
    A_char value_desc[PF_MAX_PARAM_DESCRIPTION_LEN + 1];
    PF_FpShort valid_min, valid_max;
    PF_FpShort slider_min, slider_max;
    PF_FpShort dephault;
    A_short precision;
    A_short display_flags;
    PF_FSliderFlags fs_flags;
    PF_FpShort curve_tolerance;
    PF_Boolean useExponent;
    PF_FpShort exponent;
};

struct PF_AngleDef {
    PF_Fixed value;
    PF_Fixed dephault;
    PF_Fixed valid_min, valid_max;
};

struct PF_CheckBoxDef {
    PF_ParamValue value;
    PF_Boolean dephault;
    A_char reserved;
    A_short reserved1;
    union {
        const A_char* nameptr;
    } u;
};

struct PF_ColorDef {
    PF_Pixel value;
    PF_Pixel dephault;
};

struct PF_PointDef {
    PF_Fixed x_value, y_value;
    A_char reserved[3];
    PF_Boolean restrict_bounds;
    PF_Fixed x_dephault, y_dephault;
};

struct PF_PopupDef {
    PF_ParamValue value;
    A_short num_choices;
    A_short dephault;
    union {
        const A_char* namesptr;
    } u;
};

struct PF_ButtonDef {
    PF_ParamValue value;
    union {
        const A_char* namesptr;
    } u;
};

struct PF_Point3DDef {
    PF_FpLong x_value, y_value, z_value;
    PF_FpLong x_dephault, y_dephault, z_dephault;
    A_char reserved[16];
};

struct PF_PathDef {
    PF_PathID path_id;
    A_long reserved0;
    A_long dephault;
};

struct PF_ArbitraryDef {
    A_short id;
    A_short pad;
    PF_ArbitraryH dephault;
    PF_ArbitraryH value;
    void* refconPV;
};

union PF_ParamDefUnion {
    PF_LayerDef ld;
    PF_SliderDef sd;
    PF_FixedSliderDef fd;
    PF_AngleDef ad;
    PF_CheckBoxDef bd;
    PF_ColorDef cd;
    PF_PointDef td;
    PF_PopupDef pd;
    PF_FloatSliderDef fs_d;
    PF_ArbitraryDef arb_d;
    PF_PathDef path_d;
    PF_ButtonDef button_d;
    PF_Point3DDef point3d_d;
};

struct PF_ParamDef {
    union {
        A_long id;
        PF_ChangeFlags change_flags;
    } uu;
    PF_ParamUIFlags ui_flags;
    A_short ui_width;
    A_short ui_height;
    PF_ParamType param_type;
    A_char name[32];
    PF_ParamFlags flags;
    A_long unused;
    PF_ParamDefUnion u;
};
typedef PF_ParamDef* PF_ParamDefPtr;
typedef PF_ParamDef** PF_ParamList;

// ---- Callback tables in PF_InData ---------------------------------------------------------

enum : PF_CustomEventFlags {
    PF_CustomEFlag_NONE = 0,
    PF_CustomEFlag_COMP = 1 << 0,
    PF_CustomEFlag_LAYER = 1 << 1,
    PF_CustomEFlag_EFFECT = 1 << 2,
    PF_CustomEFlag_PREVIEW = 1 << 3,
};

struct PF_CustomUIInfo {
    A_long reserved;
    PF_CustomEventFlags events;
    A_long comp_ui_width, comp_ui_height, comp_ui_alignment;
    A_long layer_ui_width, layer_ui_height, layer_ui_alignment;
    A_long preview_ui_width, preview_ui_height, preview_ui_alignment;
};

typedef struct _PF_LayerAudio* PF_LayerAudio;

struct PF_InteractCallbacks {
    PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long time_step,
                             A_u_long time_scale, PF_ParamDef* param);
    PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* param);
    PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def);
    PF_Err (*abort)(PF_ProgPtr effect_ref);
    PF_Err (*progress)(PF_ProgPtr effect_ref, A_long current, A_long total);
    PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo* cust_info);
    PF_Err (*checkout_layer_audio)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long start_time, A_long duration,
                                   A_u_long time_scale, A_u_long rate, A_long bytes_per_sample, A_long num_channels,
                                   A_long fmt_signed, PF_LayerAudio* audio);
    PF_Err (*checkin_layer_audio)(PF_ProgPtr effect_ref, PF_LayerAudio audio);
    PF_Err (*get_audio_data)(PF_ProgPtr effect_ref, PF_LayerAudio audio, void** data, A_long* num_samples,
                             A_u_long* rate, A_long* bytes_per_sample, A_long* num_channels, A_long* fmt_signed);
    A_char reserved_str[24];
    void* reserved[10];
};

// The C library as the host hands it to plug-ins (unused by Strandel, which has its own).
struct PF_ANSICallbacks {
    A_FpLong (*atan)(A_FpLong);
    A_FpLong (*atan2)(A_FpLong y, A_FpLong x);
    A_FpLong (*ceil)(A_FpLong);
    A_FpLong (*cos)(A_FpLong);
    A_FpLong (*exp)(A_FpLong);
    A_FpLong (*fabs)(A_FpLong);
    A_FpLong (*floor)(A_FpLong);
    A_FpLong (*fmod)(A_FpLong x, A_FpLong y);
    A_FpLong (*hypot)(A_FpLong x, A_FpLong y);
    A_FpLong (*log)(A_FpLong);
    A_FpLong (*log10)(A_FpLong);
    A_FpLong (*pow)(A_FpLong x, A_FpLong y);
    A_FpLong (*sin)(A_FpLong);
    A_FpLong (*sqrt)(A_FpLong);
    A_FpLong (*tan)(A_FpLong);
    int (*sprintf)(A_char* buffer, const A_char* format, ...);
    A_char* (*strcpy)(A_char* dst, const A_char* src);
    A_FpLong (*asin)(A_FpLong);
    A_FpLong (*acos)(A_FpLong);
    A_long ansi_procs[1];
};

// Colour-space conversions (unused by Strandel).
struct PF_ColorCallbacks {
    A_OpaqueFunc RGBtoHLS;
    A_OpaqueFunc HLStoRGB;
    A_OpaqueFunc RGBtoYIQ;
    A_OpaqueFunc YIQtoRGB;
    A_OpaqueFunc Luminance;
    A_OpaqueFunc Hue;
    A_OpaqueFunc Lightness;
    A_OpaqueFunc Saturation;
};

// Image and memory services. Strandel calls only the handle functions; the rest keep their places.
struct PF_InData;

// Records of image services Strandel never calls, kept at their sizes.
typedef A_Opaque<104> PF_SampPB;
typedef A_Opaque<12> PF_CompositeMode;
typedef A_Opaque<136> PF_MaskWorld;
typedef A_Opaque<72> PF_FloatMatrix;
typedef PF_Err (*PF_IteratePixelFunc)(void* refcon, A_long x, A_long y, PF_Pixel* in, PF_Pixel* out);

// Image and memory services. Strandel calls only the handle functions; the rest keep their places.
struct PF_UtilCallbacks {
    PF_Err (*begin_sampling)(PF_ProgPtr effect_ref, PF_Quality quality, A_long mf, PF_SampPB* params);
    PF_Err (*subpixel_sample)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params, PF_Pixel* dst);
    PF_Err (*area_sample)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params, PF_Pixel* dst);
    void* get_batch_func_is_deprecated;
    PF_Err (*end_sampling)(PF_ProgPtr effect_ref, PF_Quality quality, A_long mf, PF_SampPB* params);
    PF_Err (*composite_rect)(PF_ProgPtr effect_ref, PF_Rect* src_rect, A_long src_opacity, PF_EffectWorld* source,
                             A_long dest_x, A_long dest_y, A_long field_rdr, A_long xfer_mode, PF_EffectWorld* dest);
    PF_Err (*blend)(PF_ProgPtr effect_ref, const PF_EffectWorld* src1, const PF_EffectWorld* src2, PF_Fixed ratio,
                    PF_EffectWorld* dst);
    PF_Err (*convolve)(PF_ProgPtr effect_ref, PF_EffectWorld* src, const PF_Rect* area, A_u_long flags,
                       A_long kernel_size, void* a_kernel, void* r_kernel, void* g_kernel, void* b_kernel,
                       PF_EffectWorld* dst);
    PF_Err (*copy)(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r);
    PF_Err (*fill)(PF_ProgPtr effect_ref, const PF_Pixel* color, const PF_Rect* dst_rect, PF_EffectWorld* world);
    PF_Err (*gaussian_kernel)(PF_ProgPtr effect_ref, A_FpLong radius, A_u_long flags, A_FpLong multiplier,
                              A_long* diameter, void* kernel);
    PF_Err (*iterate)(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                      const PF_Rect* area, void* refcon, PF_IteratePixelFunc pix_fn, PF_EffectWorld* dst);
    PF_Err (*premultiply)(PF_ProgPtr effect_ref, A_long forward, PF_EffectWorld* dst);
    PF_Err (*premultiply_color)(PF_ProgPtr effect_ref, PF_EffectWorld* src, const PF_Pixel* color, A_long forward,
                                PF_EffectWorld* dst);
    PF_Err (*new_world)(PF_ProgPtr effect_ref, A_long width, A_long height, PF_WorldFlags flags, PF_EffectWorld* world);
    PF_Err (*dispose_world)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
    PF_Err (*iterate_origin)(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                             const PF_Rect* area, const PF_Point* origin, void* refcon, PF_IteratePixelFunc pix_fn,
                             PF_EffectWorld* dst);
    PF_Err (*iterate_lut)(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                          const PF_Rect* area, A_u_char* a_lut, A_u_char* r_lut, A_u_char* g_lut, A_u_char* b_lut,
                          PF_EffectWorld* dst);
    PF_Err (*transfer_rect)(PF_ProgPtr effect_ref, PF_Quality quality, PF_ModeFlags m_flags, PF_Field field,
                            const PF_Rect* src_rec, const PF_EffectWorld* src_world, const PF_CompositeMode* comp_mode,
                            const PF_MaskWorld* mask_world, A_long dest_x, A_long dest_y, PF_EffectWorld* dst_world);
    PF_Err (*transform_world)(PF_ProgPtr effect_ref, PF_Quality quality, PF_ModeFlags m_flags, PF_Field field,
                              const PF_EffectWorld* src_world, const PF_CompositeMode* comp_mode,
                              const PF_MaskWorld* mask_world, const PF_FloatMatrix* matrices, A_long num_matrices,
                              PF_Boolean src2dst_matrix, const PF_Rect* dest_rect, PF_EffectWorld* dst_world);
    PF_Handle (*host_new_handle)(A_HandleSize size);
    void* (*host_lock_handle)(PF_Handle handle);
    void (*host_unlock_handle)(PF_Handle handle);
    void (*host_dispose_handle)(PF_Handle handle);
    PF_Err (*get_callback_addr)(PF_ProgPtr effect_ref, PF_Quality quality, PF_ModeFlags m_flags, A_long which_callback,
                                A_OpaqueFunc* fn_ptr);
    A_OpaqueFunc app;
    PF_ANSICallbacks ansi;
    PF_ColorCallbacks colorCB;
    PF_Err (*get_platform_data)(PF_ProgPtr effect_ref, A_long which, void* data);
    A_HandleSize (*host_get_handle_size)(PF_Handle handle);
    PF_Err (*iterate_origin_non_clip_src)(PF_InData* in_data, A_long progress_base, A_long progress_final,
                                          PF_EffectWorld* src, const PF_Rect* area, const PF_Point* origin,
                                          void* refcon, PF_IteratePixelFunc pix_fn, PF_EffectWorld* dst);
    PF_Err (*iterate_generic)(A_long iterations, void* refcon, A_OpaqueFunc fn);
    PF_Err (*host_resize_handle)(A_HandleSize new_size, PF_Handle* handle);
    PF_Err (*subpixel_sample16)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                                PF_Pixel16* dst);
    PF_Err (*area_sample16)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params, PF_Pixel16* dst);
    PF_Err (*fill16)(PF_ProgPtr effect_ref, const PF_Pixel16* color, const PF_Rect* dst_rect, PF_EffectWorld* world);
    PF_Err (*premultiply_color16)(PF_ProgPtr effect_ref, PF_EffectWorld* src, const PF_Pixel16* color, A_long forward,
                                  PF_EffectWorld* dst);
    PF_Err (*iterate16)(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                        const PF_Rect* area, void* refcon, A_OpaqueFunc pix_fn, PF_EffectWorld* dst);
    PF_Err (*iterate_origin16)(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                               const PF_Rect* area, const PF_Point* origin, void* refcon, A_OpaqueFunc pix_fn,
                               PF_EffectWorld* dst);
    PF_Err (*iterate_origin_non_clip_src16)(PF_InData* in_data, A_long progress_base, A_long progress_final,
                                            PF_EffectWorld* src, const PF_Rect* area, const PF_Point* origin,
                                            void* refcon, A_OpaqueFunc pix_fn, PF_EffectWorld* dst);
    PF_Err (*get_pixel_data8)(PF_EffectWorld* world, PF_PixelPtr pixels, PF_Pixel8** pixel_data);
    PF_Err (*get_pixel_data16)(PF_EffectWorld* world, PF_PixelPtr pixels, PF_Pixel16** pixel_data);
    A_long reserved[1];
};

// ---- The per-command records --------------------------------------------------------------

struct PF_InData {
    PF_InteractCallbacks inter;
    PF_UtilCallbacks* utils;
    PF_ProgPtr effect_ref;
    PF_Quality quality;
    PF_SpecVersion version;
    A_long serial_num;
    A_long appl_id;
    A_long num_params;
    A_long reserved;
    A_long what_cpu;
    A_long what_fpu;
    A_long current_time;
    A_long time_step;
    A_long total_time;
    A_long local_time_step;
    A_u_long time_scale;
    PF_Field field;
    PF_Fixed shutter_angle;
    A_long width;
    A_long height;
    PF_Rect extent_hint;
    A_long output_origin_x;
    A_long output_origin_y;
    PF_RationalScale downsample_x;
    PF_RationalScale downsample_y;
    PF_RationalScale pixel_aspect_ratio;
    PF_InFlags in_flags;
    PF_Handle global_data;
    PF_Handle sequence_data;
    PF_Handle frame_data;
    A_long start_sampL;
    A_long dur_sampL;
    A_long total_sampL;
    PF_SoundWorld src_snd;
    SPBasicSuite* pica_basicP;
    A_long pre_effect_source_origin_x;
    A_long pre_effect_source_origin_y;
    PF_Fixed shutter_phase;
};

struct PF_OutData {
    A_u_long my_version;
    A_char name[PF_MAX_EFFECT_NAME_LEN + 1];
    PF_Handle global_data;
    A_long num_params;
    PF_Handle sequence_data;
    A_long flat_sdata_size;
    PF_Handle frame_data;
    A_long width;
    A_long height;
    PF_Point origin;
    PF_OutFlags out_flags;
    A_char return_msg[PF_MAX_EFFECT_MSG_LEN + 1];
    A_long start_sampL;
    A_long dur_sampL;
    PF_SoundWorld dest_snd;
    PF_OutFlags2 out_flags2;
};

// ---- Smart rendering ----------------------------------------------------------------------

enum : PF_GPU_Framework {
    PF_GPU_Framework_NONE = 0,
    PF_GPU_Framework_OPENCL = 1,
    PF_GPU_Framework_METAL = 2,
    PF_GPU_Framework_CUDA = 3,
};
enum : PF_RenderOutputFlags {
    PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS = 1 << 0,
    PF_RenderOutputFlag_GPU_RENDER_POSSIBLE = 1 << 1,
    PF_RenderOutputFlag_RESERVED1 = 1 << 2,
};

struct PF_RenderRequest {
    PF_LRect rect;
    PF_Field field;
    PF_ChannelMask channel_mask;
    PF_Boolean preserve_rgb_of_zero_alpha;
    A_char unused[3];
    A_long reserved[4];
};

struct PF_CheckoutResult {
    PF_LRect result_rect;
    PF_LRect max_result_rect;
    PF_RationalScale par;
    PF_Boolean solid;
    PF_Boolean reservedB[3];
    A_long ref_width;
    A_long ref_height;
    A_long reserved[6];
};

typedef void (*PF_DeletePreRenderDataFunc)(void* pre_render_data);

struct PF_PreRenderInput {
    PF_RenderRequest output_request;
    A_short bitdepth;
    const void* gpu_data;
    PF_GPU_Framework what_gpu;
    A_u_long device_index;
};

struct PF_PreRenderOutput {
    PF_LRect result_rect;
    PF_LRect max_result_rect;
    PF_Boolean solid;
    PF_Boolean reserved;
    PF_RenderOutputFlags flags;
    void* pre_render_data;
    PF_DeletePreRenderDataFunc delete_pre_render_data_func;
};

struct PF_PreRenderCallbacks {
    PF_Err (*checkout_layer)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long checkout_id,
                             const PF_RenderRequest* req, A_long what_time, A_long time_step, A_u_long time_scale,
                             PF_CheckoutResult* checkout_result);
    PF_Err (*GuidMixInPtr)(PF_ProgPtr effect_ref, A_u_long buf_size, const void* buf);
};

struct PF_PreRenderExtra {
    PF_PreRenderInput* input;
    PF_PreRenderOutput* output;
    PF_PreRenderCallbacks* cb;
};

struct PF_SmartRenderInput {
    PF_RenderRequest output_request;
    A_short bitdepth;
    void* pre_render_data;
    const void* gpu_data;
    PF_GPU_Framework what_gpu;
    A_u_long device_index;
};

struct PF_SmartRenderCallbacks {
    PF_Err (*checkout_layer_pixels)(PF_ProgPtr effect_ref, A_long checkout_id, PF_EffectWorld** pixels);
    PF_Err (*checkin_layer_pixels)(PF_ProgPtr effect_ref, A_long checkout_id);
    PF_Err (*checkout_output)(PF_ProgPtr effect_ref, PF_EffectWorld** output);
};

struct PF_SmartRenderExtra {
    PF_SmartRenderInput* input;
    PF_SmartRenderCallbacks* cb;
};

// ---- Parameter changes --------------------------------------------------------------------

struct PF_UserChangedParamExtra {
    PF_ParamIndex param_index;
};

// ---- Custom-UI events ---------------------------------------------------------------------

enum : PF_EventType {
    PF_Event_NONE = -1,
    PF_Event_NEW_CONTEXT = 0,
    PF_Event_ACTIVATE = 1,
    PF_Event_DO_CLICK = 2,
    PF_Event_DRAG = 3,
    PF_Event_DRAW = 4,
    PF_Event_DEACTIVATE = 5,
    PF_Event_CLOSE_CONTEXT = 6,
    PF_Event_IDLE = 7,
    PF_Event_KEYDOWN_OBSOLETE = 8,
    PF_Event_ADJUST_CURSOR = 9,
    PF_Event_KEYDOWN = 10,
    PF_Event_MOUSE_EXITED = 11,
    PF_Event_NUM_EVENTS = 12,
};

enum : PF_WindowType {
    PF_Window_NONE = -1,
    PF_Window_COMP = 0,
    PF_Window_LAYER = 1,
    PF_Window_EFFECT = 2,
    PF_Window_PREVIEW = 3,
};

enum : PF_EffectArea { PF_EA_NONE = 0, PF_EA_PARAM_TITLE = 1, PF_EA_CONTROL = 2 };

enum : PF_Modifiers {
    PF_Mod_NONE = 0,
    PF_Mod_CMD_CTRL_KEY = 1 << 8,
    PF_Mod_SHIFT_KEY = 1 << 9,
    PF_Mod_CAPS_LOCK_KEY = 1 << 10,
    PF_Mod_OPT_ALT_KEY = 1 << 11,
    PF_Mod_MAC_CONTROL_KEY = 1 << 12,
};

enum : PF_EventInFlags { PF_EI_NONE = 0, PF_EI_DONT_DRAW = 1 << 0 };
enum : PF_EventOutFlags {
    PF_EO_NONE = 0,
    PF_EO_HANDLED_EVENT = 1 << 0,
    PF_EO_ALWAYS_UPDATE = 1 << 1,
    PF_EO_NEVER_UPDATE = 1 << 2,
    PF_EO_UPDATE_NOW = 1 << 3,
};

enum : PF_CursorType {
    PF_Cursor_NONE = 0,
    PF_Cursor_CUSTOM = 1,
    PF_Cursor_ARROW = 2,
    PF_Cursor_HOLLOW_ARROW = 3,
    PF_Cursor_WATCH_N_WAIT = 4,
    PF_Cursor_MAGNIFY = 5,
    PF_Cursor_MAGNIFY_PLUS = 6,
    PF_Cursor_MAGNIFY_MINUS = 7,
    PF_Cursor_CROSSHAIRS = 8,
    PF_Cursor_CROSS_RECT = 9,
    PF_Cursor_CROSS_OVAL = 10,
    PF_Cursor_CROSS_ROTATE = 11,
    PF_Cursor_PAN = 12,
    PF_Cursor_EYEDROPPER = 13,
    PF_Cursor_HAND = 14,
    PF_Cursor_PEN = 15,
    PF_Cursor_PEN_ADD = 16,
    PF_Cursor_PEN_DELETE = 17,
    PF_Cursor_PEN_CLOSE = 18,
    PF_Cursor_PEN_DRAG = 19,
    PF_Cursor_PEN_CORNER = 20,
    PF_Cursor_RESIZE_VERTICAL = 21,
    PF_Cursor_RESIZE_HORIZONTAL = 22,
    PF_Cursor_FINGER_POINTER = 23,
    PF_Cursor_SCALE_HORIZ = 24,
    PF_Cursor_SCALE_DIAG_LR = 25,
    PF_Cursor_SCALE_VERT = 26,
    PF_Cursor_SCALE_DIAG_UR = 27,
    PF_Cursor_ROT_TOP = 28,
    PF_Cursor_ROT_TOP_RIGHT = 29,
    PF_Cursor_ROT_RIGHT = 30,
    PF_Cursor_ROT_BOT_RIGHT = 31,
    PF_Cursor_ROT_BOTTOM = 32,
    PF_Cursor_ROT_BOT_LEFT = 33,
    PF_Cursor_ROT_LEFT = 34,
    PF_Cursor_ROT_TOP_LEFT = 35,
    PF_Cursor_DRAG_CENTER = 36,
    PF_Cursor_COPY = 37,
    PF_Cursor_ALIAS = 38,
    PF_Cursor_CONTEXT = 39,
    PF_Cursor_SLIP_EDIT = 40,
    PF_Cursor_CAMERA_ORBIT_CAMERA = 41,
    PF_Cursor_CAMERA_PAN_CAMERA = 42,
    PF_Cursor_CAMERA_DOLLY_CAMERA = 43,
    PF_Cursor_ROTATE_X = 44,
    PF_Cursor_ROTATE_Y = 45,
    PF_Cursor_ROTATE_Z = 46,
    PF_Cursor_ARROW_X = 47,
    PF_Cursor_ARROW_Y = 48,
    PF_Cursor_ARROW_Z = 49,
    PF_Cursor_SCISSORS = 50,
    PF_Cursor_FAT_EYEDROPPER = 51,
    PF_Cursor_FINGER_POINTER_SCRUB = 52,
    PF_Cursor_HORZ_I_BEAM = 53,
    PF_Cursor_VERT_I_BEAM = 54,
    PF_Cursor_HORZ_BOX_I_BEAM = 55,
    PF_Cursor_VERT_BOX_I_BEAM = 56,
    PF_Cursor_I_BEAM_0 = 57,
    PF_Cursor_I_BEAM_11_25 = 58,
    PF_Cursor_I_BEAM_22_5 = 59,
    PF_Cursor_I_BEAM_33_75 = 60,
    PF_Cursor_I_BEAM_45 = 61,
    PF_Cursor_I_BEAM_56_25 = 62,
    PF_Cursor_I_BEAM_67_5 = 63,
    PF_Cursor_I_BEAM_78_75 = 64,
    PF_Cursor_I_BEAM_90 = 65,
    PF_Cursor_I_BEAM_101_25 = 66,
    PF_Cursor_I_BEAM_112_5 = 67,
    PF_Cursor_I_BEAM_123_75 = 68,
    PF_Cursor_I_BEAM_135 = 69,
    PF_Cursor_I_BEAM_146_25 = 70,
    PF_Cursor_I_BEAM_157_5 = 71,
    PF_Cursor_I_BEAM_168_75 = 72,
    PF_Cursor_CROSSHAIRS_PICKUP = 73,
    PF_Cursor_ARROW_SELECTOR = 74,
    PF_Cursor_LAYER_MOVE = 75,
    PF_Cursor_MOVE_START_MARGIN = 76,
    PF_Cursor_MOVE_END_MARGIN = 77,
    PF_Cursor_SOLID_ARROW = 78,
    PF_Cursor_HOLLOW_ARROW_PLUS = 79,
    PF_Cursor_BRUSH_CENTER = 80,
    PF_Cursor_CLONE_SOURCE = 81,
    PF_Cursor_CLONE_SOURCE_OFFSET = 82,
    PF_Cursor_HOLLOW_LAYER_MOVE = 83,
    PF_Cursor_MOVE_TRACK_SEARCH_REGION = 84,
    PF_Cursor_MOVE_TRACK_ATTACH_POINT = 85,
    PF_Cursor_COLOR_CUBE_CROSS_SECTION = 86,
    PF_Cursor_PEN_CORNER_ROTOBEZ_TENSION = 87,
    PF_Cursor_PIN = 88,
    PF_Cursor_PIN_ADD = 89,
    PF_Cursor_MESH_ADD = 90,
    PF_Cursor_MARQUEE = 91,
    PF_Cursor_CROSS_ROUNDED_RECT = 92,
    PF_Cursor_CROSS_POLYGON = 93,
    PF_Cursor_CROSS_STAR = 94,
    PF_Cursor_PIN_STARCH = 95,
    PF_Cursor_PIN_OVERLAP = 96,
    PF_Cursor_STOPWATCH = 97,
    PF_Cursor_DRAG_DOT = 98,
    PF_Cursor_DRAG_CIRCLE = 99,
    PF_Cursor_DIRECT_SELECT = 100,
    PF_Cursor_DRAG_COPY_MOVE = 101,
    PF_Cursor_DRAG_COPY_ROTATE = 102,
    PF_Cursor_CAMERA_MAYA = 103,
    PF_Cursor_RESIZE_HORIZONTAL_LEFT = 104,
    PF_Cursor_RESIZE_HORIZONTAL_RIGHT = 105,
    PF_Cursor_FEATHER = 106,
    PF_Cursor_FEATHER_ADD = 107,
    PF_Cursor_FEATHER_DELETE = 108,
    PF_Cursor_FEATHER_MOVE = 109,
    PF_Cursor_FEATHER_TENSION = 110,
    PF_Cursor_FEATHER_MARQUEE = 111,
    PF_Cursor_LASSO_ARROW = 112,
    PF_Cursor_DRAG_NO_DROP = 113,
    PF_Cursor_DRAG_COPY = 114,
    PF_Cursor_DRAG_LINK = 115,
    PF_Cursor_PIN_BEND = 116,
    PF_Cursor_PIN_ADVANCED = 117,
    PF_Cursor_CAMERA_ORBIT_CURSOR = 118,
    PF_Cursor_CAMERA_ORBIT_SCENE = 119,
    PF_Cursor_CAMERA_PAN_CURSOR = 120,
    PF_Cursor_CAMERA_DOLLY_TOWARDS_CURSOR = 121,
    PF_Cursor_CAMERA_DOLLY_TO_CURSOR = 122,
    PF_MAX_CURSOR_PLUS_ONE = 123,
};

enum : PF_AppColorType {
    PF_App_Color_NONE = -1,
    PF_App_Color_FRAME = 0,
    PF_App_Color_FILL = 1,
    PF_App_Color_TEXT = 2,
    PF_App_Color_LIGHT_TINGE = 3,
    PF_App_Color_DARK_TINGE = 4,
    PF_App_Color_HILITE = 5,
    PF_App_Color_SHADOW = 6,
    PF_App_Color_BUTTON_FRAME = 7,
    PF_App_Color_BUTTON_FILL = 8,
    PF_App_Color_BUTTON_TEXT = 9,
    PF_App_Color_BUTTON_LIGHT_TINGE = 10,
    PF_App_Color_BUTTON_DARK_TINGE = 11,
    PF_App_Color_BUTTON_HILITE = 12,
    PF_App_Color_BUTTON_SHADOW = 13,
    PF_App_Color_BUTTON_PRESSED_FRAME = 14,
    PF_App_Color_BUTTON_PRESSED_FILL = 15,
    PF_App_Color_BUTTON_PRESSED_TEXT = 16,
    PF_App_Color_BUTTON_PRESSED_LIGHT_TINGE = 17,
    PF_App_Color_BUTTON_PRESSED_DARK_TINGE = 18,
    PF_App_Color_BUTTON_PRESSED_HILITE = 19,
    PF_App_Color_BUTTON_PRESSED_SHADOW = 20,
    PF_App_Color_FRAME_DISABLED = 21,
    PF_App_Color_FILL_DISABLED = 22,
    PF_App_Color_TEXT_DISABLED = 23,
    PF_App_Color_LIGHT_TINGE_DISABLED = 24,
    PF_App_Color_DARK_TINGE_DISABLED = 25,
    PF_App_Color_HILITE_DISABLED = 26,
    PF_App_Color_SHADOW_DISABLED = 27,
    PF_App_Color_BUTTON_FRAME_DISABLED = 28,
    PF_App_Color_BUTTON_FILL_DISABLED = 29,
    PF_App_Color_BUTTON_TEXT_DISABLED = 30,
    PF_App_Color_BUTTON_LIGHT_TINGE_DISABLED = 31,
    PF_App_Color_BUTTON_DARK_TINGE_DISABLED = 32,
    PF_App_Color_BUTTON_HILITE_DISABLED = 33,
    PF_App_Color_BUTTON_SHADOW_DISABLED = 34,
    PF_App_Color_BUTTON_PRESSED_FRAME_DISABLED = 35,
    PF_App_Color_BUTTON_PRESSED_FILL_DISABLED = 36,
    PF_App_Color_BUTTON_PRESSED_TEXT_DISABLED = 37,
    PF_App_Color_BUTTON_PRESSED_LIGHT_TINGE_DISABLED = 38,
    PF_App_Color_BUTTON_PRESSED_DARK_TINGE_DISABLED = 39,
    PF_App_Color_BUTTON_PRESSED_HILITE_DISABLED = 40,
    PF_App_Color_BUTTON_PRESSED_SHADOW_DISABLED = 41,
    PF_App_Color_BLACK = 42,
    PF_App_Color_WHITE = 43,
    PF_App_Color_GRAY = 44,
    PF_App_Color_RED = 45,
    PF_App_Color_YELLOW = 46,
    PF_App_Color_GREEN = 47,
    PF_App_Color_CYAN = 48,
    PF_App_Color_TLW_NEEDLE_CURRENT_TIME = 49,
    PF_App_Color_TLW_NEEDLE_PREVIEW_TIME = 50,
    PF_App_Color_TLW_CACHE_MARK_MEM = 51,
    PF_App_Color_TLW_CACHE_MARK_DISK = 52,
    PF_App_Color_TLW_CACHE_MARK_MIX = 53,
    PF_App_Color_FILL_LIGHT = 54,
    PF_App_Color_HOT_TEXT = 55,
    PF_App_Color_HOT_TEXT_DISABLED = 56,
    PF_App_Color_LABEL_0 = 57,
    PF_App_Color_LABEL_1 = 58,
    PF_App_Color_LABEL_2 = 59,
    PF_App_Color_LABEL_3 = 60,
    PF_App_Color_LABEL_4 = 61,
    PF_App_Color_LABEL_5 = 62,
    PF_App_Color_LABEL_6 = 63,
    PF_App_Color_LABEL_7 = 64,
    PF_App_Color_LABEL_8 = 65,
    PF_App_Color_LABEL_9 = 66,
    PF_App_Color_LABEL_10 = 67,
    PF_App_Color_LABEL_11 = 68,
    PF_App_Color_LABEL_12 = 69,
    PF_App_Color_LABEL_13 = 70,
    PF_App_Color_LABEL_14 = 71,
    PF_App_Color_LABEL_15 = 72,
    PF_App_Color_LABEL_16 = 73,
    PF_App_Color_TLW_CACHE_MARK_MEM_DUBIOUS = 74,
    PF_App_Color_TLW_CACHE_MARK_DISK_DUBIOUS = 75,
    PF_App_Color_TLW_CACHE_MARK_MIX_DUBIOUS = 76,
    PF_App_Color_HOT_TEXT_PRESSED = 77,
    PF_App_Color_HOT_TEXT_WARNING = 78,
    PF_App_Color_PURE_BLACK = 79,
    PF_App_Color_PURE_WHITE = 80,
    PF_App_Color_PANEL_BACKGROUND = 1000,
    PF_App_Color_LIST_BOX_FILL = 1001,
    PF_App_Color_DARK_CAPTION_FILL = 1002,
    PF_App_Color_DARK_CAPTION_TEXT = 1003,
    PF_App_Color_TEXT_ON_LIGHTER_BG = 1004,
    PF_App_Color_NUMTYPES = 1005,
};

// The host's record of one custom-UI context; `plugin_state` is the plug-in's to keep across events.
struct PF_Context {
    A_u_long magic;
    PF_WindowType w_type;
    void* reserved_flt;
    A_intptr_t plugin_state[4];
    void* reserved_drawref;
    void* reserved_paneP;
    void* reserved_job_manageP;
};
// A handle: the host may move the record between events.
typedef PF_Context** PF_ContextH;

struct PF_FixedPoint {
    PF_Fixed x, y;
};

struct PF_DoClickEventInfo {
    A_u_long when;
    PF_Point screen_point;
    A_long num_clicks;
    PF_Modifiers modifiers;
    A_intptr_t continue_refcon[4];
    PF_Boolean send_drag;
    PF_Boolean last_time;
};

struct PF_DrawEventInfo {
    PF_Rect update_rect;
    A_long depth;
};

struct PF_KeyDownEvent {
    A_u_long when;
    PF_Point screen_point;
    A_long keycode;
    PF_Modifiers modifiers;
};

struct PF_AdjustCursorEventInfo {
    PF_Point screen_point;
    PF_Modifiers modifiers;
    PF_CursorType set_cursor;
};

union PF_EventUnion {
    PF_DoClickEventInfo do_click;
    PF_DrawEventInfo draw;
    PF_KeyDownEvent key_down;
    PF_AdjustCursorEventInfo adjust_cursor;
};

struct PF_EffectWindowInfo {
    PF_ParamIndex index;
    PF_EffectArea area;
    PF_Rect current_frame;
    PF_Rect param_title_frame;
    A_long horiz_offset;
};

// Coordinate conversions and info-palette drawing for custom UI (unused by Strandel).
struct PF_EventCallbacks {
    void* refcon;
    PF_Err (*layer_to_comp)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale, PF_FixedPoint* pt);
    PF_Err (*comp_to_layer)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale, PF_FixedPoint* pt);
    PF_Err (*get_comp2layer_xform)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                                   A_long* exists, PF_FloatMatrix* comp2layer);
    PF_Err (*get_layer2comp_xform)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                                   PF_FloatMatrix* layer2comp);
    PF_Err (*source_to_frame)(void* refcon, PF_ContextH context, PF_FixedPoint* pt);
    PF_Err (*frame_to_source)(void* refcon, PF_ContextH context, PF_FixedPoint* pt);
    PF_Err (*info_draw_color)(void* refcon, PF_Pixel color);
    PF_Err (*info_draw_text)(void* refcon, const A_char* text1, const A_char* text2);
};

struct PF_EventExtra {
    PF_ContextH contextH;
    PF_EventType e_type;
    PF_EventUnion u;
    PF_EffectWindowInfo effect_win;
    PF_EventCallbacks cbs;
    PF_EventInFlags evt_in_flags;
    PF_EventOutFlags evt_out_flags;
};

// ---- Arbitrary-data callbacks -------------------------------------------------------------

enum : PF_FunctionSelector {
    PF_Arbitrary_NEW_FUNC = 0,
    PF_Arbitrary_DISPOSE_FUNC = 1,
    PF_Arbitrary_COPY_FUNC = 2,
    PF_Arbitrary_FLAT_SIZE_FUNC = 3,
    PF_Arbitrary_FLATTEN_FUNC = 4,
    PF_Arbitrary_UNFLATTEN_FUNC = 5,
    PF_Arbitrary_INTERP_FUNC = 6,
    PF_Arbitrary_COMPARE_FUNC = 7,
    PF_Arbitrary_PRINT_SIZE_FUNC = 8,
    PF_Arbitrary_PRINT_FUNC = 9,
    PF_Arbitrary_SCAN_FUNC = 10,
};
enum : PF_ArbCompareResult {
    PF_ArbCompare_EQUAL = 0,
    PF_ArbCompare_LESS = 1,
    PF_ArbCompare_MORE = 2,
    PF_ArbCompare_NOT_EQUAL = 3,
};
enum : PF_ArbPrintFlags { PF_ArbPrint_NONE = 0, PF_ArbPrint_ABBREVIATED = 1 << 0 };

struct PF_ArbParamsExtra {
    PF_FunctionSelector which_function;
    A_short id;
    A_short padding;
    union {
        struct {
            void* refconPV;
            PF_ArbitraryH* arbPH;
        } new_func_params;
        struct {
            void* refconPV;
            PF_ArbitraryH arbH;
        } dispose_func_params;
        struct {
            void* refconPV;
            PF_ArbitraryH src_arbH;
            PF_ArbitraryH* dst_arbPH;
        } copy_func_params;
        struct {
            void* refconPV;
            PF_ArbitraryH arbH;
            A_u_long* flat_data_sizePLu;
        } flat_size_func_params;
        struct {
            void* refconPV;
            PF_ArbitraryH arbH;
            A_u_long buf_sizeLu;
            void* flat_dataPV;
        } flatten_func_params;
        struct {
            void* refconPV;
            A_u_long buf_sizeLu;
            const void* flat_dataPV;
            PF_ArbitraryH* arbPH;
        } unflatten_func_params;
        struct {
            void* refconPV;
            PF_ArbitraryH left_arbH;
            PF_ArbitraryH right_arbH;
            PF_FpLong tF;
            PF_ArbitraryH* interpPH;
        } interp_func_params;
        struct {
            void* refconPV;
            PF_ArbitraryH a_arbH;
            PF_ArbitraryH b_arbH;
            PF_ArbCompareResult* compareP;
        } compare_func_params;
        struct {
            void* refconPV;
            PF_ArbitraryH arbH;
            A_u_long* print_sizePLu;
        } print_size_func_params;
        struct {
            void* refconPV;
            PF_ArbPrintFlags print_flags;
            PF_ArbitraryH arbH;
            A_u_long print_sizeLu;
            A_char* print_bufferPC;
        } print_func_params;
        struct {
            void* refconPV;
            const A_char* bufPC;
            A_u_long bytes_to_scanLu;
            PF_ArbitraryH* arbPH;
        } scan_func_params;
    } u;
};

// ---- The two entry points a plug-in exports -----------------------------------------------

typedef PF_Err (*PF_EffectMainFunc)(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                    PF_LayerDef* output, void* extra);

typedef PF_Err (*PF_PluginDataCB2)(void* inPtr, const A_char* inNameZ, const A_char* inMatchNameZ,
                                   const A_char* inCategoryZ, const A_char* inEntryPointNameZ, A_long inKind,
                                   A_long inApiVersionMajor, A_long inApiVersionMinor, A_long inReservedInfo,
                                   const A_char* inSupportURLZ);

typedef PF_Err (*PF_PluginDataEntryFunc2)(void* inPtr, PF_PluginDataCB2 inPluginDataCallBackPtr,
                                          SPBasicSuite* inSPBasicSuitePtr, const char* inHostName,
                                          const char* inHostVersion);
