#include "host/image/PngFile.h"

#include <spng.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/io/AtomicWrite.h"
#include "host/io/FileError.h"

namespace strandel::host {
namespace {

using SpngContext = std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)>;

std::string ReadWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw FileError(file, "cannot open the file");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw FileError(file, "reading failed");
    return bytes;
}

void Check(int err, const std::filesystem::path& file, const char* step)
{
    if (err != 0) throw FileError(file, std::string(step) + ": " + spng_strerror(err));
}

struct PngDecoder {
    std::string bytes;
    SpngContext ctx{spng_ctx_new(0), spng_ctx_free};
    spng_ihdr header{};

    explicit PngDecoder(const std::filesystem::path& file) : bytes(ReadWholeFile(file))
    {
        if (!ctx) throw FileError(file, "out of memory");
        Check(spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size()), file, "not a readable PNG");
        Check(spng_get_ihdr(ctx.get(), &header), file, "not a readable PNG");
    }
};

// Rounded integer rescaling: round(v x to / from).
std::uint16_t Rescale(std::uint64_t v, std::uint64_t to, std::uint64_t from)
{
    return static_cast<std::uint16_t>((2 * v * to + from) / (2 * from));
}
std::uint16_t PngToHost16(std::uint16_t v) { return Rescale(v, 32768, 65535); }
std::uint16_t HostToPng16(std::uint16_t v) { return Rescale(v > 32768 ? 32768 : v, 65535, 32768); }

} // namespace

ImageSize ReadPngSize(const std::filesystem::path& file)
{
    PngDecoder png(file);
    return {static_cast<int>(png.header.width), static_cast<int>(png.header.height)};
}

Image ReadPng(const std::filesystem::path& file)
{
    PngDecoder png(file);
    const bool deep = png.header.bit_depth == 16;
    const int format = deep ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8;
    std::size_t size = 0;
    Check(spng_decoded_image_size(png.ctx.get(), format, &size), file, "cannot decode");
    std::vector<unsigned char> rgba(size);
    Check(spng_decode_image(png.ctx.get(), rgba.data(), size, format, SPNG_DECODE_TRNS), file, "cannot decode");

    const int width = static_cast<int>(png.header.width);
    const int height = static_cast<int>(png.header.height);
    Image image(width, height, deep ? PixelDepth::Sixteen : PixelDepth::Eight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
            if (deep) {
                const auto* s = reinterpret_cast<const std::uint16_t*>(rgba.data()) + i;
                auto* d = image.PixelAt<std::uint16_t>(x, y);
                d[0] = PngToHost16(s[3]);
                for (int c = 0; c < 3; ++c) d[1 + c] = PngToHost16(s[c]);
            } else {
                const unsigned char* s = rgba.data() + i;
                auto* d = image.PixelAt<std::uint8_t>(x, y);
                d[0] = s[3];
                for (int c = 0; c < 3; ++c) d[1 + c] = s[c];
            }
        }
    return image;
}

void WritePng(const std::filesystem::path& file, const Image& image)
{
    if (image.Depth() == PixelDepth::Float)
        throw std::invalid_argument("float images are written as OpenEXR, not PNG: " + file.string());
    const bool deep = image.Depth() == PixelDepth::Sixteen;
    const int width = image.Width();
    const int height = image.Height();
    const std::size_t channelBytes = deep ? 2 : 1;
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4 * channelBytes);
    for (int y = 0; y < height; ++y)
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

    SpngContext ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    if (!ctx) throw FileError(file, "out of memory");
    Check(spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1), file, "cannot encode");
    spng_ihdr header{};
    header.width = static_cast<std::uint32_t>(width);
    header.height = static_cast<std::uint32_t>(height);
    header.bit_depth = deep ? 16 : 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    Check(spng_set_ihdr(ctx.get(), &header), file, "cannot encode");
    Check(spng_encode_image(ctx.get(), rgba.data(), rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE), file,
          "cannot encode");
    std::size_t length = 0;
    int err = 0;
    std::unique_ptr<void, decltype(&std::free)> encoded(spng_get_png_buffer(ctx.get(), &length, &err), std::free);
    Check(err, file, "cannot encode");
    WriteFileAtomically(file, {static_cast<const char*>(encoded.get()), length});
}

} // namespace strandel::host
