// Where the rows of an effect's panel lie, as the Effect Controls window lays them out: the
// effect's title, then every shown row, indented by group, with custom rows at their registered
// sizes. Hidden rows, stored data and the contents of closed groups are left out.
#pragma once
#include <string>
#include <vector>

#include "host/EffectInstance.h"

namespace strandel::host {

struct PanelOptions {
    // Groups and rows twirled as the effect stores them; otherwise every twirly is open, as a
    // user who opened them all to see the whole panel.
    bool storedTwirls = false;
    int width = 420;
};

struct PanelRow {
    int index = 0; // parameter index; 0 is the effect's title row
    int depth = 0; // group nesting
    PF_Rect bounds{}; // the whole row, control area included
    bool twirly = false;
    bool open = false;
    PF_Rect control{}; // an open custom row: the area the plug-in draws in
    bool HasControl() const { return control.right > control.left; }
};

struct PanelLayout {
    int width = 0;
    int height = 0;
    std::vector<PanelRow> rows;
    // Null when the row is not shown.
    const PanelRow* Find(int index) const;
};

PanelLayout LayOutPanel(const EffectInstance& effect, const PanelOptions& options);

// A row's value as the panel shows it at a time ("45.00%", "0x+30.0°", "Helix", "None").
std::string PanelValueText(const EffectInstance& effect, int index, double seconds);

// Layout measures shared with the drawing.
constexpr int kPanelRowHeight = 22;
constexpr int kPanelSliderStrip = 14;
constexpr int kPanelIndent = 16;
constexpr int kPanelNameLeft = 22;
constexpr int kPanelControlGap = 4;
constexpr int kPanelValueLeft = 230;

} // namespace strandel::host
