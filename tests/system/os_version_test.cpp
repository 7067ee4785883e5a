#include "system/os_version.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>
#include <sstream>

namespace tunlatch {
namespace {

// A row names the version and edition; one that goes on with a quoted service-pack text and the
// rest of the record names the whole record. Rows leave out the service pack, suite and reserved
// byte, and report an x64 processor.
TEST(BuildOsInfo, RendersEveryRowOfTheTable) {
    std::ifstream table(std::string(TUNLATCH_TESTS_DIR) + "/system/os_records.txt");
    int rows = 0;
    for (std::string line; std::getline(table, line); ++rows) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        OsVersionRaw raw{2, 0, 0, 0, {}, 0, 0, 0, 0, 0, 0, 9};  // platform 2, an x64 processor
        unsigned type = 0, reserved = 0;
        std::string expected;
        row >> raw.majorVersion >> raw.minorVersion >> raw.buildNumber >> type >> raw.productInfo;
        const bool whole = (row >> std::ws).peek() == '"';
        if (whole)
            row >> std::quoted(raw.csdVersion) >> raw.processorArchitecture >>
                raw.servicePackMajor >> raw.servicePackMinor >> raw.suiteMask >> reserved;
        std::getline(row >> std::ws, expected);
        raw.productType = std::uint8_t(type);
        raw.reserved = std::uint8_t(reserved);
        const OsInformation info = BuildOsInfo(raw);
        EXPECT_EQ(
            whole ? info.FullText + "|" + info.FullNumbers : info.VersionName + "/" + info.Edition,
            expected)
            << line;
    }
    EXPECT_GT(rows, 80);
}

TEST(IsAdminDecision, NeedsASuccessfulLookupAndAdminPrivilege) {
    EXPECT_TRUE(IsAdminDecision(0, 2));
    EXPECT_FALSE(IsAdminDecision(0, 1));
    EXPECT_FALSE(IsAdminDecision(2221, 2));
    EXPECT_FALSE(IsAdminDecision(0, 3));
}

}  // namespace
}  // namespace tunlatch
