// The effect panel drawn as the Effect Controls window shows it: the host draws the title,
// group rows with their twirlies and every shown row's name and value; the plug-in draws its
// custom rows itself, through draw events on a DRAWBOT drawing of the same cairo surface.
#pragma once
#include <string>
#include <vector>

#include "host/image/Image.h"
#include "host/panel/EffectWindow.h"
#include "host/panel/PanelLayout.h"

namespace strandel::host {

struct PanelPicture {
    Image image; // 8-bit, layout width x height
    // Custom rows whose draw event failed, with the plug-in's error.
    std::vector<std::string> problems;
};

PanelPicture DrawPanel(EffectWindow& window, const PanelLayout& layout, double seconds);

} // namespace strandel::host
