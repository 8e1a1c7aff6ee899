// Who the plug-in is: registration facts shared by the entry point, the PiPL resource and
// global setup, so the three can never disagree.
#pragma once
#include <cstdint>

#include "AE_Effect.h"

namespace strandel {

// Four-character code with the first character in the most significant byte.
constexpr uint32_t FourCharCode(const char (&s)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 8 | static_cast<uint32_t>(static_cast<uint8_t>(s[3]));
}

constexpr const char* kEffectName = "Strandel";
constexpr const char* kMatchName = "Brimwick_Strandel";
constexpr const char* kCategory = "Brimwick";
constexpr const char* kEntryPointName = "EffectMain";
constexpr const char* kSupportURL = "https://support.brimwick.com/k_strandel";
constexpr uint32_t kPluginKindEffect = FourCharCode("eFKT");
constexpr A_long kApiVersionMajor = 13;
constexpr A_long kApiVersionMinor = 29;
constexpr A_long kReservedInfo = 8;
constexpr uint32_t kVideoEditorAppId = FourCharCode("PrMr");

// Version 0.5, build 38: build in bits 0-8, stage 9-10, bug-fix 11-14, sub-version 15-18, major 19-21.
constexpr A_u_long PackEffectVersion(unsigned major, unsigned minor, unsigned bugfix, unsigned stage, unsigned build)
{
    return (major << 19) | (minor << 15) | (bugfix << 11) | (stage << 9) | build;
}
constexpr A_u_long kEffectVersion = PackEffectVersion(0, 5, 0, 0, 38);
static_assert(kEffectVersion == 0x00028026);

constexpr PF_OutFlags kOutFlags = PF_OutFlag_CUSTOM_UI | PF_OutFlag_DEEP_COLOR_AWARE | PF_OutFlag_SEND_UPDATE_PARAMS_UI;
constexpr PF_OutFlags2 kOutFlags2 = PF_OutFlag2_I_USE_3D_CAMERA | PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG |
                                    PF_OutFlag2_SUPPORTS_SMART_RENDER | PF_OutFlag2_FLOAT_COLOR_AWARE |
                                    PF_OutFlag2_AUTOMATIC_WIDE_TIME_INPUT | PF_OutFlag2_I_MIX_GUID_DEPENDENCIES |
                                    PF_OutFlag2_SUPPORTS_THREADED_RENDERING;
static_assert(kOutFlags == 0x06008000 && kOutFlags2 == 0x0822140A);

constexpr const char* kAboutText = "Strandel v0.5\rCPU/CUDA path sprite array renderer.";

PF_Err RegisterPlugin(void* host_ptr, PF_PluginDataCB2 callback);
// Copies `text` into the return message: at most 254 characters survive, always terminated.
PF_Err WriteAbout(PF_OutData* out_data, const char* text = kAboutText);

} // namespace strandel
