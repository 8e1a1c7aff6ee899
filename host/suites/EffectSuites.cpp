// PF suites that do not depend on a project: rerender requests, window refreshes and pixel-format
// declarations.
#include "AE_EffectSuites.h"
#include "host/Host.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

PF_Err ForceRerender(PF_InData* in_data, PF_EffectWorld* world)
{
    if (!in_data || !world) return PF_Err_BAD_CALLBACK_PARAM;
    ++Host::Current().log().forcedRerenders;
    return PF_Err_NONE;
}

PF_Err TouchActiveItem()
{
    ++Host::Current().log().touchedActiveItem;
    return PF_Err_NONE;
}

PF_Err RefreshAllWindows()
{
    ++Host::Current().log().refreshedWindows;
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

const PF_AdvItemSuite1 kAdvItemSuite = [] {
    auto suite = TableOfTraps<PF_AdvItemSuite1>();
    suite.PF_ForceRerender = ForceRerender;
    suite.PF_TouchActiveItem = TouchActiveItem;
    return suite;
}();
const PF_AdvAppSuite2 kAdvAppSuite = [] {
    auto suite = TableOfTraps<PF_AdvAppSuite2>();
    suite.PF_RefreshAllWindows = RefreshAllWindows;
    return suite;
}();
const PF_PixelFormatSuite2 kPixelFormatSuite = [] {
    auto suite = TableOfTraps<PF_PixelFormatSuite2>();
    suite.PF_AddSupportedPixelFormat = AddSupportedPixelFormat;
    suite.PF_ClearSupportedPixelFormats = ClearSupportedPixelFormats;
    return suite;
}();

} // namespace

void RegisterEffectSuites(SuiteRegistry& registry)
{
    registry.Serve(kAdvItemSuite);
    registry.Serve(kAdvAppSuite);
    registry.Serve(kPixelFormatSuite);
}

} // namespace strandel::host
