#include "frame/Registration.h"

#include <cstring>

namespace strandel {

PF_Err RegisterPlugin(void* host_ptr, PF_PluginDataCB2 callback)
{
    if (!callback) return PF_Err_BAD_CALLBACK_PARAM;
    return callback(host_ptr, kEffectName, kMatchName, kCategory, kEntryPointName,
                    static_cast<A_long>(kPluginKindEffect), kApiVersionMajor, kApiVersionMinor, kReservedInfo,
                    kSupportURL);
}

PF_Err WriteAbout(PF_OutData* out_data, const char* text)
{
    if (!out_data) return PF_Err_BAD_CALLBACK_PARAM;
    constexpr std::size_t kField = sizeof(out_data->return_msg);
    std::strncpy(out_data->return_msg, text, kField - 1);
    // Hosts read the field as a C string of at most 254 characters.
    out_data->return_msg[kField - 2] = '\0';
    return PF_Err_NONE;
}

} // namespace strandel
