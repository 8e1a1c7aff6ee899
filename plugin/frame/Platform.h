// The few places where Windows and Linux differ for the plug-in.
#pragma once

#if defined(_WIN32)
#define STX_EXPORT_DATA __declspec(dllexport)
#else
#define STX_EXPORT_DATA __attribute__((visibility("default")))
#endif
#define STX_EXPORT extern "C" STX_EXPORT_DATA
