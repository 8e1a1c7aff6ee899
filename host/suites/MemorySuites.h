// The host's AEGP memory handles, as the Memory suite serves them and as the host itself hands
// results to the plug-in.
#pragma once
#include <string_view>

#include "AE_GeneralPlug.h"

namespace strandel::host {

// A new handle holding the text and a terminating NUL; the plug-in frees it.
AEGP_MemHandle NewTextMemHandle(std::string_view text);

} // namespace strandel::host
