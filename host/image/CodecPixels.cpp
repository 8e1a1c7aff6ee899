#include "host/image/CodecPixels.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "host/io/FileError.h"

namespace strandel::host {
namespace {

// Rounded integer rescaling: round(v x to / from).
std::uint16_t Rescale(std::uint64_t v, std::uint64_t to, std::uint64_t from)
{
    return static_cast<std::uint16_t>((2 * v * to + from) / (2 * from));
}
std::uint16_t PngToHost16(std::uint16_t v) { return Rescale(v, 32768, 65535); }
std::uint16_t HostToPng16(std::uint16_t v) { return Rescale(v > 32768 ? 32768 : v, 65535, 32768); }

} // namespace

void CheckImageSides(const std::filesystem::path& file, std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide)
        throw FileError(file, "the image claims " + std::to_string(width) + " x " + std::to_string(height) +
                                  " pixels; images have 1 to " + std::to_string(kMaxImageSide) + " a side");
}

void CheckPngFits(const std::filesystem::path& file, std::int64_t width, std::int64_t height, std::uintmax_t fileBytes)
{
    CheckImageSides(file, width, height);
    constexpr std::uintmax_t kDeflateMaxRatio = 1032;
    const std::uintmax_t leastRowBytes = 1 + (static_cast<std::uintmax_t>(width) + 7) / 8; // filter byte, 1 bit a pixel
    if (leastRowBytes * static_cast<std::uintmax_t>(height) > kDeflateMaxRatio * fileBytes)
        throw FileError(file, "cut off or corrupt: the header claims " + std::to_string(width) + " x " +
                                  std::to_string(height) + " pixels, more than the file's " +
                                  std::to_string(fileBytes) + " bytes can hold");
}

std::vector<unsigned char> PngSamples(const Image& image, const std::filesystem::path& file)
{
    if (image.Depth() == PixelDepth::Float)
        throw std::invalid_argument("float images are written as OpenEXR, not PNG: " + file.string());
    const bool deep = image.Depth() == PixelDepth::Sixteen;
    const int width = image.Width();
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * image.Height() * 4 * (deep ? 2 : 1));
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
            if (deep) {
                const auto* s = image.PixelAt<std::uint16_t>(x, y);
                auto* d = reinterpret_cast<std::uint16_t*>(rgba.data()) + i;
                for (int c = 0; c < 3; ++c) d[c] = HostToPng16(s[1 + c]);
                d[3] = HostToPng16(s[0]);
            } else {
                const auto* s = image.PixelAt<std::uint8_t>(x, y);
                unsigned char* d = rgba.data() + i;
                for (int c = 0; c < 3; ++c) d[c] = s[1 + c];
                d[3] = s[0];
            }
        }
    return rgba;
}

Image ImageFromPngSamples(const unsigned char* rgba, int width, int height, bool deep)
{
    Image image(width, height, deep ? PixelDepth::Sixteen : PixelDepth::Eight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
            if (deep) {
                const auto* s = reinterpret_cast<const std::uint16_t*>(rgba) + i;
                auto* d = image.PixelAt<std::uint16_t>(x, y);
                d[0] = PngToHost16(s[3]);
                for (int c = 0; c < 3; ++c) d[1 + c] = PngToHost16(s[c]);
            } else {
                const unsigned char* s = rgba + i;
                auto* d = image.PixelAt<std::uint8_t>(x, y);
                d[0] = s[3];
                for (int c = 0; c < 3; ++c) d[1 + c] = s[c];
            }
        }
    return image;
}

FloatPlanes::FloatPlanes(int w, int h) : width(w), height(h)
{
    for (auto& plane : planes) plane.assign(static_cast<std::size_t>(w) * h, 0.0f);
}

FloatPlanes PremultipliedPlanes(const Image& image)
{
    FloatPlanes planes(image.Width(), image.Height());
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const PixelValue p = image.Get(x, y);
            const std::size_t i = planes.Index(x, y);
            planes.planes[0][i] = static_cast<float>(p.r * p.a);
            planes.planes[1][i] = static_cast<float>(p.g * p.a);
            planes.planes[2][i] = static_cast<float>(p.b * p.a);
            planes.planes[3][i] = static_cast<float>(p.a);
        }
    return planes;
}

Image ImageFromPremultiplied(const FloatPlanes& planes)
{
    Image image(planes.width, planes.height, PixelDepth::Float);
    for (int y = 0; y < planes.height; ++y)
        for (int x = 0; x < planes.width; ++x) {
            const std::size_t i = planes.Index(x, y);
            const double a = planes.planes[3][i];
            const double unpremultiply = a > 0 ? 1.0 / a : 1.0;
            image.Set(x, y,
                      {a, planes.planes[0][i] * unpremultiply, planes.planes[1][i] * unpremultiply,
                       planes.planes[2][i] * unpremultiply});
        }
    return image;
}

} // namespace strandel::host
