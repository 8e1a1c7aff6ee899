#include <io.h>
#include <process.h>
#include <windows.h>

#include <cstdio>

#include "host/platform/Platform.h"

namespace strandel::host::platform {
namespace {

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    // Some messages leave their subject as "%1"; the caller has named the file already.
    for (auto at = message.find("%1"); at != std::string::npos; at = message.find("%1"))
        message.replace(at, 2, "the file");
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

} // namespace

void* OpenLibrary(const std::string& path, std::string& why)
{
    HMODULE library = LoadLibraryW(std::filesystem::path(path).wstring().c_str());
    if (!library) why = LastErrorText();
    return library;
}

void* FindSymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

int ProcessId() { return _getpid(); }

std::filesystem::path ExecutableDir()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return std::filesystem::path(path.substr(0, n)).parent_path();
        path.resize(path.size() * 2);
    }
}

bool StderrIsTerminal() { return _isatty(_fileno(stderr)); }

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to, std::string& why)
{
    // The C library's rename refuses an existing target here; this replaces it in one step.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    why = LastErrorText();
    return false;
}

} // namespace strandel::host::platform
