#include "host/io/AtomicWrite.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "host/io/FileError.h"
#include "host/platform/Platform.h"

namespace strandel::host {
namespace {

// Unique among the threads and processes that might write beside the same target at once.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    std::string name = "." + target.filename().string() + ".tmp-" + std::to_string(platform::ProcessId()) + "-" +
                       std::to_string(counter.fetch_add(1));
    return target.parent_path() / name;
}

} // namespace

void WriteThroughTemporary(const std::filesystem::path& target,
                           const std::function<void(const std::filesystem::path& temporary)>& write)
{
    const std::filesystem::path temporary = TemporaryPathFor(target);
    try {
        write(temporary);
        std::string why;
        if (!platform::RenameOver(temporary, target, why)) throw FileError(target, "cannot replace the file: " + why);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes)
{
    WriteThroughTemporary(target, [&](const std::filesystem::path& temporary) {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw FileError(target, std::string("cannot create a file in its folder: ") + std::strerror(errno));
        errno = 0;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        // A full disk or the file size limit: the system's reason says which.
        if (!out)
            throw FileError(target, errno ? std::string("writing failed: ") + std::strerror(errno) : "writing failed");
    });
}

} // namespace strandel::host
