// Every example scene rendered through the loaded plug-in against its stored image.
// STRANDEL_UPDATE_GOLDEN=DIR writes the rendered images into DIR instead, e.g. the source tree's
// tests/golden (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "host/image/PngFile.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"

namespace strandel::test {
namespace {

namespace fs = std::filesystem;

struct Golden {
    const char* scene;
    std::int64_t frame;
};

// Mid-animation frames, at half resolution to keep the stored images small.
const Golden kGoldens[] = {{"helix", 30}, {"ribbon", 15}, {"wave", 15}, {"precomp", 10}, {"debug_path", 15}};

class GoldenTest : public HostTest, public ::testing::WithParamInterface<Golden> {};

TEST_P(GoldenTest, MatchesTheStoredImage)
{
    const Golden g = GetParam();
    const std::string name = std::string(g.scene) + ".png";
    const fs::path stored = DataFile("golden/" + name);
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    H().OpenProject(host::LoadScene(DataFile("examples/" + std::string(g.scene) + ".json")).project);
    ASSERT_FALSE(H().instances().empty());
    host::FrameResult r = host::RenderEffectFrame(*H().instances().front(), {g.frame, host::PixelDepth::Eight, 2, false});
    ASSERT_EQ(r.err, PF_Err_NONE);
    EXPECT_TRUE(r.leaks.empty());

    if (const char* update = std::getenv("STRANDEL_UPDATE_GOLDEN"); update && *update) {
        host::WritePng(fs::path(update) / name, r.image);
        GTEST_SKIP() << "wrote " << fs::path(update) / name;
    }
    const host::Image expected = host::ReadPng(stored);
    ASSERT_EQ(r.image.Width(), expected.Width());
    ASSERT_EQ(r.image.Height(), expected.Height());

    // The rasterizer blends in single precision, and the path and curves use the C library's
    // trigonometry: another compiler or CPU may round a value lying on a half step the other
    // way. So one level of difference is allowed on at most 0.5 % of pixels; anything more is a
    // real change of the picture.
    long offByOne = 0, covered = 0;
    int worst = 0;
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            const uint8_t* a = r.image.PixelAt<uint8_t>(x, y);
            const uint8_t* b = expected.PixelAt<uint8_t>(x, y);
            int d = 0;
            for (int c = 0; c < 4; ++c) d = std::max(d, std::abs(int(a[c]) - int(b[c])));
            worst = std::max(worst, d);
            offByOne += d == 1;
            covered += b[0] != 0;
        }
    EXPECT_LE(worst, 1) << g.scene << " differs from " << stored;
    EXPECT_LE(offByOne, expected.Width() * expected.Height() / 200) << g.scene;
    EXPECT_GT(covered, 100) << g.scene << ": the stored image is nearly empty";
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenTest, ::testing::ValuesIn(kGoldens),
                         [](const auto& param) { return std::string(param.param.scene); });

} // namespace
} // namespace strandel::test
