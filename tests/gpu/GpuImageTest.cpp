// The kernel image: what nvcc made of the kernel, and that both plug-ins carry exactly those
// bytes; the Windows one imports no CUDA library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "render/StxRendererCUDA.h"
#include "support/PeReader.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), {}};
}

template <class T>
T Read(std::string_view bytes, std::size_t at)
{
    T value{};
    if (at + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

struct FatBinaryEntry {
    uint16_t kind; // 1 PTX, 2 machine code (ELF)
    uint32_t architecture;
    std::string_view header, payload;
};

// A fat binary: a 16-byte header ending in the size of the entries that follow; each entry a
// header (kind at 0, its own size at 4, the payload's at 8, the architecture at 28) and a payload.
std::vector<FatBinaryEntry> EntriesOf(std::string_view image)
{
    std::vector<FatBinaryEntry> entries;
    if (Read<uint32_t>(image, 0) != 0xBA55ED50) return entries;
    const std::size_t end = std::min<std::size_t>(image.size(), 16 + Read<uint64_t>(image, 8));
    for (std::size_t at = 16; at + 32 <= end;) {
        const uint32_t headerSize = Read<uint32_t>(image, at + 4);
        const uint64_t payloadSize = Read<uint64_t>(image, at + 8);
        if (headerSize < 32 || at + headerSize + payloadSize > end) break;
        entries.push_back({Read<uint16_t>(image, at), Read<uint32_t>(image, at + 28), image.substr(at, headerSize),
                           image.substr(at + headerSize, payloadSize)});
        at += headerSize + payloadSize;
    }
    return entries;
}

TEST(GpuImageTest, HoldsSm75CodeAndCompute75PtxOfTheKernelWithoutFusedMultiplyAdds)
{
    const std::string image = ReadFile(Beside(STRANDEL_GPU_IMAGE));
    const std::string symbol = kRasterizeTriangleKernelSymbol;
    const std::vector<FatBinaryEntry> entries = EntriesOf(image);
    const auto find = [&](uint16_t kind) {
        return std::find_if(entries.begin(), entries.end(),
                            [&](const FatBinaryEntry& e) { return e.kind == kind && e.architecture == 75; });
    };
    const auto code = find(2), ptx = find(1);
    ASSERT_NE(code, entries.end()) << "no sm_75 machine code";
    ASSERT_NE(ptx, entries.end()) << "no compute_75 PTX";
    EXPECT_EQ(code->payload.substr(0, 4), "\x7f"
                                          "ELF");
    EXPECT_NE(code->payload.find(symbol + '\0'), std::string_view::npos) << "the kernel is not named " << symbol;
    EXPECT_NE(ptx->payload.find(".entry " + symbol + "("), std::string_view::npos);
    // The driver compiles the PTX for newer GPUs with the options it carries.
    EXPECT_NE(ptx->header.find("--fmad false"), std::string_view::npos);
    // What the plug-in hands the driver.
    EXPECT_EQ(std::memcmp(kGpuKernelImage, image.data(), image.size()), 0);
}

TEST(GpuImageTest, BothPluginsCarryTheImageAndTheWindowsOneImportsNoCudaLibrary)
{
    const std::string image = ReadFile(Beside(STRANDEL_GPU_IMAGE));
    // strandel.so loads without a driver wherever the tests outside this suite load it.
    EXPECT_NE(ReadFile(PluginPath()).find(image), std::string::npos) << PluginPath();
    if (AexPath().empty()) GTEST_SKIP() << "no MinGW-w64 cross compiler on this machine";
    EXPECT_NE(ReadFile(AexPath()).find(image), std::string::npos) << AexPath();
    // An import of nvcuda.dll would keep the plug-in from loading on machines without the driver.
    const std::vector<std::string> imports = PeImage(AexPath()).ImportedModules();
    EXPECT_FALSE(imports.empty());
    for (std::string module : imports) {
        std::transform(module.begin(), module.end(), module.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(module.find("cuda"), std::string::npos) << module;
    }
}

} // namespace
} // namespace strandel::test
