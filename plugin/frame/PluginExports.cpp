// The three symbols the host looks up in the plug-in binary.
#include <cstdint>

#include "frame/Dispatch.h"
#include "frame/Platform.h"
#include "frame/Registration.h"

STX_EXPORT PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                             PF_LayerDef* output, void* extra)
{
    return strandel::DispatchCommand(cmd, in_data, out_data, params, output, extra);
}

STX_EXPORT PF_Err PluginDataEntryFunction2(void* host_ptr, PF_PluginDataCB2 callback, SPBasicSuite*, const char*,
                                           const char*)
{
    return strandel::RegisterPlugin(host_ptr, callback);
}

// Asks hybrid-graphics drivers to run CUDA work on the discrete NVIDIA GPU.
extern "C" {
STX_EXPORT_DATA int32_t NvOptimusEnablementCuda = 1;
}
