// Pixels laid out as the image files hold them, shared by the codecs of every build: PNG takes
// interleaved RGBA samples, OpenEXR premultiplied float planes.
#pragma once
#include <filesystem>
#include <vector>

#include "host/image/Image.h"

namespace strandel::host {

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
