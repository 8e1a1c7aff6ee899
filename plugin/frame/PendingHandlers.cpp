// Commands whose handlers are still being built answer success and change nothing.
// Each line goes away when its real handler lands.
#include "curves/CurveEditor.h"
#include "frame/ParamUI.h"
#include "layout/IdleWatcher.h"

namespace strandel {

PF_Err CurveEditorEvent(PF_InData*, PF_ParamDef*[], PF_EventExtra*) { return PF_Err_NONE; }
PF_Err DrawProcessingDeviceRow(PF_InData*, PF_ParamDef*[], PF_EventExtra*) { return PF_Err_NONE; }
PF_Err UpdateParamsUI(PF_InData*, PF_OutData*, PF_ParamDef*[]) { return PF_Err_NONE; }
PF_Err UserChangedParam(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_UserChangedParamExtra*) { return PF_Err_NONE; }
A_Err IdleWatcher(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*) { return A_Err_NONE; }

} // namespace strandel
