// Writes that never leave a truncated file: the data goes to a temporary file in the same
// folder, which is renamed over the target only once it is complete.
#pragma once
#include <filesystem>
#include <functional>
#include <string_view>

namespace strandel::host {

// `write` fills the temporary file it is given; when it throws, the temporary file is removed,
// the target is left as it was and the exception propagates. Throws FileError when the
// temporary file cannot be created or renamed.
void WriteThroughTemporary(const std::filesystem::path& target,
                           const std::function<void(const std::filesystem::path& temporary)>& write);

void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

} // namespace strandel::host
