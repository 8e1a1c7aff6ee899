// OpenEXR files where the OpenEXR library has no build: tinyexr, on top of zlib.
#include "host/image/ExrFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "host/image/CodecPixels.h"
#include "host/io/AtomicWrite.h"
#include "host/io/FileError.h"
#include "host/io/ReadFile.h"

#define TINYEXR_IMPLEMENTATION
#define TINYEXR_USE_MINIZ 0
#define TINYEXR_USE_THREAD 0
#define TINYEXR_USE_OPENMP 0
#include <tinyexr.h>

namespace strandel::host {
namespace {

// tinyexr wants the channels in the file's (alphabetical) order: A, B, G, R.
constexpr const char* kFileOrder[4] = {"A", "B", "G", "R"};
constexpr int kPlaneOf[4] = {3, 2, 1, 0};

// tinyexr's error text, freed once copied.
[[noreturn]] void Fail(const std::filesystem::path& file, const char* step, const char* err)
{
    const std::string why = err ? err : "unknown error";
    if (err) FreeEXRErrorMessage(err);
    throw FileError(file, std::string(step) + ": " + why);
}

// Owns what tinyexr allocates while reading.
struct LoadedExr {
    EXRHeader header;
    EXRImage image;
    LoadedExr()
    {
        InitEXRHeader(&header);
        InitEXRImage(&image);
    }
    ~LoadedExr()
    {
        FreeEXRImage(&image);
        FreeEXRHeader(&header);
    }
    LoadedExr(const LoadedExr&) = delete;
    LoadedExr& operator=(const LoadedExr&) = delete;
};

int PlaneNamed(const char* name)
{
    for (int c = 0; c < 4; ++c)
        if (std::strcmp(name, kFileOrder[c]) == 0) return kPlaneOf[c];
    return -1;
}

} // namespace

void WriteExr(const std::filesystem::path& file, const Image& image)
{
    FloatPlanes planes = PremultipliedPlanes(image);
    EXRChannelInfo channels[4]{};
    int pixelTypes[4], requestedTypes[4];
    unsigned char* samples[4];
    for (int c = 0; c < 4; ++c) {
        std::strcpy(channels[c].name, kFileOrder[c]);
        pixelTypes[c] = requestedTypes[c] = TINYEXR_PIXELTYPE_FLOAT;
        samples[c] = reinterpret_cast<unsigned char*>(planes.planes[kPlaneOf[c]].data());
    }
    EXRHeader header;
    InitEXRHeader(&header);
    header.num_channels = 4;
    header.channels = channels;
    header.pixel_types = pixelTypes;
    header.requested_pixel_types = requestedTypes;
    header.compression_type = TINYEXR_COMPRESSIONTYPE_ZIP;
    EXRImage exr;
    InitEXRImage(&exr);
    exr.num_channels = 4;
    exr.images = samples;
    exr.width = image.Width();
    exr.height = image.Height();

    unsigned char* encoded = nullptr;
    const char* err = nullptr;
    const std::size_t size = SaveEXRImageToMemory(&exr, &header, &encoded, &err);
    std::unique_ptr<unsigned char, decltype(&std::free)> owned(encoded, std::free);
    if (size == 0) Fail(file, "cannot write OpenEXR", err);
    WriteFileAtomically(file, {reinterpret_cast<const char*>(encoded), size});
}

Image ReadExr(const std::filesystem::path& file)
{
    const std::string bytes = ReadWholeFile(file);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    EXRVersion version;
    if (ParseEXRVersionFromMemory(&version, data, bytes.size()) != TINYEXR_SUCCESS)
        throw FileError(file, "cannot read OpenEXR: not an OpenEXR file");
    if (version.tiled || version.multipart || version.non_image)
        throw FileError(file, "cannot read OpenEXR: only single-part scanline files are read");
    LoadedExr exr;
    const char* err = nullptr;
    if (ParseEXRHeaderFromMemory(&exr.header, &version, data, bytes.size(), &err) != TINYEXR_SUCCESS)
        Fail(file, "cannot read OpenEXR", err);
    const EXRBox2i& window = exr.header.data_window;
    CheckImageSides(file, std::int64_t(window.max_x) - window.min_x + 1, std::int64_t(window.max_y) - window.min_y + 1);
    for (int c = 0; c < exr.header.num_channels; ++c)
        if (exr.header.pixel_types[c] == TINYEXR_PIXELTYPE_HALF)
            exr.header.requested_pixel_types[c] = TINYEXR_PIXELTYPE_FLOAT;
    if (LoadEXRImageFromMemory(&exr.image, &exr.header, data, bytes.size(), &err) != TINYEXR_SUCCESS)
        Fail(file, "cannot read OpenEXR", err);

    FloatPlanes planes(exr.image.width, exr.image.height);
    std::fill(planes.planes[3].begin(), planes.planes[3].end(), 1.0f); // no alpha channel: opaque
    for (int c = 0; c < exr.header.num_channels; ++c) {
        const int plane = PlaneNamed(exr.header.channels[c].name);
        if (plane < 0) continue;
        const unsigned char* source = exr.image.images[c];
        const bool whole = exr.header.pixel_types[c] == TINYEXR_PIXELTYPE_UINT;
        for (std::size_t i = 0; i < planes.planes[plane].size(); ++i)
            planes.planes[plane][i] = whole ? static_cast<float>(reinterpret_cast<const std::uint32_t*>(source)[i])
                                            : reinterpret_cast<const float*>(source)[i];
    }
    return ImageFromPremultiplied(planes);
}

} // namespace strandel::host
