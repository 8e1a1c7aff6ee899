#include "host/HostError.h"

#include "AE_Effect.h"

namespace strandel::host {

std::string ErrorName(int err)
{
    const char* name = nullptr;
    switch (err) {
    case PF_Err_NONE: name = "PF_Err_NONE"; break;
    case PF_Err_OUT_OF_MEMORY: name = "PF_Err_OUT_OF_MEMORY"; break;
    case PF_Err_INTERNAL_STRUCT_DAMAGED: name = "PF_Err_INTERNAL_STRUCT_DAMAGED"; break;
    case PF_Err_INVALID_INDEX: name = "PF_Err_INVALID_INDEX"; break;
    case PF_Err_UNRECOGNIZED_PARAM_TYPE: name = "PF_Err_UNRECOGNIZED_PARAM_TYPE"; break;
    case PF_Err_INVALID_CALLBACK: name = "PF_Err_INVALID_CALLBACK"; break;
    case PF_Err_BAD_CALLBACK_PARAM: name = "PF_Err_BAD_CALLBACK_PARAM"; break;
    case PF_Interrupt_CANCEL: name = "PF_Interrupt_CANCEL"; break;
    case PF_Err_CANNOT_PARSE_KEYFRAME_TEXT: name = "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT"; break;
    default: return "error " + std::to_string(err);
    }
    return std::string(name) + " (" + std::to_string(err) + ")";
}

} // namespace strandel::host
