// The operating-system calls of the host and the command, one implementation per platform.
#pragma once
#include <filesystem>
#include <string>

namespace strandel::host::platform {

// A shared library loaded with its symbols resolved now; nullptr with `why` filled in on failure.
void* OpenLibrary(const std::string& path, std::string& why);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);

int ProcessId();
// The folder of the running program, so that it finds what ships beside it wherever it is copied.
std::filesystem::path ExecutableDir();
bool StderrIsTerminal();

// Renames `from` over `to` in one step, replacing `to` when it exists; false with `why` on failure.
bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to, std::string& why);

} // namespace strandel::host::platform
