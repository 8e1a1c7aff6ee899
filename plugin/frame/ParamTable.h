// The effect's 120 parameters as data: definition, the render snapshot and the host's name
// lookup all read this one table.
#pragma once
#include <cstdint>
#include <span>

#include "AE_Effect.h"

namespace strandel {

enum class ParamKind : uint8_t {
    GroupStart,
    GroupEnd,
    Popup,
    Layer,
    Checkbox,
    FloatSlider,
    IntSlider,
    Angle,
    Point3D,
    Button,
    CustomRow,
    CurveData,
};

enum ParamTrait : uint16_t {
    kTraitNone = 0,
    kTraitSupervise = 1 << 0, // the host reports every change
    kTraitTwirl = 1 << 1, // collapse twirly: collapsed groups, twirled rows
    kTraitHidden = 1 << 2, // invisible until the panel logic shows it
    kTraitPercent = 1 << 3,
    kTraitPrecision2 = 1 << 4,
};

struct ParamRow {
    PF_ParamIndex index;
    A_long id; // stable: saved projects store values under it
    const char* name;
    ParamKind kind;
    double validMin = 0, validMax = 0, sliderMin = 0, sliderMax = 0;
    double defaultValue = 0;
    const char* choices = nullptr; // popups "A|B|C"; a button's label
    A_short uiWidth = 0, uiHeight = 0;
    uint16_t traits = kTraitNone;
};

// Indices 1..120 in order; element i describes index i + 1.
std::span<const ParamRow> ParamTable();
const ParamRow* FindParamRow(PF_ParamIndex index);
A_long ParamIdForIndex(PF_ParamIndex index);

// The PF_ParamDef handed to the host for one row (arbitrary-data defaults excluded).
PF_ParamDef MakeParamDef(const ParamRow& row);

} // namespace strandel
