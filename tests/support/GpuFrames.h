// Small frames for the GPU tests, and the image helpers they compare with.
#pragma once
#include <array>
#include <random>
#include <utility>

#include "render/FrameDrawing.h"
#include "support/RandomScene.h"

namespace strandel::test {

// An image of one colour, given in units of full scale.
inline OwnedImage Uniform(int32_t width, int32_t height, PixelFormat format, const std::array<double, 4>& unit)
{
    const double full = FullScale(format);
    return Filled(width, height, format, {unit[0] * full, unit[1] * full, unit[2] * full, unit[3] * full});
}

// Row padding that no renderer may write.
inline void MarkPadding(OwnedImage& image)
{
    const ImageView& view = image.View();
    for (int32_t y = 0; y < view.height; ++y)
        for (std::ptrdiff_t i = view.width * BytesPerPixel(view.format); i < view.rowBytes; ++i)
            view.Row(y)[i] = std::byte{0xA5};
}

inline ScreenTriangle Entry(const SourceQuad* quad, ScreenVertex a, ScreenVertex b, ScreenVertex c, double opacity = 1)
{
    return {quad, a, b, c, a, opacity, (a.z + b.z + c.z) / 3};
}

// A small frame over two random textures: three triangles and a quad, overlapping and translucent.
struct SmallFrame {
    OwnedImage red, mixed, background;
    SourceQuad quads[2];
    TriangleList list;

    explicit SmallFrame(PixelFormat format, uint64_t seed = 7)
        : red(Uniform(6, 5, PixelFormat::Argb8, {0.8, 1, 0.2, 0.1})), mixed(9, 7, PixelFormat::Argb16, 4),
          background(30, 22, format, 8), quads{{red.View(), {}, 0, 0, 5, 4}, {mixed.View(), {}, 0, 0, 8, 6}}
    {
        std::mt19937_64 random(seed);
        FillRandom(mixed, random);
        FillRandom(background, random);
        MarkPadding(background);
        list.push_back(Entry(&quads[0], {2, 3, 5, 0, 0}, {25, 1, 4, 5, 0}, {12, 20, 6, 5, 4}, 0.7));
        list.push_back(Entry(&quads[1], {-4, 8, 2, 0, 0}, {28, 10, 3, 8, 0}, {6, 25, 2, 8, 6}));
        ScreenTriangle quad = Entry(&quads[1], {5, 2, 4, 0, 0}, {20, 4, 4, 8, 0}, {18, 19, 5, 8, 6}, 0.5);
        quad.D = {4, 17, 5, 0, 6};
        list.push_back(quad);
        list.push_back(Entry(&quads[0], {14, 0, 1, 0, 0}, {29, 21, 1, 5, 4}, {0, 21, 1, 0, 4}, 0.4));
    }
    // The quads point into the frame's own images.
    SmallFrame(const SmallFrame&) = delete;
    SmallFrame& operator=(const SmallFrame&) = delete;

    struct Drawn {
        ProcessingDevice device;
        OwnedImage image;
    };
    // The frame drawn over a copy of its background, with depth testing, as the frame render draws it.
    Drawn Draw(Renderer renderer, GpuRuntime* gpu) const
    {
        OwnedImage output = CopyOf(background);
        const ProcessingDevice device = DrawFrameTriangles(list, output.View(), true, renderer, {}, gpu);
        return {device, std::move(output)};
    }
};

} // namespace strandel::test
