#include "host/PluginLibrary.h"

#include "host/HostError.h"
#include "host/platform/Platform.h"

namespace strandel::host {
namespace {

PF_Err RecordRegistration(void* inPtr, const A_char* name, const A_char* matchName, const A_char* category,
                          const A_char* entryPoint, A_long kind, A_long apiMajor, A_long apiMinor, A_long reserved,
                          const A_char* supportUrl)
{
    auto* r = static_cast<Registration*>(inPtr);
    auto str = [](const A_char* s) { return s ? std::string(s) : std::string(); };
    r->hostPtr = inPtr;
    r->name = str(name);
    r->matchName = str(matchName);
    r->category = str(category);
    r->entryPointName = str(entryPoint);
    r->kind = kind;
    r->apiMajor = apiMajor;
    r->apiMinor = apiMinor;
    r->reservedInfo = reserved;
    r->supportUrl = str(supportUrl);
    ++r->calls;
    return PF_Err_NONE;
}

} // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path)
{
    std::string why;
    handle_ = platform::OpenLibrary(path, why);
    if (!handle_) throw HostError("cannot load plug-in " + path + ": " + why);
    auto fail = [&](const std::string& what) {
        platform::CloseLibrary(handle_);
        handle_ = nullptr;
        throw HostError("plug-in " + path + " " + what);
    };
    auto dataEntry =
        reinterpret_cast<PF_PluginDataEntryFunc2>(platform::FindSymbol(handle_, "PluginDataEntryFunction2"));
    if (!dataEntry) fail("does not export PluginDataEntryFunction2");
    Register(dataEntry, fail);
    entry_ = reinterpret_cast<PF_EffectMainFunc>(platform::FindSymbol(handle_, registration_.entryPointName.c_str()));
    if (!entry_) fail("does not export its entry point '" + registration_.entryPointName + "'");
}

PluginLibrary::PluginLibrary(const LinkedPlugin& linked) : path_("(linked in)"), entry_(linked.main)
{
    auto fail = [&](const std::string& what) -> void { throw HostError("the linked-in plug-in " + what); };
    if (!linked.dataEntry || !linked.main) fail("lacks an entry point");
    Register(linked.dataEntry, fail);
}

template <typename Fail>
void PluginLibrary::Register(PF_PluginDataEntryFunc2 dataEntry, Fail fail)
{
    PF_Err err = dataEntry(&registration_, RecordRegistration, nullptr, "Strandel Host", "1.0");
    if (err != PF_Err_NONE) fail("refused registration with " + ErrorName(err));
    if (registration_.calls != 1) fail("did not register exactly once");
}

PluginLibrary::~PluginLibrary()
{
    if (handle_) platform::CloseLibrary(handle_);
}

} // namespace strandel::host
