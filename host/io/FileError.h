// A failure reading or writing a file; the message names the file and what failed.
#pragma once
#include <filesystem>
#include <stdexcept>
#include <string>

namespace strandel::host {

class FileError : public std::runtime_error {
public:
    FileError(const std::filesystem::path& file, const std::string& what)
        : std::runtime_error(file.string() + ": " + what), file_(file)
    {
    }
    const std::filesystem::path& File() const { return file_; }

private:
    std::filesystem::path file_;
};

} // namespace strandel::host
