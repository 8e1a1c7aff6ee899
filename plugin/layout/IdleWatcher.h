// Notices Path Layer edits the host does not report to the effect and asks instances to rerender.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "AE_GeneralPlug.h"

namespace strandel {

struct WatchedEffect {
    int32_t layerId;
    int32_t effectIndex;
    uint64_t signature;
};

struct WatcherState {
    std::vector<WatchedEffect> watched;
    AEGP_ItemH lastItem = nullptr;
    bool haveItem = false;
    AEGP_TimeStamp lastStamp{};
    bool haveStamp = false;
    // Read by the wake-up thread to pick its cadence.
    std::atomic<bool> found{true};
    bool rescan = true;
    int32_t pulse = 0;
};

WatcherState& Watcher();
// Called when the wake-up thread starts: rescan at once, forget the last item and stamp.
void ResetWatcherForWakeUp();
// Global setdown: the list is emptied but keeps its storage.
void ClearWatchedList();

A_Err IdleWatcher(AEGP_GlobalRefcon global_refcon, AEGP_IdleRefcon idle_refcon, A_long* max_sleep);

} // namespace strandel
