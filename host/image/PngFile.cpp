#include "host/image/PngFile.h"

#include <spng.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/image/CodecPixels.h"
#include "host/io/AtomicWrite.h"
#include "host/io/FileError.h"
#include "host/io/ReadFile.h"

namespace strandel::host {
namespace {

using SpngContext = std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)>;

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
        CheckPngFits(file, header.width, header.height, bytes.size());
    }
};

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
    return ImageFromPngSamples(rgba.data(), static_cast<int>(png.header.width), static_cast<int>(png.header.height),
                               deep);
}

void WritePng(const std::filesystem::path& file, const Image& image)
{
    std::vector<unsigned char> rgba = PngSamples(image, file);
    SpngContext ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    if (!ctx) throw FileError(file, "out of memory");
    Check(spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1), file, "cannot encode");
    spng_ihdr header{};
    header.width = static_cast<std::uint32_t>(image.Width());
    header.height = static_cast<std::uint32_t>(image.Height());
    header.bit_depth = image.Depth() == PixelDepth::Sixteen ? 16 : 8;
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
