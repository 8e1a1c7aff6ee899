#include "host/panel/PanelLayout.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "host/Host.h"

namespace strandel::host {
namespace {

bool IsCustomRow(const PF_ParamDef& d) { return d.param_type == PF_Param_NO_DATA && (d.ui_flags & PF_PUI_CONTROL); }

bool HasTwirly(const PF_ParamDef& d)
{
    switch (d.param_type) {
    case PF_Param_GROUP_START:
    case PF_Param_FLOAT_SLIDER:
    case PF_Param_SLIDER:
    case PF_Param_ANGLE: return true;
    default: return IsCustomRow(d);
    }
}

std::string Format(const char* format, double v)
{
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

std::string Choice(const char* choices, int value)
{
    std::istringstream s(choices ? choices : "");
    std::string choice;
    for (int i = 1; std::getline(s, choice, '|'); ++i)
        if (i == value) return choice;
    return std::to_string(value);
}

} // namespace

const PanelRow* PanelLayout::Find(int index) const
{
    for (const PanelRow& row : rows)
        if (row.index == index) return &row;
    return nullptr;
}

PanelLayout LayOutPanel(const EffectInstance& fx, const PanelOptions& options)
{
    PanelLayout layout;
    layout.width = options.width;
    int y = 0;
    auto add = [&](PanelRow row, int height) {
        row.bounds = {0, y, options.width, y + height};
        y += height;
        layout.rows.push_back(row);
        return &layout.rows.back();
    };
    add(PanelRow{}, kPanelRowHeight);

    // Each open group: whether its rows are shown.
    std::vector<bool> groups;
    for (int i = 1; i < fx.paramCount(); ++i) {
        const PF_ParamDef& d = fx.param(i).def;
        const PanelRowState& state = fx.panelRow(i);
        const bool inShownGroup = groups.empty() || groups.back();
        if (d.param_type == PF_Param_GROUP_END) {
            if (!groups.empty()) groups.pop_back();
            continue;
        }
        const bool shown = inShownGroup && !(state.uiFlags & PF_PUI_NO_ECW_UI) && !fx.RowHidden(i);
        PanelRow row;
        row.index = i;
        row.depth = static_cast<int>(groups.size());
        row.twirly = HasTwirly(d);
        row.open = row.twirly && (!options.storedTwirls || !(state.flags & PF_ParamFlag_COLLAPSE_TWIRLY));
        if (d.param_type == PF_Param_GROUP_START) groups.push_back(shown && row.open);
        if (!shown) continue;

        int height = kPanelRowHeight;
        const bool custom = IsCustomRow(d) && row.open;
        if (custom) height += d.ui_height + kPanelControlGap;
        else if (row.open && (d.param_type == PF_Param_FLOAT_SLIDER || d.param_type == PF_Param_SLIDER))
            height += kPanelSliderStrip;
        PanelRow* added = add(row, height);
        if (custom) {
            const int left = kPanelNameLeft + added->depth * kPanelIndent;
            const int top = added->bounds.top + kPanelRowHeight;
            added->control = {left, top, left + d.ui_width, top + d.ui_height};
        }
    }
    layout.height = y;
    return layout;
}

std::string PanelValueText(const EffectInstance& fx, int index, double seconds)
{
    const PF_ParamDef d = fx.DefAt(index, seconds);
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER: {
        const std::string format = "%." + std::to_string(d.u.fs_d.precision) + "f";
        const std::string value = Format(format.c_str(), d.u.fs_d.value);
        return d.u.fs_d.display_flags & PF_ValueDisplayFlag_PERCENT ? value + "%" : value;
    }
    case PF_Param_SLIDER: return std::to_string(d.u.sd.value);
    case PF_Param_ANGLE: {
        const double degrees = d.u.ad.value / 65536.0;
        const double turns = std::trunc(degrees / 360.0);
        return Format("%.0fx", turns) + Format("%+.1f\u00b0", degrees - turns * 360.0);
    }
    case PF_Param_CHECKBOX: return d.u.bd.value ? "On" : "Off";
    case PF_Param_POPUP: return Choice(d.u.pd.u.namesptr, d.u.pd.value);
    case PF_Param_LAYER: {
        const Layer* chosen = fx.LayerAt(index, seconds);
        return chosen ? chosen->name : "None";
    }
    case PF_Param_POINT_3D:
        return Format("%.1f, ", d.u.point3d_d.x_value) + Format("%.1f, ", d.u.point3d_d.y_value) +
               Format("%.1f", d.u.point3d_d.z_value);
    case PF_Param_BUTTON: return d.u.button_d.u.namesptr ? d.u.button_d.u.namesptr : "";
    default: return "";
    }
}

} // namespace strandel::host
