#pragma once
#include <filesystem>
#include <string>

namespace strandel::host {

// The whole file; FileError when it cannot be opened or read.
std::string ReadWholeFile(const std::filesystem::path& file);

} // namespace strandel::host
