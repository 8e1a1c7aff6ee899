// Pixels laid out as the image files hold them, shared by the codecs of every build: PNG takes
// interleaved RGBA samples, OpenEXR premultiplied float planes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "host/image/Image.h"

namespace strandel::host {

// The compositor's largest layer, a side; no image file is read beyond it.
constexpr std::int64_t kMaxImageSide = 30000;

// Throws FileError unless the image a header claims has 1 to kMaxImageSide pixels a side.
void CheckImageSides(const std::filesystem::path& file, std::int64_t width, std::int64_t height);
// Deflate packs at most 1032 bytes into one: a PNG header claiming more rows than the whole
// file could unpack to (even at one bit a pixel) belongs to a cut or corrupt file. Throws
// FileError for it before its pixels are allocated, and for sides CheckImageSides refuses.
void CheckPngFits(const std::filesystem::path& file, std::int64_t width, std::int64_t height, std::uintmax_t fileBytes);

// 8-bit images as 8-bit RGBA; 16-bit ones as 16-bit RGBA (host-endian) with
// v -> round(v x 65535 / 32768). Float images throw std::invalid_argument naming `file`.
std::vector<unsigned char> PngSamples(const Image& image, const std::filesystem::path& file);

// The reverse, from 8-bit or host-endian 16-bit RGBA, with v -> round(v x 32768 / 65535).
Image ImageFromPngSamples(const unsigned char* rgba, int width, int height, bool deep);

// R, G, B and A planes of float samples, colour premultiplied by alpha.
struct FloatPlanes {
    int width, height;
    std::vector<float> planes[4];

    FloatPlanes(int w, int h);
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }
};

FloatPlanes PremultipliedPlanes(const Image& image);

// A float image with straight colour (divided by alpha where alpha > 0).
Image ImageFromPremultiplied(const FloatPlanes& planes);

} // namespace strandel::host
