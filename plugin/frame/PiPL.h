// The bytes of the PiPL resource (type "PIPL", ID 16000, language 1033), for hosts that
// read registration facts from resources instead of calling PluginDataEntryFunction2.
#pragma once
#include <cstdint>
#include <vector>

namespace strandel {

constexpr int kPiPLResourceId = 16000;
constexpr int kPiPLLanguage = 1033;

std::vector<uint8_t> BuildPiPLResource();

} // namespace strandel
