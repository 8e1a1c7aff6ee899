// Filling RenderSettings from parameter records: from the host's array, or by checking out.
#include <array>

#include "curves/CurveParams.h"
#include "frame/ParamIndex.h"
#include "frame/RenderSettingsBuild.h"

namespace strandel {
namespace {

constexpr double kFixedToDegrees = 1.52587890625e-5; // 1 / 65536

class ParamReader {
public:
    explicit ParamReader(PF_ParamDef* const* params) : params_(params) {}

    template <class Choice>
    void Popup(PF_ParamIndex i, Choice& out) const
    {
        if (auto p = At(i)) out = static_cast<Choice>(p->u.pd.value);
    }
    void Checkbox(PF_ParamIndex i, bool& out) const
    {
        if (auto p = At(i)) out = p->u.bd.value != 0;
    }
    template <class Int>
    void Slider(PF_ParamIndex i, Int& out) const
    {
        if (auto p = At(i)) out = static_cast<Int>(p->u.sd.value);
    }
    void Float(PF_ParamIndex i, double& out) const
    {
        if (auto p = At(i)) out = p->u.fs_d.value;
    }
    void Angle(PF_ParamIndex i, double& out) const
    {
        if (auto p = At(i)) out = p->u.ad.value * kFixedToDegrees;
    }
    void Angles(PF_ParamIndex x, PF_ParamIndex y, PF_ParamIndex z, Vec3& out) const
    {
        Angle(x, out.x);
        Angle(y, out.y);
        Angle(z, out.z);
    }
    void Point(PF_ParamIndex i, Vec3& out) const
    {
        if (auto p = At(i)) out = {p->u.point3d_d.x_value, p->u.point3d_d.y_value, p->u.point3d_d.z_value};
    }
    const PF_ParamDef* At(PF_ParamIndex i) const { return params_ ? params_[i] : nullptr; }

private:
    PF_ParamDef* const* params_;
};

int32_t RampShapeFrom(const ParamReader& r)
{
    const PF_ParamDef* p = r.At(kParamRampShape);
    int32_t v = p ? p->u.pd.value : 1;
    return v >= 1 && v <= 4 ? v : 1;
}

// Checked out by smart pre-render, in this order; check-in walks it backwards.
constexpr std::array<PF_ParamIndex, 64> kCheckoutOrder = {
    2,  4,  5,  28,  29,  32,  33,  34,  35,  36,  39,  40,  41,  42,  43,  52,  53,  54,  46,  47, 48, 49,
    57, 59, 61, 63,  65,  69,  67,  72,  75,  78,  73,  76,  79,  81,  82,  84,  85,  87,  88,  92, 93, 94,
    95, 96, 97, 101, 102, 103, 105, 106, 108, 109, 110, 111, 112, 118, 113, 114, 115, 116, 117, 119};

} // namespace

RenderSettings BuildSettingsFromParams(const PF_InData* in_data, PF_ParamDef* const* params)
{
    RenderSettings s;
    const ParamReader r(params);
    r.Popup(kParamPlacementMode, s.placementMode);
    r.Checkbox(kParamInside, s.inside);
    r.Float(kParamSpread, s.spread);
    r.Popup(kParamSourceMode, s.sourceMode);
    r.Slider(kParamSourceSeed, s.sourceSeed);
    r.Slider(kParamCount, s.count);
    if (s.count < 1) s.count = 1;
    r.Float(kParamSpacing, s.spacing);
    r.Float(kParamOffset, s.offset);
    r.Checkbox(kParamLoop, s.loop);
    r.Checkbox(kParamReverse, s.reverse);
    r.Point(kParamArrayPosition, s.arrayPosition);
    r.Angles(kParamArrayRotationX, kParamArrayRotationY, kParamArrayRotationZ, s.arrayRotation);
    r.Float(kParamArrayScale, s.arrayScale);
    r.Popup(kParamOrientationMode, s.orientationMode);
    r.Popup(kParamForwardAxis, s.forwardAxis);
    r.Angle(kParamRoll, s.roll);
    r.Angles(kParamObjectRotationX, kParamObjectRotationY, kParamObjectRotationZ, s.objectRotation);
    r.Float(kParamObjectScale, s.objectScale);
    r.Angles(kParamRampRotationX, kParamRampRotationY, kParamRampRotationZ, s.rampRotation);
    r.Float(kParamRampScale, s.rampScale);
    r.Float(kParamRampOpacity, s.rampOpacity);
    s.rampShape = RampShapeFrom(r);

    constexpr PF_ParamIndex kRampEditors[5] = {kParamRampRotationXCurve, kParamRampRotationYCurve,
                                               kParamRampRotationZCurve, kParamRampScaleCurve, kParamRampOpacityCurve};
    for (int c = 0; c < 5; ++c) s.rampCurves[c] = ResolveRampCurve(in_data, params, kRampEditors[c], s.rampShape);
    r.Float(kParamRampTimeOffset, s.rampTimeOffset);
    s.rampTimeOffsetCurve = ResolveRampCurve(in_data, params, kParamRampTimeOffsetCurve, kShapeLinear);

    r.Angles(kParamGradientStartRotationX, kParamGradientStartRotationY, kParamGradientStartRotationZ,
             s.gradientStartRotation);
    r.Angles(kParamGradientEndRotationX, kParamGradientEndRotationY, kParamGradientEndRotationZ, s.gradientEndRotation);
    r.Float(kParamGradientStartScale, s.gradientStartScale);
    r.Float(kParamGradientEndScale, s.gradientEndScale);
    r.Float(kParamGradientStartOpacity, s.gradientStartOpacity);
    r.Float(kParamGradientEndOpacity, s.gradientEndOpacity);
    constexpr PF_ParamIndex kGradientEditors[5] = {kParamGradientRotationXCurve, kParamGradientRotationYCurve,
                                                   kParamGradientRotationZCurve, kParamGradientScaleCurve,
                                                   kParamGradientOpacityCurve};
    for (int c = 0; c < 5; ++c)
        s.gradientCurves[c] = ResolveRampCurve(in_data, params, kGradientEditors[c], kShapeLinear);
    r.Float(kParamGradientStartTimeOffset, s.gradientStartTimeOffset);
    r.Float(kParamGradientEndTimeOffset, s.gradientEndTimeOffset);
    s.gradientTimeOffsetCurve = ResolveRampCurve(in_data, params, kParamGradientTimeOffsetCurve, kShapeLinear);

    r.Slider(kParamRandomSeed, s.randomSeed);
    r.Angles(kParamRandomRotationX, kParamRandomRotationY, kParamRandomRotationZ, s.randomRotation);
    r.Float(kParamRandomScale, s.randomScale);
    r.Float(kParamTimeRandom, s.timeRandom);
    r.Checkbox(kParamDepthSort, s.depthSort);
    r.Float(kParamRenderOpacity, s.opacity);
    r.Popup(kParamRenderer, s.renderer);
    r.Popup(kParamQuality, s.quality);
    r.Popup(kParamDebugPath, s.debugPath);
    return s;
}

PF_Err BuildSettingsByCheckout(const PF_InData* in_data, RenderSettings& settings)
{
    if (!in_data || !in_data->inter.checkout_param || !in_data->inter.checkin_param) return PF_Err_BAD_CALLBACK_PARAM;
    std::array<PF_ParamDef, kParamLast + 1> defs{};
    std::array<PF_ParamDef*, kParamLast + 1> params{};
    std::size_t checkedOut = 0;
    PF_Err err = PF_Err_NONE;
    for (PF_ParamIndex index : kCheckoutOrder) {
        err = in_data->inter.checkout_param(in_data->effect_ref, index, in_data->current_time, in_data->time_step,
                                            in_data->time_scale, &defs[index]);
        if (err != PF_Err_NONE) break;
        params[index] = &defs[index];
        ++checkedOut;
    }
    if (err == PF_Err_NONE) settings = BuildSettingsFromParams(in_data, params.data());
    PF_Err checkinErr = PF_Err_NONE;
    while (checkedOut > 0) {
        PF_ParamIndex index = kCheckoutOrder[--checkedOut];
        PF_Err e = in_data->inter.checkin_param(in_data->effect_ref, &defs[index]);
        if (checkinErr == PF_Err_NONE) checkinErr = e;
    }
    return err != PF_Err_NONE ? err : checkinErr;
}

} // namespace strandel
