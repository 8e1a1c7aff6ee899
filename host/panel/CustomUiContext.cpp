#include "host/panel/CustomUiContext.h"

namespace strandel::host {
namespace {
constexpr A_u_long kContextMagic = AEFourCC('c', 'u', 'i', 'c');
} // namespace

CustomUiContext::CustomUiContext()
{
    record_.magic = kContextMagic;
    record_.w_type = PF_Window_EFFECT;
    record_.reserved_paneP = this; // how the host finds itself again behind a handle
}

CustomUiContext* CustomUiContext::From(PF_ContextH handle)
{
    if (!handle || !*handle || (*handle)->magic != kContextMagic) return nullptr;
    return static_cast<CustomUiContext*>((*handle)->reserved_paneP);
}

} // namespace strandel::host
