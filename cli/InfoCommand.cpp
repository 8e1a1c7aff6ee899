#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "host/Host.h"
#include "host/HostError.h"
#include "host/scene/SceneReader.h"

namespace strandel::cli {
namespace {

std::string KindName(A_long kind)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((kind >> shift) & 0xFF);
    return s;
}

std::string AboutText(host::Host& host)
{
    PF_InData in = host.BaseInData();
    PF_OutData out{};
    PF_Err err = host.Call(PF_Cmd_ABOUT, &in, &out, nullptr, nullptr, nullptr);
    if (err != PF_Err_NONE) throw host::HostError("About failed with " + host::ErrorName(err));
    std::string text(out.return_msg);
    for (char& c : text)
        if (c == '\r') c = '\n';
    return text;
}

const char* TypeName(PF_ParamType t)
{
    switch (t) {
    case PF_Param_LAYER: return "layer";
    case PF_Param_SLIDER: return "int slider";
    case PF_Param_ANGLE: return "angle";
    case PF_Param_CHECKBOX: return "checkbox";
    case PF_Param_POPUP: return "popup";
    case PF_Param_NO_DATA: return "custom row";
    case PF_Param_FLOAT_SLIDER: return "float slider";
    case PF_Param_ARBITRARY_DATA: return "arbitrary data";
    case PF_Param_GROUP_START: return "group start";
    case PF_Param_GROUP_END: return "group end";
    case PF_Param_BUTTON: return "button";
    case PF_Param_POINT_3D: return "3D point";
    default: return "other";
    }
}

std::string Num(double v)
{
    std::ostringstream s;
    s << v;
    return s.str();
}

std::string RangeText(const PF_ParamDef& d)
{
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER: return Num(d.u.fs_d.valid_min) + ".." + Num(d.u.fs_d.valid_max);
    case PF_Param_SLIDER: return Num(d.u.sd.valid_min) + ".." + Num(d.u.sd.valid_max);
    case PF_Param_POPUP: return d.u.pd.u.namesptr ? d.u.pd.u.namesptr : "";
    default: return "";
    }
}

std::string DefaultText(const PF_ParamDef& d)
{
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER: return Num(d.u.fs_d.dephault);
    case PF_Param_SLIDER: return Num(d.u.sd.dephault);
    case PF_Param_ANGLE: return Num(d.u.ad.dephault / 65536.0);
    case PF_Param_CHECKBOX: return d.u.bd.dephault ? "on" : "off";
    case PF_Param_POPUP: return Num(d.u.pd.dephault);
    case PF_Param_LAYER: return "none";
    case PF_Param_POINT_3D: return "0, 0, 0";
    case PF_Param_ARBITRARY_DATA: return "default curve";
    case PF_Param_GROUP_START: return (d.flags & PF_ParamFlag_COLLAPSE_TWIRLY) ? "collapsed" : "expanded";
    default: return "";
    }
}

std::string Visibility(const PF_ParamDef& d)
{
    if (d.ui_flags & PF_PUI_NO_ECW_UI) return "never shown";
    if (d.ui_flags & PF_PUI_INVISIBLE) return "hidden";
    return "shown";
}

void PrintParameters(host::Host& host)
{
    host::EffectInstance& effect = host.AddInstance();
    std::cout << "\nParameters (" << effect.reportedParamCount() << " reported, index 0 is the input layer):\n";
    char line[256];
    std::snprintf(line, sizeof line, "%5s %5s  %-32s %-15s %-38s %-14s %s\n", "index", "ID", "name", "type",
                  "valid range / choices", "default", "visibility");
    std::cout << line;
    for (int i = 0; i < effect.paramCount(); ++i) {
        const PF_ParamDef& d = effect.param(i).def;
        std::snprintf(line, sizeof line, "%5d %5d  %-32s %-15s %-38s %-14s %s\n", i, static_cast<int>(d.uu.id), d.name,
                      TypeName(d.param_type), RangeText(d).c_str(), DefaultText(d).c_str(), Visibility(d).c_str());
        std::cout << line;
    }
}

void PrintScene(host::Host& host, const std::string& path)
{
    host::LoadedScene scene = host::LoadScene(path);
    std::vector<std::string> warnings = scene.warnings;
    host.OpenProject(std::move(scene.project), &warnings);
    for (const std::string& w : warnings) std::cerr << "strandel: warning: " << w << "\n";
    for (const host::Composition& comp : host.project().comps) {
        std::cout << "\nComp \"" << comp.name << "\": " << comp.width << " x " << comp.height << ", " << comp.frameRate
                  << " fps, " << comp.duration << " s (" << comp.FrameCount() << " frames)\n";
        for (const host::Layer& layer : comp.layers) {
            std::cout << "  " << comp.IndexOf(layer) << "  " << layer.name << "  (" << host::LayerTypeName(layer.type)
                      << (layer.threeD ? ", 3D" : "") << (layer.enabled ? "" : ", disabled");
            if (const host::Layer* parent = host.project().ParentOf(layer)) std::cout << ", parent " << parent->name;
            std::cout << ")";
            for (const host::Effect& effect : layer.effects) std::cout << "  [" << effect.name << "]";
            std::cout << "\n";
        }
    }
}

} // namespace

int RunInfo(const CommonOptions& common, const InfoOptions& options)
{
    host::Host host(host::HostOptions{common.pluginPath});
    PF_Err err = host.GlobalSetup();
    if (err != PF_Err_NONE) throw host::HostError("global setup failed with " + host::ErrorName(err));
    const host::Registration& r = host.registration();
    const PF_OutData& g = host.globalSetupOutput();
    std::cout << "Plug-in:       " << host.registration().name << " (" << common.pluginPath << ")\n"
              << "Match name:    " << r.matchName << "\n"
              << "Category:      " << r.category << "\n"
              << "Entry point:   " << r.entryPointName << "\n"
              << "Kind:          '" << KindName(r.kind) << "'\n"
              << "API version:   " << r.apiMajor << "." << r.apiMinor << "\n"
              << "Support URL:   " << r.supportUrl << "\n";
    char flags[96];
    std::snprintf(flags, sizeof flags, "Version:       0x%08X  flags 0x%08X  flags2 0x%08X\n",
                  static_cast<unsigned>(g.my_version), static_cast<unsigned>(g.out_flags),
                  static_cast<unsigned>(g.out_flags2));
    std::cout << flags << "\n" << AboutText(host) << "\n";
    PrintParameters(host);
    if (!options.scenePath.empty()) PrintScene(host, options.scenePath);
    return 0;
}

} // namespace strandel::cli
