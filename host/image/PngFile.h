// PNG files: libspng here, stb_image and zlib in the Windows build. Errors are FileError naming
// the file and what failed.
#pragma once
#include <filesystem>

#include "host/image/Image.h"

namespace strandel::host {

struct ImageSize {
    int width = 0;
    int height = 0;
    bool operator==(const ImageSize&) const = default;
};

// 8-bit PNGs give 8-bit images; 16-bit ones give 16-bit images with v -> round(v x 32768 / 65535).
// Grey, grey + alpha, palette and RGB inputs are expanded to ARGB (opaque without alpha).
Image ReadPng(const std::filesystem::path& file);
// The header only.
ImageSize ReadPngSize(const std::filesystem::path& file);

// 8-bit images as 8-bit RGBA, 16-bit ones as 16-bit RGBA with v -> round(v x 65535 / 32768).
// Float images are refused (they go to OpenEXR). Written atomically.
void WritePng(const std::filesystem::path& file, const Image& image);

} // namespace strandel::host
