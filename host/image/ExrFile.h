// Float images as OpenEXR: RGBA 32-bit float channels, colour premultiplied in the file.
#pragma once
#include <filesystem>

#include "host/image/Image.h"

namespace strandel::host {

// Any depth is accepted and written as float; written atomically. Errors are FileError.
void WriteExr(const std::filesystem::path& file, const Image& image);

// A float image with straight colour (divided by alpha where alpha > 0). Missing channels
// read as 0 for colour and 1 for alpha.
Image ReadExr(const std::filesystem::path& file);

} // namespace strandel::host
