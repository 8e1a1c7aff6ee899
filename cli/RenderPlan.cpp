#include "cli/RenderPlan.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>

#include "host/HostError.h"
#include "host/SceneParams.h"
#include "host/platform/Platform.h"
#include "host/project/ImageSequence.h"

namespace strandel::cli {
namespace {

using host::HostError;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

host::EffectInstance* FirstEffectOn(host::Host& host, const host::Layer& layer)
{
    for (std::size_t e = 0; e < layer.effects.size(); ++e)
        if (auto* fx = host.FindInstance(layer.id, static_cast<int>(e))) return fx;
    return nullptr;
}

// Shows the folder takes files before any frame is drawn.
void CheckWritableFolder(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw HostError("cannot create the output folder " + folder.string() + ": " + ec.message());
    const std::filesystem::path probe = folder / (".strandel-probe-" + std::to_string(host::platform::ProcessId()));
    const bool writable = static_cast<bool>(std::ofstream(probe));
    std::filesystem::remove(probe, ec);
    if (!writable) throw HostError("cannot write into the output folder " + folder.string());
}

std::string LowerExtension(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension;
}

} // namespace

bool IsExr(const std::filesystem::path& file) { return LowerExtension(file) == ".exr"; }
bool IsPng(const std::filesystem::path& file) { return LowerExtension(file) == ".png"; }

host::PixelDepth DepthFromBits(int bits)
{
    switch (bits) {
    case 8: return host::PixelDepth::Eight;
    case 16: return host::PixelDepth::Sixteen;
    case 32: return host::PixelDepth::Float;
    default: throw HostError("--depth must be 8, 16 or 32, not " + std::to_string(bits));
    }
}

int DownsampleFromResolution(const std::string& resolution)
{
    const std::pair<const char*, int> kFactors[] = {{"full", 1}, {"half", 2}, {"third", 3}, {"quarter", 4}};
    for (const auto& [name, factor] : kFactors)
        if (resolution == name) return factor;
    throw HostError("--resolution must be full, half, third or quarter, not " + Quoted(resolution));
}

host::EffectInstance& FindEffect(host::Host& host, const std::string& compName, const std::string& layerName)
{
    const host::Project& project = host.project();
    const std::string effectName = host.registration().name;
    std::vector<const host::Composition*> comps;
    if (!compName.empty()) {
        const host::Composition* comp = project.CompByName(compName);
        if (!comp) throw HostError("no comp named " + Quoted(compName) + " in the scene");
        comps.push_back(comp);
    } else {
        for (const host::Composition& comp : project.comps) comps.push_back(&comp);
    }
    for (const host::Composition* comp : comps) {
        if (layerName.empty()) {
            for (const host::Layer& layer : comp->layers)
                if (auto* fx = FirstEffectOn(host, layer)) return *fx;
            continue;
        }
        if (const host::Layer* layer = comp->LayerByName(layerName)) {
            if (auto* fx = FirstEffectOn(host, *layer)) return *fx;
            throw HostError("layer " + Quoted(layerName) + " carries no " + effectName + " effect");
        }
    }
    const std::string where = compName.empty() ? "in the scene" : "in comp " + Quoted(compName);
    if (!layerName.empty()) throw HostError("no layer named " + Quoted(layerName) + " " + where);
    throw HostError("no layer " + where + " carries the " + effectName + " effect");
}

void ApplySets(host::EffectInstance& effect, const host::Composition& comp, const std::vector<std::string>& sets,
               std::vector<std::string>& warnings)
{
    const host::LayerIdByName layerIds = [&comp](const std::string& name) -> std::optional<A_long> {
        const host::Layer* layer = comp.LayerByName(name);
        return layer ? std::optional<A_long>(layer->id) : std::nullopt;
    };
    for (const std::string& set : sets) {
        const std::size_t eq = set.find('=');
        if (eq == std::string::npos || eq == 0) throw HostError("--set " + Quoted(set) + ": write Param=value");
        const std::string text = set.substr(eq + 1);
        nlohmann::json value = nlohmann::json::parse(text, nullptr, false);
        if (value.is_discarded()) value = text;
        try {
            host::ApplySceneParam(effect, set.substr(0, eq), value, layerIds, warnings);
        } catch (const HostError& e) {
            throw HostError("--set " + Quoted(set) + ": " + e.what());
        }
    }
}

std::vector<std::int64_t> FramesToRender(const RenderArgs& args, const host::Composition& comp)
{
    const std::int64_t count = comp.FrameCount();
    std::int64_t first = 0, last = count - 1;
    if (args.frame) {
        first = last = *args.frame;
    } else if (!args.frames.empty()) {
        static const std::regex kRange(R"(\s*(\d+)\s*-\s*(\d+)\s*)");
        std::smatch m;
        if (!std::regex_match(args.frames, m, kRange)) throw HostError("--frames takes A-B, such as 0-29");
        first = std::stoll(m[1].str());
        last = std::stoll(m[2].str());
        if (first > last) throw HostError("--frames " + args.frames + ": the first frame comes after the last");
    }
    if (count <= 0) throw HostError("comp " + Quoted(comp.name) + " has no frames");
    for (std::int64_t f : {first, last})
        if (f < 0 || f >= count)
            throw HostError("frame " + std::to_string(f) + " is outside comp " + Quoted(comp.name) + " (frames 0-" +
                            std::to_string(count - 1) + ")");
    std::vector<std::int64_t> frames;
    for (std::int64_t f = first; f <= last; ++f) frames.push_back(f);
    return frames;
}

std::vector<std::filesystem::path> OutputPaths(const RenderArgs& args, host::PixelDepth depth,
                                               const std::vector<std::int64_t>& frames)
{
    const bool floatDepth = depth == host::PixelDepth::Float;
    std::string pattern = args.output;
    if (pattern.empty())
        pattern =
            "out/" + std::filesystem::path(args.scenePath).stem().string() + "_[####]" + (floatDepth ? ".exr" : ".png");
    const std::string extension = LowerExtension(pattern);
    if (extension != ".png" && extension != ".exr")
        throw HostError("-o " + pattern + ": the file name must end in .png or .exr");
    if (extension == ".png" && floatDepth)
        throw HostError("-o " + pattern + ": 32-bit frames are written as OpenEXR (.exr), not PNG");
    if (frames.size() > 1 && !host::IsSequencePattern(pattern))
        throw HostError("-o " + pattern + ": several frames need [####] in the file name for the frame number");

    std::vector<std::filesystem::path> paths;
    std::set<std::filesystem::path> folders;
    for (std::int64_t f : frames) {
        paths.push_back(host::SequenceFramePath(pattern, f));
        folders.insert(paths.back().parent_path().empty() ? "." : paths.back().parent_path());
    }
    for (const std::filesystem::path& folder : folders) CheckWritableFolder(folder);
    return paths;
}

} // namespace strandel::cli
