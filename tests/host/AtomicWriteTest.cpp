#include <gtest/gtest.h>

#include <fstream>
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

std::size_t EntriesIn(const std::filesystem::path& dir)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    ScratchDir dir;
    const auto target = dir / "frame.png";
    test::WriteText(target, "previous frame");
    EXPECT_THROW(WriteThroughTemporary(target,
                                       [](const std::filesystem::path& temporary) {
                                           std::ofstream(temporary) << "half of a fr";
                                           throw std::runtime_error("encoder died");
                                       }),
                 std::runtime_error);
    EXPECT_EQ(test::ReadText(target), "previous frame");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);

    WriteFileAtomically(target, "new frame");
    EXPECT_EQ(test::ReadText(target), "new frame");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(AtomicWrite, UnwritableFoldersFailNamingTheFileAndCreateNothing)
{
    ScratchDir dir;
    test::WriteText(dir / "plain", "a file where a folder should be");
    Image eight(2, 2, PixelDepth::Eight);
    Image floats(2, 2, PixelDepth::Float);
    std::vector<std::filesystem::path> targets{dir / "missing" / "out.png", dir / "plain" / "out.png"};
    if (::geteuid() != 0) { // permissions do not stop root
        std::filesystem::create_directory(dir / "locked");
        std::filesystem::permissions(dir / "locked",
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        targets.push_back(dir / "locked" / "out.png");
    }
    for (const auto& target : targets) {
        for (bool exr : {false, true}) {
            const auto file = exr ? target.parent_path() / "out.exr" : target;
            try {
                exr ? WriteExr(file, floats) : WritePng(file, eight);
                ADD_FAILURE() << "no error for " << file;
            } catch (const FileError& e) {
                EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
            }
        }
    }
    EXPECT_EQ(EntriesIn(dir.Path()), targets.size() - 1);
    if (targets.size() > 2) {
        EXPECT_EQ(EntriesIn(dir / "locked"), 0u);
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
    }
}

} // namespace
} // namespace strandel::host
