// The little process-wide state the plug-in keeps. Render threads only read the basic suite
// and plug-in ID and write the device state; everything else belongs to the UI thread.
#pragma once
#include <atomic>
#include <cstdint>

#include "AE_GeneralPlug.h"
#include "render/ProcessingDevice.h"

namespace strandel {

AEGP_PluginID PluginId();
const SPBasicSuite* SavedBasicSuite();

// Which processor drew the last frame.
ProcessingDevice ProcessingDeviceState();
void SetProcessingDeviceState(uint32_t value);
const char* ProcessingDeviceLabel(uint32_t value);

// Bumped when a watched path changes; mixed into the host's render cache key.
uint64_t ChangeCounter();
void BumpChangeCounter();

namespace detail {
extern std::atomic<AEGP_PluginID> gPluginId;
extern std::atomic<const SPBasicSuite*> gSavedBasicSuite;
} // namespace detail

} // namespace strandel
