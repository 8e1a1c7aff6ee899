#include "host/image/ExrFile.h"

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>

#include <exception>
#include <string>
#include <vector>

#include "host/io/AtomicWrite.h"
#include "host/io/FileError.h"

namespace strandel::host {
namespace {

constexpr const char* kChannelNames[4] = {"R", "G", "B", "A"};

// Planar float buffers, one per channel, in R, G, B, A order.
struct FloatPlanes {
    int width, height;
    std::vector<float> planes[4];

    FloatPlanes(int w, int h) : width(w), height(h)
    {
        for (auto& plane : planes) plane.assign(static_cast<std::size_t>(w) * h, 0.0f);
    }

    // OpenEXR addresses a channel through a base pointer shifted to the data window's origin.
    Imf::FrameBuffer Describe(int originX, int originY)
    {
        Imf::FrameBuffer frame;
        const std::ptrdiff_t shift = static_cast<std::ptrdiff_t>(originY) * width + originX;
        for (int c = 0; c < 4; ++c)
            frame.insert(kChannelNames[c],
                         Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(planes[c].data() - shift), sizeof(float),
                                    sizeof(float) * width, 1, 1, c == 3 ? 1.0 : 0.0));
        return frame;
    }
};

} // namespace

void WriteExr(const std::filesystem::path& file, const Image& image)
{
    FloatPlanes planes(image.Width(), image.Height());
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const PixelValue p = image.Get(x, y);
            const std::size_t i = static_cast<std::size_t>(y) * image.Width() + x;
            planes.planes[0][i] = static_cast<float>(p.r * p.a);
            planes.planes[1][i] = static_cast<float>(p.g * p.a);
            planes.planes[2][i] = static_cast<float>(p.b * p.a);
            planes.planes[3][i] = static_cast<float>(p.a);
        }
    WriteThroughTemporary(file, [&](const std::filesystem::path& temporary) {
        try {
            Imf::Header header(image.Width(), image.Height());
            for (const char* name : kChannelNames) header.channels().insert(name, Imf::Channel(Imf::FLOAT));
            Imf::OutputFile out(temporary.c_str(), header);
            out.setFrameBuffer(planes.Describe(0, 0));
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
        const int width = window.max.x - window.min.x + 1;
        const int height = window.max.y - window.min.y + 1;
        FloatPlanes planes(width, height);
        in.setFrameBuffer(planes.Describe(window.min.x, window.min.y));
        in.readPixels(window.min.y, window.max.y);

        Image image(width, height, PixelDepth::Float);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * width + x;
                const double a = planes.planes[3][i];
                const double unpremultiply = a > 0 ? 1.0 / a : 1.0;
                image.Set(x, y, {a, planes.planes[0][i] * unpremultiply, planes.planes[1][i] * unpremultiply,
                                 planes.planes[2][i] * unpremultiply});
            }
        return image;
    } catch (const std::exception& e) {
        throw FileError(file, std::string("cannot read OpenEXR: ") + e.what());
    }
}

} // namespace strandel::host
