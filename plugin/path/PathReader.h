// Reads the Path Layer's position keyframes from the host, and fingerprints them so an idle-time
// watcher can notice edits the host does not report to the effect.
#pragma once
#include <cstdint>
#include <vector>

#include "AE_GeneralPlug.h"
#include "frame/SuiteCache.h"
#include "path/PathTypes.h"

namespace strandel {

AEGP_CompH GetEffectComp(const PF_InData* in_data, SuiteCache& suites);
// The layer this instance's layer parameter points to at the comp time, or null.
AEGP_LayerH GetLayerFromLayerParam(const PF_InData* in_data, SuiteCache& suites, PF_ParamIndex index,
                                   const A_Time& compTime);

struct LayerParamLookup {
    AEGP_LayerH layer = nullptr;
    AEGP_LayerIDVal layerId = 0; // reported whenever it was read
    bool ok = false;
};
// The same lookup for callers holding a comp and some instance's effect handle.
LayerParamLookup GetLayerFromLayerParam(SuiteCache& suites, AEGP_CompH comp, AEGP_EffectRefH effect,
                                        PF_ParamIndex index, const A_Time& compTime);

// True when the path can be used: at least two keyframes read without error.
bool ReadPathKeyframes(const PF_InData* in_data, SuiteCache& suites, const A_Time& compTime,
                       std::vector<PathKeyframe>& keys);

bool ComputePathSignature(SuiteCache& suites, AEGP_LayerH layer, AEGP_LayerIDVal layerId, uint64_t& signature);

} // namespace strandel
