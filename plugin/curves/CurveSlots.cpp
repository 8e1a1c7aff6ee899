#include <cstring>

#include "curves/CurveParams.h"
#include "frame/ParamIndex.h"

namespace strandel {
namespace {

struct CurveSlot {
    PF_ParamIndex editor;
    PF_ParamIndex data;
};

// The five first slots follow the "Curve" popup until they are edited.
constexpr CurveSlot kCurveSlots[] = {
    {kParamRampRotationXCurve, kParamRampRotationXCurveData},
    {kParamRampRotationYCurve, kParamRampRotationYCurveData},
    {kParamRampRotationZCurve, kParamRampRotationZCurveData},
    {kParamRampScaleCurve, kParamRampScaleCurveData},
    {kParamRampOpacityCurve, kParamRampOpacityCurveData},
    {kParamRampTimeOffsetCurve, kParamRampTimeOffsetCurveData},
    {kParamGradientRotationXCurve, kParamGradientRotationXCurveData},
    {kParamGradientRotationYCurve, kParamGradientRotationYCurveData},
    {kParamGradientRotationZCurve, kParamGradientRotationZCurveData},
    {kParamGradientScaleCurve, kParamGradientScaleCurveData},
    {kParamGradientOpacityCurve, kParamGradientOpacityCurveData},
    {kParamGradientTimeOffsetCurve, kParamGradientTimeOffsetCurveData},
};
constexpr int kPopupFollowingSlots = 5;

const CurveSlot* FindSlot(PF_ParamIndex editorIndex)
{
    for (const CurveSlot& slot : kCurveSlots) {
        if (slot.editor == editorIndex) return &slot;
    }
    return nullptr;
}

bool FollowsPopup(const CurveSlot* slot) { return slot && slot < kCurveSlots + kPopupFollowingSlots; }

bool CanWriteHandles(const PF_UtilCallbacks* u)
{
    return u && u->host_lock_handle && u->host_unlock_handle && u->host_get_handle_size && u->host_resize_handle;
}

} // namespace

bool IsCurveEditorParam(PF_ParamIndex index) { return FindSlot(index) != nullptr; }

PF_ParamDef* CurveDataParamFor(PF_ParamDef* const* params, PF_ParamIndex editorIndex)
{
    const CurveSlot* slot = FindSlot(editorIndex);
    return slot && params ? params[slot->data] : nullptr;
}

RampCurve ReadCurveParam(const PF_InData* in_data, const PF_ParamDef* curveData)
{
    if (!curveData) return MakeDefaultCurve(false);
    return ReadCurveHandle(in_data, curveData->u.arb_d.value).curve;
}

PF_Err WriteCurveParam(const PF_InData* in_data, PF_ParamDef* curveData, const RampCurve& curve, bool markChanged)
{
    const PF_UtilCallbacks* utils = in_data ? in_data->utils : nullptr;
    if (!CanWriteHandles(utils) || !curveData) return PF_Err_BAD_CALLBACK_PARAM;
    RampCurve repaired = curve;
    NormalizeCurve(repaired);
    PF_Handle& handle = curveData->u.arb_d.value;
    if (!handle) {
        if (PF_Err err = NewCurveHandle(in_data, repaired, &handle)) return err;
    } else if (utils->host_get_handle_size(handle) != kCurveRecordSize) {
        if (PF_Err err = utils->host_resize_handle(kCurveRecordSize, &handle)) return err;
    }
    void* bytes = utils->host_lock_handle(handle);
    if (!bytes) return PF_Err_OUT_OF_MEMORY;
    std::memcpy(bytes, &repaired, kCurveRecordSize);
    utils->host_unlock_handle(handle);
    if (markChanged) curveData->uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
    return PF_Err_NONE;
}

RampCurve ResolveRampCurve(const PF_InData* in_data, PF_ParamDef* const* params, PF_ParamIndex editorIndex, int shape)
{
    const RampCurve stored = ReadCurveParam(in_data, CurveDataParamFor(params, editorIndex));
    // Whatever shape a caller passes, only the ramp slots that follow the popup take it.
    if (shape != kShapeLinear && !stored.Edited() && FollowsPopup(FindSlot(editorIndex))) {
        return MakeShapeCurve(shape, false);
    }
    return stored;
}

PF_Err CommitCurvePreset(const PF_InData* in_data, PF_ParamDef* const* params)
{
    PF_ParamDef* popup = params ? params[kParamRampShape] : nullptr;
    if (!popup) return PF_Err_BAD_CALLBACK_PARAM;
    const int shape = popup->u.pd.value;
    if (shape < kShapeEaseIn || shape > kShapeEaseInOut) return PF_Err_NONE;

    const RampCurve preset = MakeShapeCurve(shape, true);
    PF_Err first = PF_Err_NONE;
    for (int i = 0; i < kPopupFollowingSlots; ++i) {
        PF_ParamDef* data = params[kCurveSlots[i].data];
        if (ReadCurveParam(in_data, data).Edited()) continue;
        const PF_Err err = WriteCurveParam(in_data, data, preset, true);
        if (!first) first = err;
    }
    popup->u.pd.value = kShapeLinear;
    popup->uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
    return first;
}

PF_Err MarkCurveEdited(const PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* const* params,
                       PF_ParamIndex editorIndex)
{
    PF_ParamDef* data = CurveDataParamFor(params, editorIndex);
    if (!data) return PF_Err_BAD_CALLBACK_PARAM;
    // Commit before reading: an unedited ramp slot then keeps the preset it was showing.
    const PF_Err commitErr = CommitCurvePreset(in_data, params);
    RampCurve curve = ReadCurveParam(in_data, data);
    curve.flags |= 1u;
    const PF_Err writeErr = WriteCurveParam(in_data, data, curve, true);
    if (out_data) out_data->out_flags |= PF_OutFlag_REFRESH_UI;
    return commitErr ? commitErr : writeErr;
}

} // namespace strandel
