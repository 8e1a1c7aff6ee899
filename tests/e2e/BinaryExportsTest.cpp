// What the shipped binaries expose: exactly three symbols, and on Windows the PiPL resource.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <sstream>

#include "frame/PiPL.h"
#include "support/PeReader.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

const std::vector<std::string> kExports = {"EffectMain", "NvOptimusEnablementCuda", "PluginDataEntryFunction2"};

TEST(BinaryExports, LinuxPluginExportsExactlyThreeSymbols)
{
    std::string cmd = "nm -D --defined-only '" + PluginPath() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::vector<std::string> names;
    std::array<char, 512> line;
    while (fgets(line.data(), line.size(), pipe.get())) {
        std::istringstream fields(line.data());
        std::string addr, type, name;
        fields >> addr >> type >> name;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, kExports);
}

TEST(BinaryExports, WindowsPluginExportsThreeSymbolsAndCarriesThePiPL)
{
    if (AexPath().empty()) GTEST_SKIP() << "no MinGW-w64 cross compiler on this machine";
    PeImage dll(AexPath());
    EXPECT_EQ(dll.ModuleName(), "Strandel.aex");
    auto names = dll.ExportNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, kExports);
    auto pipl = dll.Resource("PIPL", kPiPLResourceId, kPiPLLanguage);
    ASSERT_TRUE(pipl.has_value()) << "no PIPL 16000 resource in language 1033";
    EXPECT_EQ(*pipl, BuildPiPLResource());
}

} // namespace
} // namespace strandel::test
