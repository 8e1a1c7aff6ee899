#include <cstdio>
#include <iostream>
#include <string>

#include "cli/Commands.h"
#include "host/Host.h"
#include "host/HostError.h"

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

} // namespace

int RunInfo(const CommonOptions& common, const InfoOptions&)
{
    host::Host host({common.pluginPath});
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
    return 0;
}

} // namespace strandel::cli
