#include <dlfcn.h>
#include <unistd.h>

#include "host/platform/Platform.h"

namespace strandel::host::platform {

void* OpenLibrary(const std::string& path, std::string& why)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) why = dlerror();
    return library;
}

void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) { dlclose(library); }

int ProcessId() { return static_cast<int>(::getpid()); }

std::filesystem::path ExecutableDir() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO); }

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to, std::string& why)
{
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (ec) why = ec.message();
    return !ec;
}

} // namespace strandel::host::platform
