#include "layout/IdleWatcher.h"

namespace strandel {

WatcherState& Watcher()
{
    static WatcherState state;
    return state;
}

void ResetWatcherForWakeUp()
{
    WatcherState& w = Watcher();
    w.found.store(true, std::memory_order_relaxed);
    w.rescan = true;
    w.haveItem = false;
    w.haveStamp = false;
    w.pulse = 0;
}

void ClearWatchedList() { Watcher().watched.clear(); }

} // namespace strandel
