// Built only into strandel_probe, the copy of the plug-in that gpu_check renders scenes with: the
// shipped plug-in exports its three entry symbols and nothing else, so the processor that drew
// the last frame is not visible from outside it.
#include <cstdint>

#include "frame/GlobalState.h"
#include "frame/Platform.h"

STX_EXPORT uint32_t StrandelProbeDeviceState() { return static_cast<uint32_t>(strandel::ProcessingDeviceState()); }
