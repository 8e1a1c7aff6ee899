// Helpers for tests of the host and the command: scratch folders, raw PNGs, scenes on disk.
#pragma once
#include <gtest/gtest.h>
#include <spng.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/image/Image.h"
#include "host/project/Json.h"
#include "host/scene/SceneReader.h"

namespace strandel::host::test {

// A fresh folder, removed with everything in it when the test ends.
class ScratchDir {
public:
    ScratchDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() / ("strandel_host_" + std::string(info->test_suite_name()) +
                                                          "_" + info->name() + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline bool SamePixels(const Image& a, const Image& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Depth() != b.Depth()) return false;
    const std::size_t rowBytes = a.Width() * BytesPerPixel(a.Depth());
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0) return false;
    return true;
}

// Two renders of one frame, pixel by pixel, in levels of their most distant channel: integer
// steps at 8 and 16 bits. Float has no steps; there a level is one 16-bit step of the values'
// magnitude (at least 1), and colour is compared premultiplied by alpha, as the files hold it.
struct LevelDifference {
    double worst = 0;
    long differing = 0, covered = 0; // pixels that differ; pixels of `expected` with alpha
};

inline LevelDifference CompareLevels(const Image& actual, const Image& expected)
{
    const PixelDepth depth = expected.Depth();
    const bool isFloat = depth == PixelDepth::Float;
    LevelDifference d;
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            const PixelValue p = actual.Get(x, y), q = expected.Get(x, y);
            const double pa = isFloat ? p.a : 1, qa = isFloat ? q.a : 1;
            double apart = 0;
            for (auto [a, b] :
                 {std::pair{p.a, q.a}, {p.r * pa, q.r * qa}, {p.g * pa, q.g * qa}, {p.b * pa, q.b * qa}}) {
                const double levels = std::fabs(a - b) * (depth == PixelDepth::Eight ? 255 : 32768);
                apart = std::max(apart,
                                 isFloat ? levels / std::max({1.0, std::fabs(a), std::fabs(b)}) : std::round(levels));
            }
            d.worst = std::max(d.worst, apart);
            d.differing += apart > 0;
            d.covered += q.a > 0;
        }
    return d;
}

// The rasterizer blends in single precision, and the path and curves use the C library's
// trigonometry: another compiler, CPU or build may round a value lying on a half step the other
// way. So one level of difference is allowed on at most 0.5 % of pixels; anything more is a real
// change of the picture.
inline LevelDifference ExpectSameRender(const Image& actual, const Image& expected)
{
    const bool sameShape = actual.Depth() == expected.Depth() && actual.Width() == expected.Width() &&
                           actual.Height() == expected.Height();
    EXPECT_TRUE(sameShape) << "the depth or the size differs";
    const LevelDifference d = sameShape ? CompareLevels(actual, expected) : LevelDifference{};
    EXPECT_LE(d.worst, 1.0);
    EXPECT_LE(d.differing, expected.Width() * expected.Height() / 200);
    return d;
}

inline void WriteText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Encodes `samples` (host-endian for 16 bits) as a PNG of the given colour type, straight
// through libspng.
inline void WriteRawPng(const std::filesystem::path& file, int width, int height, int colorType, int bitDepth,
                        const void* samples, std::size_t size)
{
    std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    std::unique_ptr<FILE, decltype(&fclose)> out(fopen(file.c_str(), "wb"), fclose);
    ASSERT_TRUE(out);
    ASSERT_EQ(spng_set_png_file(ctx.get(), out.get()), 0);
    spng_ihdr header{
        std::uint32_t(width), std::uint32_t(height), std::uint8_t(bitDepth), std::uint8_t(colorType), 0, 0, 0};
    ASSERT_EQ(spng_set_ihdr(ctx.get(), &header), 0);
    ASSERT_EQ(spng_encode_image(ctx.get(), samples, size, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE), 0);
}

// A PNG's samples as 16-bit RGBA, host-endian, straight from libspng.
inline std::vector<std::uint16_t> ReadRawPngRgba16(const std::filesystem::path& file)
{
    const std::string bytes = ReadText(file);
    std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)> ctx(spng_ctx_new(0), spng_ctx_free);
    spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size());
    std::size_t size = 0;
    spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA16, &size);
    std::vector<std::uint16_t> samples(size / 2);
    EXPECT_EQ(spng_decode_image(ctx.get(), samples.data(), size, SPNG_FMT_RGBA16, 0), 0);
    return samples;
}

inline LoadedScene LoadSceneJson(const ScratchDir& dir, const Json& scene, const std::string& name = "scene.json")
{
    WriteText(dir / name, scene.dump(2));
    return LoadScene(dir / name);
}

} // namespace strandel::host::test
