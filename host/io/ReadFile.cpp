#include "host/io/ReadFile.h"

#include <fstream>
#include <iterator>

#include "host/io/FileError.h"

namespace strandel::host {

std::string ReadWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw FileError(file, "cannot open the file");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw FileError(file, "reading failed");
    return bytes;
}

} // namespace strandel::host
