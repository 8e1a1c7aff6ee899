// The preset scripts, embedded from scripts/*.js at build time as UTF-8 text.
#pragma once
#include <cstdint>
#include <string_view>

namespace strandel {

std::string_view CommonPresetScript();
// 1 Helix, 2 Tornado Helix, 3 Wave, 4 Figure Eight; any other value gives the Helix.
std::string_view PresetScript(uint32_t preset);

} // namespace strandel
