#include "frame/GlobalState.h"

namespace strandel {
namespace detail {
std::atomic<AEGP_PluginID> gPluginId{0};
std::atomic<const SPBasicSuite*> gSavedBasicSuite{nullptr};
} // namespace detail

namespace {
// Written by render threads and the UI thread without ordering: a stale value only affects a label.
std::atomic<uint32_t> gDeviceState{0};
std::atomic<uint64_t> gChangeCounter{0};
} // namespace

uint64_t ChangeCounter() { return gChangeCounter.load(); }
void BumpChangeCounter() { gChangeCounter.fetch_add(1); }

AEGP_PluginID PluginId() { return detail::gPluginId.load(std::memory_order_relaxed); }
const SPBasicSuite* SavedBasicSuite() { return detail::gSavedBasicSuite.load(std::memory_order_relaxed); }

ProcessingDevice ProcessingDeviceState()
{
    uint32_t v = gDeviceState.load(std::memory_order_relaxed);
    return v <= 3 ? static_cast<ProcessingDevice>(v) : ProcessingDevice::Unknown;
}

void SetProcessingDeviceState(uint32_t value) { gDeviceState.store(value, std::memory_order_relaxed); }

const char* ProcessingDeviceLabel(uint32_t value)
{
    switch (value) {
    case 1: return "CPU";
    case 2: return "GPU";
    case 3: return "CPU (fallback)";
    default: return "Unknown";
    }
}

} // namespace strandel
