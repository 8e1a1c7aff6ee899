#include "presets/PresetScripts.h"

#include "presets/PathPreset.h"

namespace strandel {
namespace embedded {
extern const std::string_view kCommonScript, kHelixScript, kTornadoHelixScript, kWaveScript, kFigureEightScript;
} // namespace embedded

std::string_view CommonPresetScript() { return embedded::kCommonScript; }

std::string_view PresetScript(uint32_t preset)
{
    switch (static_cast<PathPresetKind>(preset)) {
    case PathPresetKind::TornadoHelix: return embedded::kTornadoHelixScript;
    case PathPresetKind::Wave: return embedded::kWaveScript;
    case PathPresetKind::FigureEight: return embedded::kFigureEightScript;
    default: return embedded::kHelixScript;
    }
}

} // namespace strandel
