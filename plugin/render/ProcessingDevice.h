// Which processor drew a frame; the effect panel shows it and the host's probe reads it.
#pragma once
#include <cstdint>

namespace strandel {

enum class ProcessingDevice : uint32_t { Unknown = 0, Cpu = 1, Gpu = 2, CpuFallback = 3 };

} // namespace strandel
