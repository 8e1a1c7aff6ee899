// Image files as the command reads and writes them; built once more against the Windows build's
// codecs, so both builds are held to the same bytes.
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfInputFile.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "host/image/ExrFile.h"
#include "host/image/PngFile.h"
#include "host/io/AtomicWrite.h"
#include "host/io/FileError.h"
#include "support/HostTestSupport.h"

namespace strandel::host {
namespace {

using test::ScratchDir;

TEST(PngFile, EightBitsRoundTripExactlyAndSixteenAreRescaledBetween32768And65535)
{
    ScratchDir dir;
    Image eight(7, 3, PixelDepth::Eight);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            for (int c = 0; c < 4; ++c)
                eight.PixelAt<std::uint8_t>(x, y)[c] = static_cast<std::uint8_t>(x * 37 + y * 11 + c * 61);
    WritePng(dir / "out.png", eight);
    EXPECT_TRUE(test::SamePixels(ReadPng(dir / "out.png"), eight));

    // host value -> file value round(v x 65535 / 32768), worked by hand.
    const std::uint16_t host[] = {0, 1, 16384, 32767, 32768};
    const std::uint16_t file[] = {0, 2, 32768, 65533, 65535};
    Image image(5, 1, PixelDepth::Sixteen);
    for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 4; ++c) image.PixelAt<std::uint16_t>(x, 0)[c] = host[x];
    WritePng(dir / "deep.png", image);
    const std::vector<std::uint16_t> raw = test::ReadRawPngRgba16(dir / "deep.png");
    ASSERT_EQ(raw.size(), 20u);
    const Image back = ReadPng(dir / "deep.png");
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(raw[x * 4], file[x]) << "pixel " << x;
        EXPECT_EQ(back.PixelAt<std::uint16_t>(x, 0)[1], host[x]) << "pixel " << x;
    }

    // File values that are not images of host values: round(v x 32768 / 65535).
    const std::uint16_t samples[] = {65535, 1, 32767, 40000}; // one RGBA pixel
    test::WriteRawPng(dir / "raw16.png", 1, 1, SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 16, samples, sizeof samples);
    const Image fromFile = ReadPng(dir / "raw16.png");
    const auto* p = fromFile.PixelAt<std::uint16_t>(0, 0);
    EXPECT_EQ(std::vector<int>(p, p + 4), (std::vector<int>{20000, 32768, 1, 16384})); // A R G B
}

TEST(PngFile, GreyAndRgbInputsExpandToArgb)
{
    ScratchDir dir;
    const struct {
        const char* name;
        int colorType;
        std::vector<std::uint8_t> samples; // two pixels
        std::uint8_t expected[2][4]; // A R G B
    } cases[] = {
        {"grey", SPNG_COLOR_TYPE_GRAYSCALE, {10, 200}, {{255, 10, 10, 10}, {255, 200, 200, 200}}},
        {"grey_alpha", SPNG_COLOR_TYPE_GRAYSCALE_ALPHA, {10, 0, 200, 99}, {{0, 10, 10, 10}, {99, 200, 200, 200}}},
        {"rgb", SPNG_COLOR_TYPE_TRUECOLOR, {1, 2, 3, 4, 5, 6}, {{255, 1, 2, 3}, {255, 4, 5, 6}}},
    };
    for (const auto& c : cases) {
        const auto file = dir / (std::string(c.name) + ".png");
        test::WriteRawPng(file, 2, 1, c.colorType, 8, c.samples.data(), c.samples.size());
        const Image image = ReadPng(file);
        ASSERT_EQ(image.Depth(), PixelDepth::Eight) << c.name;
        for (int x = 0; x < 2; ++x)
            for (int k = 0; k < 4; ++k) EXPECT_EQ(image.PixelAt<std::uint8_t>(x, 0)[k], c.expected[x][k]) << c.name;
    }
    const std::uint16_t grey16 = 65535;
    test::WriteRawPng(dir / "grey16.png", 1, 1, SPNG_COLOR_TYPE_GRAYSCALE, 16, &grey16, sizeof grey16);
    const Image deepGrey = ReadPng(dir / "grey16.png");
    EXPECT_EQ(deepGrey.Depth(), PixelDepth::Sixteen);
    EXPECT_EQ(deepGrey.Get(0, 0), (PixelValue{1, 1, 1, 1}));
}

// A PNG whose header claims another size, its checksum made good so that only the size is wrong.
std::string WithClaimedSize(std::string png, std::uint32_t width, std::uint32_t height)
{
    constexpr std::size_t kIhdrType = 12, kIhdrData = 16, kIhdrCrc = 29;
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>(v >> (24 - 8 * i));
    };
    put(kIhdrData, width);
    put(kIhdrData + 4, height);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = kIhdrType; i < kIhdrCrc; ++i) {
        crc ^= static_cast<unsigned char>(png[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    put(kIhdrCrc, ~crc);
    return png;
}

TEST(PngFile, FailuresNameTheFileAndNothingIsAllocatedForAClaimedSize)
{
    ScratchDir dir;
    WritePng(dir / "small.png", Image(2, 2, PixelDepth::Eight));
    const std::string small = test::ReadText(dir / "small.png");
    const struct {
        const char* name;
        std::string bytes; // none: the file does not exist
        const char* says;
    } cases[] = {
        {"missing.png", "", ""},
        {"not.png", "plain text", ""},
        // 800 MB of pixels behind a file of a hundred bytes: refused before they are allocated.
        {"claims.png", WithClaimedSize(small, 20000, 10000), "more than the file's"},
        {"wide.png", WithClaimedSize(small, 40000, 1), "1 to 30000 a side"},
    };
    for (const auto& c : cases) {
        const auto file = dir / c.name;
        if (!c.bytes.empty()) test::WriteText(file, c.bytes);
        for (bool headerOnly : {false, true}) {
            try {
                headerOnly ? (void)ReadPngSize(file) : (void)ReadPng(file);
                ADD_FAILURE() << "no error for " << file;
            } catch (const FileError& e) {
                EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
            }
        }
    }
    EXPECT_EQ(ReadPng(dir / "small.png").Width(), 2);
    EXPECT_THROW(WritePng(dir / "float.png", Image(1, 1, PixelDepth::Float)), std::invalid_argument);
}

TEST(ExrFile, ColourIsPremultipliedInTheFileAndStraightWhenReadBack)
{
    ScratchDir dir;
    Image image(2, 1, PixelDepth::Float);
    image.Set(0, 0, {0.5, 0.8, 2.0, 0.25}); // colour above 1 survives float
    image.Set(1, 0, {0, 1, 1, 1}); // fully transparent: nothing left to premultiply
    WriteExr(dir / "out.exr", image);

    Imf::InputFile in((dir / "out.exr").c_str());
    float r[2] = {}, g[2] = {}, a[2] = {};
    Imf::FrameBuffer frame;
    frame.insert("R", Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(r), sizeof(float), sizeof r));
    frame.insert("G", Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(g), sizeof(float), sizeof g));
    frame.insert("A", Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(a), sizeof(float), sizeof a));
    in.setFrameBuffer(frame);
    in.readPixels(0, 0);
    EXPECT_FLOAT_EQ(r[0], 0.4f);
    EXPECT_FLOAT_EQ(g[0], 1.0f);
    EXPECT_FLOAT_EQ(a[0], 0.5f);
    EXPECT_EQ(r[1], 0.0f);

    const Image back = ReadExr(dir / "out.exr");
    EXPECT_NEAR(back.Get(0, 0).r, 0.8, 1e-6);
    EXPECT_NEAR(back.Get(0, 0).g, 2.0, 1e-6);
    EXPECT_EQ(back.Get(1, 0), PixelValue{});
    EXPECT_THROW(ReadExr(dir / "missing.exr"), FileError);
}

// A source image at another depth than the render's: rounded to the nearest step, clamped.
TEST(Image, DepthConversionRoundsToTheNearestStepAndClamps)
{
    Image eight(2, 1, PixelDepth::Eight);
    eight.PixelAt<std::uint8_t>(0, 0)[1] = 255;
    eight.PixelAt<std::uint8_t>(1, 0)[1] = 128;
    const Image sixteen = ConvertDepth(eight, PixelDepth::Sixteen);
    EXPECT_EQ(sixteen.PixelAt<std::uint16_t>(0, 0)[1], 32768);
    EXPECT_EQ(sixteen.PixelAt<std::uint16_t>(1, 0)[1], 16448); // 128 x 32768 / 255 = 16448.25

    Image deep(1, 1, PixelDepth::Sixteen);
    deep.PixelAt<std::uint16_t>(0, 0)[1] = 16384; // 16384 x 255 / 32768 = 127.5 rounds up
    EXPECT_EQ(ConvertDepth(deep, PixelDepth::Eight).PixelAt<std::uint8_t>(0, 0)[1], 128);

    Image floats(1, 1, PixelDepth::Float);
    floats.Set(0, 0, {1.5, -0.25, 0.5, 1.0});
    const Image clamped = ConvertDepth(floats, PixelDepth::Eight);
    const auto* p = clamped.PixelAt<std::uint8_t>(0, 0);
    EXPECT_EQ(std::vector<int>(p, p + 4), (std::vector<int>{255, 0, 128, 255})); // 0.5 -> 127.5 -> 128
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    ScratchDir dir;
    const auto target = dir / "frame.png";
    auto entries = [&] { return std::distance(std::filesystem::directory_iterator(dir.Path()), {}); };
    test::WriteText(target, "previous frame");
    EXPECT_THROW(WriteThroughTemporary(target,
                                       [](const std::filesystem::path& temporary) {
                                           std::ofstream(temporary) << "half of a fr";
                                           throw std::runtime_error("encoder died");
                                       }),
                 std::runtime_error);
    EXPECT_EQ(test::ReadText(target), "previous frame");
    EXPECT_EQ(entries(), 1);

    WriteFileAtomically(target, "new frame");
    EXPECT_EQ(test::ReadText(target), "new frame");
    EXPECT_EQ(entries(), 1);
}

} // namespace
} // namespace strandel::host
