// The suite table as the compositor would serve it: only the host's published (name, version) pairs.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

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

class SuiteTableTest : public HostTest {};

TEST_F(SuiteTableTest, ServesOnlyPublishedPairs)
{
    StartHost();
    const auto published = PublishedPairs();
    ASSERT_EQ(published.size(), 27u);
    const auto served = H().suites().ServedPairs();
    EXPECT_GE(served.size(), 15u);
    for (const auto& pair : served)
        EXPECT_TRUE(published.count(pair)) << pair.first << " " << pair.second << " is not a pair the host serves";
}

} // namespace
} // namespace strandel::test
