// PNG files where libspng has no build: stb_image reads them, zlib compresses what this file
// writes (one IDAT chunk of unfiltered rows).
#include "host/image/PngFile.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/image/CodecPixels.h"
#include "host/io/AtomicWrite.h"
#include "host/io/FileError.h"
#include "host/io/ReadFile.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace strandel::host {
namespace {

[[noreturn]] void Unreadable(const std::filesystem::path& file)
{
    const char* why = stbi_failure_reason();
    throw FileError(file, std::string("not a readable PNG: ") + (why ? why : "unknown error"));
}

// The chunks as stb_image should see them. It allocates whatever length a chunk claims before
// finding the bytes missing, so a chunk running past the end of the file, or a file ending
// inside a chunk's header, is refused here. And it
// copies a first image-data chunk of no bytes from a buffer it has not allocated yet (a memcpy
// from a null pointer): such chunks carry nothing and are left out.
std::string CheckedChunks(std::string png, const std::filesystem::path& file)
{
    constexpr std::size_t kSignature = 8, kChunkFrame = 12; // length, type, then the CRC after the data
    std::string kept = png.substr(0, kSignature);
    std::size_t at = kSignature;
    while (at + kChunkFrame <= png.size()) {
        const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(png[i])); };
        const std::uint32_t length = byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
        if (length > png.size() - at - kChunkFrame)
            throw FileError(file,
                            "cut off or corrupt: a chunk of " + std::to_string(length) + " bytes runs past the end");
        const bool end = png.compare(at + 4, 4, "IEND") == 0;
        if (length != 0 || png.compare(at + 4, 4, "IDAT") != 0) kept.append(png, at, kChunkFrame + length);
        at += kChunkFrame + length;
        if (end) return kept;
    }
    if (at != png.size()) throw FileError(file, "cut off or corrupt: the file ends inside a chunk");
    return kept;
}

// The file's bytes, once its header is known to claim an image they can hold.
struct PngBytes {
    std::string bytes;
    ImageSize header;

    explicit PngBytes(const std::filesystem::path& file) : bytes(CheckedChunks(ReadWholeFile(file), file))
    {
        int channels = 0;
        if (bytes.size() > INT_MAX || !stbi_info_from_memory(data(), size(), &header.width, &header.height, &channels))
            Unreadable(file);
        CheckPngFits(file, header.width, header.height, bytes.size());
    }
    const stbi_uc* data() const { return reinterpret_cast<const stbi_uc*>(bytes.data()); }
    int size() const { return static_cast<int>(bytes.size()); }
};

void AppendBigEndian(std::string& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void AppendChunk(std::string& out, const char* type, const std::string& data)
{
    AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4).append(data);
    const auto* typed = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    AppendBigEndian(out, static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), typed, 4 + data.size())));
}

// `rgba` as PngSamples lays it out; 16-bit samples go into the file big-endian.
std::string EncodePng(const std::vector<unsigned char>& rgba, int width, int height, bool deep,
                      const std::filesystem::path& file)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4 * (deep ? 2 : 1);
    std::vector<unsigned char> rows;
    rows.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        rows.push_back(0); // filter: none
        const unsigned char* row = rgba.data() + y * rowBytes;
        if (!deep) {
            rows.insert(rows.end(), row, row + rowBytes);
            continue;
        }
        for (std::size_t i = 0; i < rowBytes; i += 2) {
            std::uint16_t sample;
            std::memcpy(&sample, row + i, 2);
            rows.push_back(static_cast<unsigned char>(sample >> 8));
            rows.push_back(static_cast<unsigned char>(sample & 0xFF));
        }
    }
    uLongf packedSize = compressBound(rows.size());
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, rows.data(), rows.size(),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        throw FileError(file, "cannot encode: compression failed");
    packed.resize(packedSize);

    std::string header;
    AppendBigEndian(header, static_cast<std::uint32_t>(width));
    AppendBigEndian(header, static_cast<std::uint32_t>(height));
    header += {static_cast<char>(deep ? 16 : 8), 6 /* RGBA */, 0, 0, 0};
    std::string png("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    return png;
}

} // namespace

ImageSize ReadPngSize(const std::filesystem::path& file) { return PngBytes(file).header; }

Image ReadPng(const std::filesystem::path& file)
{
    const PngBytes png(file);
    const bool deep = stbi_is_16_bit_from_memory(png.data(), png.size());
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<void, decltype(&stbi_image_free)> rgba(
        deep ? static_cast<void*>(stbi_load_16_from_memory(png.data(), png.size(), &width, &height, &channels, 4))
             : static_cast<void*>(stbi_load_from_memory(png.data(), png.size(), &width, &height, &channels, 4)),
        stbi_image_free);
    if (!rgba) Unreadable(file);
    return ImageFromPngSamples(static_cast<const unsigned char*>(rgba.get()), width, height, deep);
}

void WritePng(const std::filesystem::path& file, const Image& image)
{
    const std::vector<unsigned char> rgba = PngSamples(image, file);
    const bool deep = image.Depth() == PixelDepth::Sixteen;
    WriteFileAtomically(file, EncodePng(rgba, image.Width(), image.Height(), deep, file));
}

} // namespace strandel::host
