// strandel generate-path: presses "Generate Path" through the host and writes the scene with the
// keys the plug-in's script wrote onto the Path Layer.
#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "cli/RenderPlan.h"
#include "host/HostError.h"
#include "host/scene/SceneReader.h"
#include "host/scene/SceneWriter.h"

namespace strandel::cli {
namespace {

std::filesystem::path Destination(const GeneratePathArgs& args)
{
    if (args.inPlace && !args.output.empty()) throw host::HostError("give either -o or --in-place, not both");
    if (args.inPlace) return args.scenePath;
    if (args.output.empty()) throw host::HostError("-o NEW_SCENE is required (or --in-place to rewrite the scene)");
    std::error_code ec;
    if (std::filesystem::equivalent(args.scenePath, args.output, ec))
        throw host::HostError("-o names the input scene; use --in-place to rewrite it");
    return args.output;
}

} // namespace

int RunGeneratePath(const CommonOptions& common, const GeneratePathArgs& args)
{
    const std::filesystem::path destination = Destination(args);
    std::vector<std::string> warnings;
    host::LoadedScene scene = host::LoadScene(args.scenePath);
    warnings.insert(warnings.end(), scene.warnings.begin(), scene.warnings.end());
    host::Host host(host::HostOptions{common.pluginPath});
    if (PF_Err err = host.GlobalSetup()) throw host::HostError("global setup failed with " + host::ErrorName(err));
    host.OpenProject(std::move(scene.project), &warnings);
    host::EffectInstance& effect = FindEffect(host, args.comp, args.layer);
    const host::Composition& comp = *host.project().CompOfLayer(*effect.layer);
    ApplySets(effect, comp, args.sets, warnings);
    host.activeComp = &comp;
    for (const std::string& w : warnings) std::cerr << "strandel: warning: " << w << "\n";

    PF_OutData out{};
    if (PF_Err err = effect.UserChangedParam(effect.Resolve("Generate Path"), &out)) {
        std::cerr << "strandel: the plug-in failed with " << host::ErrorName(err) << "\n";
        return 1;
    }
    // Every outcome but success tells the user why; nothing is written then.
    std::vector<std::string> messages = host.log().messages;
    if (out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) messages.emplace_back(out.return_msg);
    for (const std::string& m : messages) std::cout << m << "\n";
    if (!messages.empty()) return 1;
    host::SaveScene(host.project(), destination);
    std::cout << "wrote " << destination.string() << "\n";
    return 0;
}

} // namespace strandel::cli
