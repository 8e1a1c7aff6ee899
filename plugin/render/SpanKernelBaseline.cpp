// The pixel loop compiled for the SSE2 baseline, the choice between the builds, and the
// single-pixel operations, which run the same lane arithmetic on one lane.
#include "render/SpanKernel.h"

#include "render/RasterPaths.h"

namespace strandel {

bool IsRasterPathAvailable(RasterPath path)
{
    if (path == RasterPath::Avx2) {
        // Also checks that the system saves the wide registers across thread switches.
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
    }
    return true;
}

RasterPath FastestRasterPath()
{
    static const RasterPath fastest = IsRasterPathAvailable(RasterPath::Avx2) ? RasterPath::Avx2 : RasterPath::Baseline;
    return fastest;
}

void FillTriangleBaseline(const TriangleSetup& setup, const ImageView& output, PixelFormat sourceFormat,
                          const TexelSource& source, double opacity, double* depthValues)
{
    FillTriangle(setup, output, sourceFormat, source, opacity, depthValues);
}

TexelSource PairedTexels(const ImageView& image, std::vector<std::byte>& padding)
{
    TexelSource t{image.data, image.rowBytes, image.width - 1, image.height - 1, image.width - 2, image.height - 2};
    if (image.width > 1 && image.height > 1) return t;
    // Two columns and at least two rows, each texel repeated where the image has only one.
    const std::ptrdiff_t pixelBytes = BytesPerPixel(image.format);
    const int32_t columns = image.width > 1 ? image.width : 2, rows = image.height > 1 ? image.height : 2;
    const std::ptrdiff_t rowBytes = columns * pixelBytes;
    padding.resize(static_cast<std::size_t>(rowBytes) * rows);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < columns; ++x)
            std::memcpy(padding.data() + y * rowBytes + x * pixelBytes,
                        image.Row(y < image.height ? y : 0) + (x < image.width ? x : 0) * pixelBytes, pixelBytes);
    return {padding.data(), rowBytes, t.lastColumn, t.lastRow, columns - 2, rows - 2};
}

namespace {

// One pixel in the first of kLanes, copied in and out, so that nothing beside it is touched.
template <class Format>
struct OnePixel {
    std::byte lanes[kLanes * Format::kPixelBytes] = {};

    explicit OnePixel(const std::byte* pixel) { std::memcpy(lanes, pixel, Format::kPixelBytes); }
    typename Format::Raw Raw() const { return Format::Load(lanes); }
    void WriteTo(std::byte* pixel, const typename Format::Raw& raw)
    {
        Format::Store(lanes, raw);
        std::memcpy(pixel, lanes, Format::kPixelBytes);
    }
};

} // namespace

void BlendPixelOver(const ImageView& output, int64_t x, int64_t y, const Colour& colour)
{
    if (!output.data || !output.Contains(x, y) || !(colour.a > 0)) return;
    const double s = colour.a < 1 ? colour.a : 1;
    const Coverage src = {Splat(s), Splat(s * colour.r), Splat(s * colour.g), Splat(s * colour.b)};
    WithFormat(output.format, [&]<class Format>(Format) {
        std::byte* pixel = output.Row(static_cast<int32_t>(y)) + x * Format::kPixelBytes;
        OnePixel<Format> one(pixel);
        one.WriteTo(pixel, CompositeOver<Format>(src, Format::Unpack(one.Raw())));
    });
}

} // namespace strandel
