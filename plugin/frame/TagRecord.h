// Two process-wide tags whose addresses mark the plug-in's own calls: the rerender request it
// sends its instances, and the refcon of its curve parameters.
#pragma once
#include <cstdint>

namespace strandel {

struct TagRecord {
    uint32_t rerender; // 'W8RP'
    uint32_t curveParam; // 'W8RC'
};

extern TagRecord gTagRecord;

inline void* RerenderToken() { return &gTagRecord.rerender; }
inline void* CurveParamRefcon() { return &gTagRecord.curveParam; }

} // namespace strandel
