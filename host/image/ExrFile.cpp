#include "host/image/ExrFile.h"

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>

#include <cstdint>
#include <exception>
#include <string>

#include "host/image/CodecPixels.h"
#include "host/io/AtomicWrite.h"
#include "host/io/FileError.h"

namespace strandel::host {
namespace {

constexpr const char* kChannelNames[4] = {"R", "G", "B", "A"};

// OpenEXR addresses a channel through a base pointer shifted to the data window's origin.
Imf::FrameBuffer Describe(FloatPlanes& planes, int originX, int originY)
{
    Imf::FrameBuffer frame;
    const std::ptrdiff_t shift = static_cast<std::ptrdiff_t>(originY) * planes.width + originX;
    for (int c = 0; c < 4; ++c)
        frame.insert(kChannelNames[c],
                     Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(planes.planes[c].data() - shift), sizeof(float),
                                sizeof(float) * planes.width, 1, 1, c == 3 ? 1.0 : 0.0));
    return frame;
}

} // namespace

void WriteExr(const std::filesystem::path& file, const Image& image)
{
    FloatPlanes planes = PremultipliedPlanes(image);
    WriteThroughTemporary(file, [&](const std::filesystem::path& temporary) {
        try {
            Imf::Header header(image.Width(), image.Height());
            for (const char* name : kChannelNames) header.channels().insert(name, Imf::Channel(Imf::FLOAT));
            Imf::OutputFile out(temporary.c_str(), header);
            out.setFrameBuffer(Describe(planes, 0, 0));
            out.writePixels(image.Height());
        } catch (const std::exception& e) {
            throw FileError(file, std::string("cannot write OpenEXR: ") + e.what());
        }
    });
}

Image ReadExr(const std::filesystem::path& file)
{
    try {
        Imf::InputFile in(file.c_str());
        const Imath::Box2i window = in.header().dataWindow();
        const std::int64_t wide = std::int64_t(window.max.x) - window.min.x + 1;
        const std::int64_t high = std::int64_t(window.max.y) - window.min.y + 1;
        CheckImageSides(file, wide, high);
        const int width = static_cast<int>(wide), height = static_cast<int>(high);
        FloatPlanes planes(width, height);
        in.setFrameBuffer(Describe(planes, window.min.x, window.min.y));
        in.readPixels(window.min.y, window.max.y);
        return ImageFromPremultiplied(planes);
    } catch (const FileError&) {
        throw;
    } catch (const std::exception& e) {
        throw FileError(file, std::string("cannot read OpenEXR: ") + e.what());
    }
}

} // namespace strandel::host
