#include "frame/ParamTable.h"

#include <array>
#include <cmath>
#include <cstring>

#include "frame/ParamIndex.h"

namespace strandel {
namespace {

constexpr uint16_t kP2 = kTraitPrecision2;
constexpr uint16_t kPct = kTraitPercent;
constexpr uint16_t kTw = kTraitTwirl;
constexpr uint16_t kInv = kTraitHidden;
constexpr uint16_t kSup = kTraitSupervise;

constexpr ParamRow Group(PF_ParamIndex i, A_long id, const char* name, uint16_t traits = 0)
{
    return {i, id, name, ParamKind::GroupStart, 0, 0, 0, 0, 0, nullptr, 0, 0, traits};
}
constexpr ParamRow End(PF_ParamIndex i, A_long id) { return {i, id, "", ParamKind::GroupEnd}; }
constexpr ParamRow Popup(PF_ParamIndex i, A_long id, const char* name, const char* choices, int dflt,
                         uint16_t traits = 0)
{
    return {i, id, name, ParamKind::Popup, 1, 0, 1, 0, double(dflt), choices, 0, 0, traits};
}
constexpr ParamRow Layer(PF_ParamIndex i, A_long id, const char* name) { return {i, id, name, ParamKind::Layer}; }
constexpr ParamRow Check(PF_ParamIndex i, A_long id, const char* name, bool dflt)
{
    return {i, id, name, ParamKind::Checkbox, 0, 1, 0, 1, dflt ? 1.0 : 0.0};
}
constexpr ParamRow Float(PF_ParamIndex i, A_long id, const char* name, double vMin, double vMax, double sMin,
                         double sMax, double dflt, uint16_t traits)
{
    return {i, id, name, ParamKind::FloatSlider, vMin, vMax, sMin, sMax, dflt, nullptr, 0, 0, traits};
}
constexpr ParamRow Int(PF_ParamIndex i, A_long id, const char* name, double vMin, double vMax, double sMin, double sMax,
                       double dflt, uint16_t traits = 0)
{
    return {i, id, name, ParamKind::IntSlider, vMin, vMax, sMin, sMax, dflt, nullptr, 0, 0, traits};
}
constexpr ParamRow Angle(PF_ParamIndex i, A_long id, const char* name)
{
    return {i, id, name, ParamKind::Angle, 0, 0, 0, 0, 0, nullptr, 0, 0, kTw};
}
constexpr ParamRow CurveRow(PF_ParamIndex i, A_long id, const char* name)
{
    return {i, id, name, ParamKind::CustomRow, 0, 0, 0, 0, 0, nullptr, 220, 84, kTw};
}
constexpr ParamRow CurveData(PF_ParamIndex i, A_long id, const char* name)
{
    return {i, id, name, ParamKind::CurveData};
}

// Indices 90-95 need IDs of their own: the table's numbering rule would give them 57-62, which
// indices 76-85 already carry. 174-179 lie above every ID any version has used, so no saved
// project can hold a value under them for another parameter. These IDs are now stored in
// projects and can never change.
constexpr A_long kGradientEndId = 174;
constexpr A_long kRandomGroupId = 175;
constexpr A_long kRandomSeedId = 176;
constexpr A_long kRandomRotationXId = 177;
constexpr A_long kRandomRotationYId = 178;
constexpr A_long kRandomRotationZId = 179;

constexpr std::array<ParamRow, 120> kTable = {{
    Group(1, 1, "Path Setup"),
    Popup(2, 71, "Placement Mode", "Path Array|Path Ribbon", 1, kSup),
    Layer(3, 2, "Path Layer"),
    Check(4, 72, "Inside", false),
    Float(5, 73, "Spread", -300, 300, -200, 200, 100, kP2 | kPct),
    End(6, 3),
    Group(7, 74, "Path Preset"),
    Popup(8, 75, "Preset", "Helix|Tornado Helix|Wave|Figure Eight", 1, kSup),
    Float(9, 76, "Size", 0, 100000, 0, 2000, 450, kP2 | kTw),
    Float(10, 83, "End Radius", 0, 100000, 0, 2000, 80, kP2 | kTw | kInv),
    Float(11, 77, "Depth", -100000, 100000, -5000, 5000, 1000, kP2 | kTw),
    Int(12, 78, "Turns", 1, 100, 1, 10, 2, kTw),
    Float(13, 79, "Key Interval", 0.001, 3600, 0.1, 10, 1, kP2 | kTw),
    Popup(14, 84, "Direction", "Forward|Reverse", 1, kInv),
    Float(15, 85, "Length Z", -100000, 100000, -10000, 10000, 3000, kP2 | kTw | kInv),
    Int(16, 86, "Cycles", 1, 100, 1, 10, 3, kTw | kInv),
    Float(17, 87, "Y Amplitude", -100000, 100000, -2000, 2000, 0, kP2 | kTw | kInv),
    Float(18, 88, "Y Phase", -3600, 3600, -360, 360, 90, kP2 | kTw | kInv),
    Check(19, 80, "Replace Existing Keys", true),
    {20, 81, "Generate Path", ParamKind::Button, 0, 0, 0, 0, 0, "Generate Path", 0, 0, kSup},
    End(21, 82),
    Group(22, 4, "Source"),
    Layer(23, 5, "Source Layer 1"),
    Layer(24, 6, "Source Layer 2"),
    Layer(25, 7, "Source Layer 3"),
    Layer(26, 8, "Source Layer 4"),
    Layer(27, 9, "Source Layer 5"),
    Popup(28, 10, "Source Mode", "Sequential|Random", 1),
    Int(29, 11, "Source Seed", 1, 999999, 1, 1000, 1),
    End(30, 12),
    Group(31, 13, "Array"),
    Int(32, 14, "Count", 1, 1000, 1, 200, 20),
    Float(33, 15, "Spacing", 0, 1000, 0, 300, 100, kP2 | kPct),
    Float(34, 16, "Offset", -100000, 100000, -100, 100, 0, kP2 | kPct),
    Check(35, 17, "Loop", false),
    Check(36, 18, "Reverse", false),
    End(37, 19),
    Group(38, 20, "Array Transform", kTw),
    {39, 21, "Position", ParamKind::Point3D},
    Angle(40, 22, "Rotation X"),
    Angle(41, 23, "Rotation Y"),
    Angle(42, 24, "Rotation Z"),
    Float(43, 25, "Scale", 0, 10000, 0, 300, 100, kP2 | kPct),
    End(44, 26),
    Group(45, 27, "Object Transform", kTw),
    Angle(46, 28, "Rotation X"),
    Angle(47, 29, "Rotation Y"),
    Angle(48, 30, "Rotation Z"),
    Float(49, 31, "Scale", 0, 10000, 0, 300, 100, kP2 | kPct),
    End(50, 32),
    Group(51, 33, "Orientation", kTw),
    Popup(52, 34, "Orientation Mode", "Fixed|Follow Path|Face Camera", 3, kSup),
    Popup(53, 35, "Forward Axis", "+X|-X|+Y|-Y|+Z|-Z", 5),
    Angle(54, 36, "Roll"),
    End(55, 37),
    Group(56, 38, "Ramp", kTw),
    Angle(57, 39, "Rotation X"),
    CurveRow(58, 142, "Rotation X Curve"),
    Angle(59, 40, "Rotation Y"),
    CurveRow(60, 143, "Rotation Y Curve"),
    Angle(61, 41, "Rotation Z"),
    CurveRow(62, 144, "Rotation Z Curve"),
    Float(63, 42, "Scale", -10000, 10000, -100, 300, 0, kP2 | kPct),
    CurveRow(64, 145, "Scale Curve"),
    Float(65, 43, "Opacity", -10000, 10000, -100, 100, 0, kP2 | kPct),
    CurveRow(66, 146, "Opacity Curve"),
    Float(67, 162, "Time Offset", -3600, 3600, -10, 10, 0, kP2),
    CurveRow(68, 163, "Time Offset Curve"),
    Popup(69, 44, "Curve", "Linear|Ease In|Ease Out|Ease In-Out", 1, kInv),
    End(70, 45),
    Group(71, 46, "Path Gradient", kTw),
    Angle(72, 53, "Start Rotation X"),
    Angle(73, 56, "End Rotation X"),
    CurveRow(74, 152, "Rotation X Curve"),
    Angle(75, 54, "Start Rotation Y"),
    Angle(76, 57, "End Rotation Y"),
    CurveRow(77, 153, "Rotation Y Curve"),
    Angle(78, 55, "Start Rotation Z"),
    Angle(79, 58, "End Rotation Z"),
    CurveRow(80, 154, "Rotation Z Curve"),
    Float(81, 59, "Start Scale", 0, 10000, 0, 300, 100, kP2 | kPct),
    Float(82, 60, "End Scale", 0, 10000, 0, 300, 100, kP2 | kPct),
    CurveRow(83, 155, "Scale Curve"),
    Float(84, 61, "Start Opacity", 0, 100, 0, 100, 100, kP2 | kPct),
    Float(85, 62, "End Opacity", 0, 100, 0, 100, 100, kP2 | kPct),
    CurveRow(86, 156, "Opacity Curve"),
    Float(87, 164, "Start Time Offset", -3600, 3600, -10, 10, 0, kP2),
    Float(88, 165, "End Time Offset", -3600, 3600, -10, 10, 0, kP2),
    CurveRow(89, 166, "Time Offset Curve"),
    End(90, kGradientEndId),
    Group(91, kRandomGroupId, "Random", kTw),
    Int(92, kRandomSeedId, "Seed", 1, 999999, 1, 1000, 1),
    Angle(93, kRandomRotationXId, "Rotation X"),
    Angle(94, kRandomRotationYId, "Rotation Y"),
    Angle(95, kRandomRotationZId, "Rotation Z"),
    Float(96, 63, "Scale", 0, 10000, 0, 100, 0, kP2 | kPct),
    Float(97, 167, "Time Random", -3600, 3600, -10, 10, 0, kP2),
    Popup(98, 168, "__Time Random Curve", "Unused", 1, kInv),
    End(99, 64),
    Group(100, 65, "Render", kTw),
    Check(101, 66, "Depth Sort", true),
    Float(102, 67, "Opacity", 0, 100, 0, 100, 100, kP2 | kPct),
    Popup(103, 172, "Renderer", "Auto|GPU|CPU", 1),
    {104, 173, "Processing Device", ParamKind::CustomRow, 0, 0, 0, 0, 0, nullptr, 220, 22, kTraitNone},
    Popup(105, 68, "Quality", "Draft|Normal|High", 2),
    Popup(106, 69, "Debug Path", "Off|Overlay|Path Only", 1),
    End(107, 70),
    CurveData(108, 147, "__Rotation X Curve Data"),
    CurveData(109, 148, "__Rotation Y Curve Data"),
    CurveData(110, 149, "__Rotation Z Curve Data"),
    CurveData(111, 150, "__Scale Curve Data"),
    CurveData(112, 151, "__Opacity Curve Data"),
    CurveData(113, 157, "__Path Gradient Rotation X Curve Data"),
    CurveData(114, 158, "__Path Gradient Rotation Y Curve Data"),
    CurveData(115, 159, "__Path Gradient Rotation Z Curve Data"),
    CurveData(116, 160, "__Path Gradient Scale Curve Data"),
    CurveData(117, 161, "__Path Gradient Opacity Curve Data"),
    CurveData(118, 169, "__Ramp Time Offset Curve Data"),
    CurveData(119, 170, "__Path Gradient Time Offset Curve Data"),
    CurveData(120, 171, "__Time Random Curve Data"),
}};

constexpr bool RowsAreInIndexOrder()
{
    for (std::size_t i = 0; i < kTable.size(); ++i)
        if (kTable[i].index != static_cast<PF_ParamIndex>(i + 1)) return false;
    return kTable.back().index == kParamLast;
}
static_assert(RowsAreInIndexOrder());

// 16.16 fixed point, rounded half away from zero.
PF_Fixed ToFixed(double degrees) { return static_cast<PF_Fixed>(std::round(degrees * 65536.0)); }

int CountChoices(const char* choices)
{
    int n = 1;
    for (const char* c = choices; *c; ++c) n += *c == '|';
    return n;
}

} // namespace

std::span<const ParamRow> ParamTable() { return kTable; }

const ParamRow* FindParamRow(PF_ParamIndex index)
{
    if (index < 1 || index > kParamLast) return nullptr;
    return &kTable[static_cast<std::size_t>(index - 1)];
}

A_long ParamIdForIndex(PF_ParamIndex index)
{
    const ParamRow* row = FindParamRow(index);
    return row ? row->id : 0;
}

PF_ParamDef MakeParamDef(const ParamRow& s)
{
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    def.uu.id = s.id;
    std::strncpy(def.name, s.name, sizeof def.name - 1);
    if (s.traits & kTraitSupervise) def.flags |= PF_ParamFlag_SUPERVISE;
    if (s.traits & kTraitTwirl) def.flags |= PF_ParamFlag_COLLAPSE_TWIRLY;
    if (s.traits & kTraitHidden) def.ui_flags |= PF_PUI_INVISIBLE;
    switch (s.kind) {
    case ParamKind::GroupStart: def.param_type = PF_Param_GROUP_START; break;
    case ParamKind::GroupEnd: def.param_type = PF_Param_GROUP_END; break;
    case ParamKind::Popup:
        def.param_type = PF_Param_POPUP;
        def.u.pd.value = static_cast<PF_ParamValue>(s.defaultValue);
        def.u.pd.dephault = static_cast<A_short>(s.defaultValue);
        def.u.pd.num_choices = static_cast<A_short>(CountChoices(s.choices));
        def.u.pd.u.namesptr = s.choices;
        break;
    case ParamKind::Layer:
        def.param_type = PF_Param_LAYER;
        def.u.ld.dephault = PF_LayerDefault_NONE;
        break;
    case ParamKind::Checkbox:
        def.param_type = PF_Param_CHECKBOX;
        def.u.bd.value = static_cast<PF_ParamValue>(s.defaultValue);
        def.u.bd.dephault = static_cast<PF_Boolean>(s.defaultValue);
        def.u.bd.u.nameptr = "";
        break;
    case ParamKind::FloatSlider:
        def.param_type = PF_Param_FLOAT_SLIDER;
        def.u.fs_d.value = s.defaultValue;
        def.u.fs_d.dephault = static_cast<PF_FpShort>(s.defaultValue);
        def.u.fs_d.valid_min = static_cast<PF_FpShort>(s.validMin);
        def.u.fs_d.valid_max = static_cast<PF_FpShort>(s.validMax);
        def.u.fs_d.slider_min = static_cast<PF_FpShort>(s.sliderMin);
        def.u.fs_d.slider_max = static_cast<PF_FpShort>(s.sliderMax);
        def.u.fs_d.precision = (s.traits & kTraitPrecision2) ? 2 : 0;
        def.u.fs_d.display_flags = (s.traits & kTraitPercent) ? PF_ValueDisplayFlag_PERCENT : 0;
        break;
    case ParamKind::IntSlider:
        def.param_type = PF_Param_SLIDER;
        def.u.sd.value = static_cast<PF_ParamValue>(s.defaultValue);
        def.u.sd.dephault = static_cast<PF_ParamValue>(s.defaultValue);
        def.u.sd.valid_min = static_cast<PF_ParamValue>(s.validMin);
        def.u.sd.valid_max = static_cast<PF_ParamValue>(s.validMax);
        def.u.sd.slider_min = static_cast<PF_ParamValue>(s.sliderMin);
        def.u.sd.slider_max = static_cast<PF_ParamValue>(s.sliderMax);
        break;
    case ParamKind::Angle:
        def.param_type = PF_Param_ANGLE;
        def.u.ad.value = def.u.ad.dephault = ToFixed(s.defaultValue);
        break;
    case ParamKind::Point3D: def.param_type = PF_Param_POINT_3D; break;
    case ParamKind::Button:
        def.param_type = PF_Param_BUTTON;
        def.u.button_d.u.namesptr = s.choices;
        break;
    case ParamKind::CustomRow:
        def.param_type = PF_Param_NO_DATA;
        def.ui_flags |= PF_PUI_CONTROL | PF_PUI_DONT_ERASE_CONTROL;
        def.ui_width = s.uiWidth;
        def.ui_height = s.uiHeight;
        break;
    case ParamKind::CurveData:
        def.param_type = PF_Param_ARBITRARY_DATA;
        def.ui_flags |= PF_PUI_NO_ECW_UI;
        def.u.arb_d.id = static_cast<A_short>(s.id);
        break;
    }
    return def;
}

} // namespace strandel
