// Gathers how the comp is seen this frame into a CameraInfo; whatever the host cannot give
// falls back to a default view down the world Z axis at the comp's centre.
#pragma once
#include "AE_GeneralPlug.h"
#include "frame/SuiteCache.h"
#include "path/CameraInfo.h"

namespace strandel {

CameraInfo ReadCompCamera(const PF_InData* in_data, SuiteCache& suites, const A_Time& compTime,
                          const PF_LayerDef& output);

} // namespace strandel
