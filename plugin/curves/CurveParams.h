// Curves as the host stores them: handles in the hidden curve-data parameters, the editor rows
// that own them, and the host's arbitrary-data callbacks.
#pragma once
#include "AE_Effect.h"
#include "curves/CurveModel.h"

namespace strandel {

struct CurveRead {
    RampCurve curve;
    bool ok;
};
CurveRead ReadCurveHandle(const PF_InData* in_data, PF_Handle handle);
PF_Err NewCurveHandle(const PF_InData* in_data, const RampCurve& curve, PF_Handle* out_handle);

// Curve slots: each curve editor row owns one hidden curve-data parameter.
bool IsCurveEditorParam(PF_ParamIndex index);
// Null for anything but an editor row, or when the array is missing.
PF_ParamDef* CurveDataParamFor(PF_ParamDef* const* params, PF_ParamIndex editorIndex);

// The default curve (edited 0) when the parameter or its handle is missing or too small.
RampCurve ReadCurveParam(const PF_InData* in_data, const PF_ParamDef* curveData);
PF_Err WriteCurveParam(const PF_InData* in_data, PF_ParamDef* curveData, const RampCurve& curve, bool markChanged);
// The slot's stored curve, or the popup's shape while one of the five popup-following ramp slots
// has never been edited.
RampCurve ResolveRampCurve(const PF_InData* in_data, PF_ParamDef* const* params, PF_ParamIndex editorIndex, int shape);
// Makes a popup shape permanent in the unedited ramp curves and sets the popup back to Linear.
PF_Err CommitCurvePreset(const PF_InData* in_data, PF_ParamDef* const* params);
PF_Err MarkCurveEdited(const PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* const* params,
                       PF_ParamIndex editorIndex);

PF_Err CurveArbCallback(PF_InData* in_data, PF_ArbParamsExtra* extra);

} // namespace strandel
