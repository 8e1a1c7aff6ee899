// strandel panel: the effect panel as the compositor shows it, drawn to PNG, with scripted mouse
// input on the custom rows sent through the real event commands, and the edited scene saved.
#include <filesystem>
#include <iostream>
#include <regex>

#include "cli/Commands.h"
#include "cli/RenderPlan.h"
#include "host/HostError.h"
#include "host/SceneParams.h"
#include "host/drawing/PanelView.h"
#include "host/image/PngFile.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "host/scene/SceneWriter.h"

namespace strandel::cli {
namespace {

using host::HostError;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// One scripted input, checked against the panel before anything is sent.
struct PlannedInput {
    const PanelInput* input;
    const host::PanelRow* row;
    int index;
    std::vector<PF_Point> points; // window coordinates
};

std::string Describe(const PanelInput& input)
{
    std::string text = input.kind == PanelInput::Click ? "--click " : "--drag ";
    text += Quoted(input.row);
    for (const std::string& p : input.points) text += " " + p;
    return text;
}

PF_Point ParsePoint(const PanelInput& input, const std::string& text, const host::PanelRow& row)
{
    static const std::regex kPoint(R"(\s*(-?\d+)\s*,\s*(-?\d+)\s*)");
    std::smatch m;
    if (!std::regex_match(text, m, kPoint))
        throw HostError(Describe(input) + ": " + Quoted(text) + " is not a point X,Y in pixels");
    const int x = std::stoi(m[1].str()), y = std::stoi(m[2].str());
    const int width = row.control.right - row.control.left, height = row.control.bottom - row.control.top;
    if (x < 0 || y < 0 || x >= width || y >= height)
        throw HostError(Describe(input) + ": " + text + " lies outside the row's " + std::to_string(width) + " x " +
                        std::to_string(height) + " area (X 0-" + std::to_string(width - 1) + ", Y 0-" +
                        std::to_string(height - 1) + ")");
    return {row.control.left + x, row.control.top + y};
}

PlannedInput Plan(host::EffectInstance& effect, const host::PanelLayout& layout, const PanelInput& input)
{
    int index = 0;
    try {
        index = effect.Resolve(input.row);
    } catch (const HostError& e) {
        throw HostError(Describe(input) + ": " + e.what());
    }
    const host::PanelRow* row = layout.Find(index);
    if (!row) throw HostError(Describe(input) + ": the row is not shown in the panel");
    if (!row->HasControl())
        throw HostError(Describe(input) + ": the effect does not draw this row; only its custom rows take the mouse");
    PlannedInput planned{&input, row, index, {}};
    for (const std::string& p : input.points) planned.points.push_back(ParsePoint(input, p, *row));
    return planned;
}

// A click, or a press at the first point dragged through the others.
PF_Err Send(host::EffectWindow& window, const PlannedInput& p)
{
    const PF_Modifiers modifiers = p.input->alt ? PF_Mod_OPT_ALT_KEY : PF_Mod_NONE;
    const auto press = window.Click(p.index, p.row->control, p.points.front(), modifiers);
    if (press.err || p.points.size() == 1) return press.err;
    if (!press.sendDrag) {
        std::cerr << "strandel: warning: " << Describe(*p.input) << ": the effect took no drag at "
                  << p.input->points.front() << "\n";
        return PF_Err_NONE;
    }
    for (std::size_t i = 1; i < p.points.size(); ++i)
        if (PF_Err err = window.Drag(p.index, p.row->control, p.points[i], i + 1 == p.points.size())) return err;
    return PF_Err_NONE;
}

// Each "Param=value" as a user sets it in the panel: the value, then what the compositor sends.
void ApplyPanelSets(host::EffectInstance& effect, const host::Composition& comp, const std::vector<std::string>& sets,
                    std::vector<std::string>& warnings)
{
    for (const std::string& set : sets) {
        ApplySets(effect, comp, {set}, warnings);
        const std::string name = set.substr(0, set.find('='));
        effect.changedInPanel.insert(host::SceneParamIndex(effect, name));
        if (PF_Err err = effect.ReportUserChange(effect.Resolve(name)))
            throw HostError("--set " + Quoted(set) + ": the effect refused the change with " + host::ErrorName(err));
    }
}

host::Effect& SceneEffectOf(host::Host& host, const host::EffectInstance& effect)
{
    for (host::Composition& comp : host.project().comps)
        for (host::Layer& layer : comp.layers)
            if (&layer == effect.layer) return layer.effects.at(effect.effectIndex);
    throw HostError("the effect's layer is not in the project");
}

void CheckDestinations(const PanelArgs& args)
{
    if (args.output.empty() && args.save.empty()) throw HostError("give -o PANEL.png, --save NEW_SCENE, or both");
    if (!args.output.empty() && !IsPng(args.output))
        throw HostError("-o " + args.output + ": the panel is written as PNG; the file name must end in .png");
    std::error_code ec;
    if (!args.save.empty() && std::filesystem::equivalent(args.scenePath, args.save, ec))
        throw HostError("--save names the input scene; write the edited scene to a new file");
}

} // namespace

int RunPanel(const CommonOptions& common, const PanelArgs& args)
{
    CheckDestinations(args);
    std::vector<std::string> warnings;
    host::LoadedScene scene = host::LoadScene(args.scenePath);
    warnings.insert(warnings.end(), scene.warnings.begin(), scene.warnings.end());
    host::Host host(host::HostOptions{common.pluginPath});
    if (PF_Err err = host.GlobalSetup()) throw HostError("global setup failed with " + host::ErrorName(err));
    host.OpenProject(std::move(scene.project), &warnings);
    host::EffectInstance& effect = FindEffect(host, args.comp, args.layer);
    const host::Composition& comp = *host.project().CompOfLayer(*effect.layer);
    host.activeComp = &comp;
    ApplyPanelSets(effect, comp, args.sets, warnings);
    if (args.afterRender) { // a frame inside the comp
        RenderArgs frame;
        frame.frame = args.afterRender;
        FramesToRender(frame, comp);
    }
    for (const std::string& w : warnings) std::cerr << "strandel: warning: " << w << "\n";

    if (args.afterRender) {
        const host::FrameResult frame = host::RenderEffectFrame(effect, {*args.afterRender});
        if (frame.err) {
            std::cerr << "strandel: frame " << *args.afterRender << " failed: " << host::ErrorName(frame.err) << "\n";
            return 1;
        }
    }

    host::EffectWindow window(effect);
    effect.UpdateParamsUI(); // the panel is shown
    const host::PanelOptions options{.storedTwirls = args.storedTwirls};
    host::PanelLayout layout = host::LayOutPanel(effect, options);
    std::vector<PlannedInput> planned;
    for (const PanelInput& input : args.inputs) planned.push_back(Plan(effect, layout, input));
    for (const PlannedInput& p : planned) {
        if (PF_Err err = Send(window, p)) {
            std::cerr << "strandel: " << Describe(*p.input) << ": the effect failed with " << host::ErrorName(err)
                      << "; nothing was written\n";
            return 1;
        }
    }

    if (!args.save.empty()) {
        const host::LayerNameById layerNames = [&comp](A_long id) -> std::optional<std::string> {
            for (const host::Layer& l : comp.layers)
                if (l.id == id) return l.name;
            return std::nullopt;
        };
        host::StoreSceneParams(effect, SceneEffectOf(host, effect), effect.changedInPanel, layerNames);
        host::SaveScene(host.project(), args.save);
        std::cout << "wrote " << args.save << "\n";
    }
    if (args.output.empty()) return 0;
    layout = host::LayOutPanel(effect, options);
    const host::PanelPicture picture = host::DrawPanel(window, layout, host.currentSeconds);
    host::WritePng(args.output, picture.image);
    std::cout << "wrote " << args.output << " (" << layout.width << " x " << layout.height << ")\n";
    for (const std::string& problem : picture.problems) std::cerr << "strandel: " << problem << "\n";
    return picture.problems.empty() ? 0 : 1;
}

} // namespace strandel::cli
