// PF suites of the effect panel: row names and flags (PF_UpdateParamUI), redraw requests and
// the drawing lent to a custom row.
#include "AE_EffectSuites.h"
#include "host/panel/CustomUiContext.h"
#include "host/suites/ProjectHandles.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

PF_Err UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex index, const PF_ParamDef* def)
{
    EffectInstance* fx = InstanceOf(effect_ref);
    if (!fx || !def) return PF_Err_BAD_CALLBACK_PARAM;
    return fx->UpdateParamUI(index, *def);
}

PF_Err InvalidateRect(PF_ContextH handle, const PF_Rect* rect)
{
    CustomUiContext* context = CustomUiContext::From(handle);
    if (!context) return PF_Err_BAD_CALLBACK_PARAM;
    // A null rectangle asks for the whole window.
    context->invalidated.push_back(rect ? *rect : PF_Rect{});
    return PF_Err_NONE;
}

PF_Err GetDrawingReference(PF_ContextH handle, DRAWBOT_DrawRef* drawing)
{
    CustomUiContext* context = CustomUiContext::From(handle);
    if (!context || !drawing) return PF_Err_BAD_CALLBACK_PARAM;
    *drawing = context->drawing;
    return PF_Err_NONE;
}

const PF_ParamUtilsSuite3 kParamUtilsSuite = [] {
    auto suite = TableOfTraps<PF_ParamUtilsSuite3>();
    suite.PF_UpdateParamUI = UpdateParamUI;
    return suite;
}();
const PFAppSuite4 kAppSuite = [] {
    auto suite = TableOfTraps<PFAppSuite4>();
    suite.PF_InvalidateRect = InvalidateRect;
    return suite;
}();
const PF_EffectCustomUISuite1 kCustomUiSuite = [] {
    auto suite = TableOfTraps<PF_EffectCustomUISuite1>();
    suite.PF_GetDrawingReference = GetDrawingReference;
    return suite;
}();

} // namespace

void RegisterPanelSuites(SuiteRegistry& registry)
{
    registry.Serve(kParamUtilsSuite);
    registry.Serve(kAppSuite);
    registry.Serve(kCustomUiSuite);
}

} // namespace strandel::host
