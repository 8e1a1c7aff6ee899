#include "layout/IdleWatcher.h"

#include <cstring>

#include "frame/GlobalState.h"
#include "frame/ParamIndex.h"
#include "frame/Registration.h"
#include "frame/SuiteCache.h"
#include "frame/TagRecord.h"
#include "path/PathReader.h"

namespace strandel {
namespace {

// The host's match names hold 48 bytes with their NUL.
constexpr std::size_t kMatchNameBytes = 48;

struct ScanResult {
    bool complete = true;
    bool anyFound = false;
    bool anyRequest = false;
    bool counted = false;
};

// An effect handle from the scan, disposed on every path; a failed disposal makes the scan incomplete.
class ScannedEffect {
public:
    ScannedEffect(const AEGP_EffectSuite5& effects, ScanResult& scan) : effects_(effects), scan_(scan) {}
    ~ScannedEffect()
    {
        if (handle && effects_.AEGP_DisposeEffect(handle) != A_Err_NONE) scan_.complete = false;
    }
    ScannedEffect(const ScannedEffect&) = delete;
    ScannedEffect& operator=(const ScannedEffect&) = delete;
    AEGP_EffectRefH handle = nullptr;

private:
    const AEGP_EffectSuite5& effects_;
    ScanResult& scan_;
};

class Scan {
public:
    Scan(SuiteCache& suites, WatcherState& watcher)
        : suites_(suites), watcher_(watcher), effects_(suites.Get<AEGP_EffectSuite5>())
    {
    }

    ScanResult Run(AEGP_ItemH item)
    {
        if (!item) return result_;
        const auto& items = suites_.Get<AEGP_ItemSuite6>();
        AEGP_ItemType type = AEGP_ItemType_NONE;
        if (items.AEGP_GetItemType(item, &type) != A_Err_NONE) return Incomplete();
        if (type != AEGP_ItemType_COMP) return result_;
        const auto& layers = suites_.Get<AEGP_LayerSuite5>();
        AEGP_CompH comp = nullptr;
        A_Time time{};
        A_long layerCount = 0;
        if (suites_.Get<AEGP_CompSuite12>().AEGP_GetCompFromItem(item, &comp) != A_Err_NONE || !comp ||
            items.AEGP_GetItemCurrentTime(item, &time) != A_Err_NONE ||
            layers.AEGP_GetCompNumLayers(comp, &layerCount) != A_Err_NONE)
            return Incomplete();
        for (A_long i = 0; i < layerCount; ++i) {
            AEGP_LayerH layer = nullptr;
            AEGP_LayerIDVal layerId = 0;
            A_long effectCount = 0;
            if (layers.AEGP_GetCompLayerByIndex(comp, i, &layer) != A_Err_NONE || !layer ||
                layers.AEGP_GetLayerID(layer, &layerId) != A_Err_NONE ||
                effects_.AEGP_GetLayerNumEffects(layer, &effectCount) != A_Err_NONE) {
                result_.complete = false;
                continue;
            }
            for (A_long j = 0; j < effectCount; ++j) VisitEffect(comp, layer, static_cast<int32_t>(layerId), j, time);
        }
        return result_;
    }

private:
    ScanResult Incomplete()
    {
        result_.complete = false;
        return result_;
    }

    void VisitEffect(AEGP_CompH comp, AEGP_LayerH layer, int32_t layerId, A_long index, const A_Time& time)
    {
        ScannedEffect effect(effects_, result_);
        if (effects_.AEGP_GetLayerEffectByIndex(PluginId(), layer, index, &effect.handle) != A_Err_NONE ||
            !effect.handle) {
            result_.complete = false;
            return;
        }
        AEGP_InstalledEffectKey key = 0;
        char matchName[kMatchNameBytes] = {};
        if (effects_.AEGP_GetInstalledKeyFromLayerEffect(effect.handle, &key) != A_Err_NONE ||
            effects_.AEGP_GetEffectMatchName(key, matchName) != A_Err_NONE || std::strcmp(matchName, kMatchName) != 0)
            return;
        result_.anyFound = true;
        const LayerParamLookup path = GetLayerFromLayerParam(suites_, comp, effect.handle, kParamPathLayer, time);
        if (!path.layer) return;
        uint64_t signature = 0;
        if (!ComputePathSignature(suites_, path.layer, path.layerId, signature)) {
            result_.complete = false;
            return;
        }
        WatchedEffect* seen = nullptr;
        for (WatchedEffect& w : watcher_.watched)
            if (w.layerId == layerId && w.effectIndex == index) seen = &w;
        if (seen && seen->signature == signature) return;
        // One step of the counter per scan, however many instances changed in it.
        if (!result_.counted) {
            BumpChangeCounter();
            result_.counted = true;
        }
        result_.anyRequest = true;
        if (effects_.AEGP_EffectCallGeneric(PluginId(), effect.handle, &time, PF_Cmd_COMPLETELY_GENERAL,
                                            RerenderToken()) != A_Err_NONE) {
            result_.complete = false; // the old signature stays, so the next scan asks again
            return;
        }
        if (seen) seen->signature = signature;
        else watcher_.watched.push_back({layerId, static_cast<int32_t>(index), signature});
    }

    SuiteCache& suites_;
    WatcherState& watcher_;
    const AEGP_EffectSuite5& effects_;
    ScanResult result_;
};

void Watch(SuiteCache& suites, WatcherState& w, A_long* max_sleep)
{
    AEGP_ItemH item = nullptr;
    if (suites.Get<AEGP_ItemSuite6>().AEGP_GetActiveItem(&item) != A_Err_NONE) {
        w.rescan = true;
        return;
    }
    const bool itemChanged = !w.haveItem || item != w.lastItem;
    AEGP_TimeStamp stamp{};
    const bool stampRead = suites.Get<AEGP_RenderSuite5>().AEGP_GetCurrentTimestamp(&stamp) == A_Err_NONE;
    const bool stampChanged = !stampRead || !w.haveStamp || std::memcmp(stamp.a, w.lastStamp.a, sizeof stamp.a) != 0;
    bool pulsed = false;
    if (w.found.load(std::memory_order_relaxed)) {
        ++w.pulse;
        pulsed = w.pulse % 2 == 0;
    } else {
        w.pulse = 0;
    }
    if (!itemChanged && !stampChanged && !w.rescan && !pulsed) return;

    const ScanResult scan = Scan(suites, w).Run(item);
    w.found.store(scan.anyFound, std::memory_order_relaxed);
    w.rescan = !scan.complete;
    if (scan.complete) {
        w.lastItem = item;
        w.haveItem = true;
        if (stampRead) {
            w.lastStamp = stamp;
            w.haveStamp = true;
        }
    }
    if (scan.anyRequest) {
        suites.Get<PF_AdvItemSuite1>().PF_TouchActiveItem();
        suites.Get<PF_AdvAppSuite2>().PF_RefreshAllWindows();
        if (max_sleep) *max_sleep = 0;
    }
}

} // namespace

A_Err IdleWatcher(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long* max_sleep)
{
    if (max_sleep) *max_sleep = 1;
    const SPBasicSuite* basic = SavedBasicSuite();
    if (PluginId() == 0 || !basic) return A_Err_NONE;
    WatcherState& w = Watcher();
    try {
        SuiteCache suites(basic);
        Watch(suites, w, max_sleep);
    } catch (...) {
        // A suite the host could not supply: nothing reaches the host, the next idle call scans again.
        w.rescan = true;
    }
    return A_Err_NONE;
}

} // namespace strandel
