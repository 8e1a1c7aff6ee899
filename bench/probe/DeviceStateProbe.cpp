// Built only into strandel_probe, the copy of the plug-in that gpu_check and the GPU tests render
// scenes with: the shipped plug-in exports its three entry symbols and nothing else, so the
// processor that drew the last frame is not visible from outside it.
#include <cstdint>
#include <cstdio>

#include "frame/GlobalState.h"
#include "frame/Platform.h"

STX_EXPORT uint32_t StrandelProbeDeviceState() { return static_cast<uint32_t>(strandel::ProcessingDeviceState()); }

namespace {

// For hosts that cannot call the export, such as the strandel command: the state is printed when
// the plug-in is unloaded.
struct ReportWhenUnloaded {
    ~ReportWhenUnloaded() { std::fprintf(stderr, "strandel probe: device state %u\n", StrandelProbeDeviceState()); }
} gReportWhenUnloaded;

} // namespace
