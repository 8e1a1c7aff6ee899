// What `strandel render` is asked to do, checked before any frame is drawn: the effect to
// render, the frames, where each goes and how it is written. Bad arguments throw HostError
// with one line that says what is wrong.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "host/Host.h"
#include "host/image/Image.h"

namespace strandel::cli {

struct RenderPlan {
    host::EffectInstance* effect = nullptr;
    const host::Composition* comp = nullptr;
    std::vector<std::int64_t> frames;
    std::vector<std::filesystem::path> outputs; // one per frame
    host::PixelDepth depth = host::PixelDepth::Eight;
    int downsample = 1;
    bool exr = false;
};

host::PixelDepth DepthFromBits(int bits);
int DownsampleFromResolution(const std::string& resolution);

// The effect of the named layer (or the first that carries it) in the named comp (or the
// layer's, or the first comp with the effect).
host::EffectInstance& FindEffect(host::Host& host, const std::string& compName, const std::string& layerName);

// Each "Param=value": the value read as JSON, else taken as a string.
void ApplySets(host::EffectInstance& effect, const host::Composition& comp, const std::vector<std::string>& sets,
               std::vector<std::string>& warnings);

// --frame N, --frames A-B, or every frame of the comp; all inside the comp's duration.
std::vector<std::int64_t> FramesToRender(const RenderArgs& args, const host::Composition& comp);

bool IsExr(const std::filesystem::path& file);
bool IsPng(const std::filesystem::path& file);

// The pattern's [####] filled in per frame; the folders made and shown to be writable.
std::vector<std::filesystem::path> OutputPaths(const RenderArgs& args, host::PixelDepth depth,
                                               const std::vector<std::int64_t>& frames);

} // namespace strandel::cli
