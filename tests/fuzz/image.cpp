// Any bytes as a source image file, through the PNG and OpenEXR readers: libspng and OpenEXR
// here, stb_image and tinyexr (the Windows build's) in the portable_image target.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/FuzzInput.h"
#include "host/image/ExrFile.h"
#include "host/image/PngFile.h"
#include "host/io/FileError.h"

namespace {

using namespace strandel::host;
using strandel::fuzz::Require;

// The readers take files: each input goes to one of this process's own.
const std::filesystem::path& InputFile()
{
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("strandel-fuzz-image-" + std::to_string(::getpid()));
    return file;
}

void Check(const Image& image)
{
    Require(image.Width() >= 1 && image.Height() >= 1);
    // Every pixel is there to read.
    volatile double sum = 0;
    for (int y = 0; y < image.Height(); ++y) {
        sum = sum + image.Get(0, y).a;
        sum = sum + image.Get(image.Width() - 1, y).a;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::ofstream(InputFile(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        const ImageSize header = ReadPngSize(InputFile());
        const Image png = ReadPng(InputFile());
        Check(png);
        Require(png.Width() == header.width && png.Height() == header.height);
    } catch (const FileError&) {
    }
    try {
        Check(ReadExr(InputFile()));
    } catch (const FileError&) {
    }
    return 0;
}
