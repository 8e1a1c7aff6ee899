// PF suites that do not depend on a project: rerender requests and pixel-format declarations.
#include "AE_EffectSuites.h"
#include "host/Host.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

PF_Err ForceRerender(PF_InData* in_data, PF_EffectWorld* world)
{
    if (!in_data || !world) return PF_Err_BAD_CALLBACK_PARAM;
    ++Host::Current().log().forcedRerenders;
    return PF_Err_NONE;
}

PF_Err TouchActiveItem(PF_ProgPtr)
{
    ++Host::Current().log().touchedActiveItem;
    return PF_Err_NONE;
}

PF_Err AddSupportedPixelFormat(PF_ProgPtr, PF_PixelFormat format)
{
    Host::Current().log().supportedPixelFormats.push_back(format);
    return PF_Err_NONE;
}

PF_Err ClearSupportedPixelFormats(PF_ProgPtr)
{
    Host::Current().log().supportedPixelFormats.clear();
    return PF_Err_NONE;
}

const PF_AdvItemSuite1 kAdvItemSuite = {ForceRerender, TouchActiveItem};
const PF_PixelFormatSuite2 kPixelFormatSuite = {AddSupportedPixelFormat, ClearSupportedPixelFormats};

} // namespace

void RegisterEffectSuites(SuiteRegistry& registry)
{
    registry.Add(kPFAdvItemSuite, kPFAdvItemSuiteVersion1, &kAdvItemSuite);
    registry.Add(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion2, &kPixelFormatSuite);
}

} // namespace strandel::host
