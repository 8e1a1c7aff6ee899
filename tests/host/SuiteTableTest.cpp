// The suite table as the compositor would serve it: only the host's published (name, version)
// pairs, each with its own struct, and no silent answer from a slot the emulated host lacks.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "AE_GeneralPlug.h"
#include "support/AcquiredSuite.h"
#include "support/HostFixture.h"
#include "support/TestPaths.h"

namespace strandel::test {
namespace {

// The (name, version) pairs of the host's published suite table.
std::set<std::pair<std::string, int32_t>> PublishedPairs()
{
    std::ifstream facts(DataFile("facts-win64.tsv"));
    std::set<std::pair<std::string, int32_t>> pairs;
    std::string line;
    while (std::getline(facts, line)) {
        std::istringstream columns(line);
        std::string kind, name, version;
        std::getline(columns, kind, '\t');
        if (kind != "suite") continue;
        std::getline(columns, name, '\t');
        std::getline(columns, version, '\t');
        pairs.insert({name.substr(1, name.size() - 2), std::stoi(version)});
    }
    return pairs;
}

class SuiteTableTest : public HostTest {
protected:
    void SetUp() override { StartHost(); }
};

TEST_F(SuiteTableTest, ServesOnlyPublishedPairs)
{
    const auto published = PublishedPairs();
    ASSERT_EQ(published.size(), 27u);
    const auto served = H().suites().ServedPairs();
    EXPECT_GE(served.size(), 15u);
    for (const auto& pair : served)
        EXPECT_TRUE(published.count(pair)) << pair.first << " " << pair.second << " is not a pair the host serves";
}

TEST_F(SuiteTableTest, UnknownPairsAreNotFound)
{
    SPBasicSuite* basic = host::SuiteRegistry::BasicSuite();
    const std::pair<const char*, A_long> unknown[] = {
        {"AEGP Layer Suite", 12}, {"AEGP Utility Suite", 1}, {"No Such Suite", 1}, {"", 0}};
    for (const auto& [name, version] : unknown) {
        const void* suite = &unknown;
        EXPECT_EQ(basic->AcquireSuite(name, version, &suite), kSPSuiteNotFoundError) << name << " " << version;
        EXPECT_EQ(suite, nullptr);
        EXPECT_EQ(basic->ReleaseSuite(name, version), kSPSuiteNotFoundError);
    }
}

// Registration and the idle trigger live in two versions of one suite, at slots 9 and 23 of
// the newer struct: the host must answer each version with its own table.
TEST_F(SuiteTableTest, EachVersionIsServedWithItsOwnStruct)
{
    Acquired<AEGP_UtilitySuite3> registration;
    AEGP_PluginID id = 0;
    ASSERT_EQ(registration->AEGP_RegisterWithAEGP(nullptr, "probe", &id), A_Err_NONE);
    EXPECT_NE(id, 0);

    Acquired<AEGP_UtilitySuite6> utility;
    const int before = H().log().idleTriggers;
    ASSERT_EQ(utility->AEGP_CauseIdleRoutinesToBeCalled(), A_Err_NONE);
    EXPECT_EQ(H().log().idleTriggers, before + 1);
    EXPECT_TRUE(H().log().UnimplementedCalls().empty());
}

TEST_F(SuiteTableTest, UnimplementedSlotReportsTheCall)
{
    Acquired<AEGP_LayerSuite5> layers;
    AEGP_LayerH layer = nullptr;
    EXPECT_NE(layers->AEGP_GetActiveLayer(&layer), A_Err_NONE);
    PF_Handle handle = nullptr;
    EXPECT_NE(H().BaseInData().utils->get_platform_data(nullptr, 0, &handle), PF_Err_NONE);
    const auto calls = H().log().TakeUnimplementedCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "AEGP Layer Suite version 11, slot 2");
    EXPECT_EQ(calls[1], "PF_UtilCallbacks version 0, slot 54");
}

} // namespace
} // namespace strandel::test
