#include "system/os_version.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tunlatch {
namespace {

OsVersionRaw Os(std::uint32_t major, std::uint32_t minor, std::uint32_t build, std::uint8_t type,
                std::uint32_t productInfo, std::uint16_t processor = 9) {
    // In the record's order; no service pack, suite or reserved byte.
    return {2, major, minor, build, {}, 0, 0, 0, type, 0, productInfo, processor};
}

TEST(BuildOsInfo, NamesTheVersionAndEditionOfEveryRowOfTheTable) {
    std::ifstream table(std::string(TUNLATCH_TESTS_DIR) + "/system/os_records.txt");
    int rows = 0;
    for (std::string line; std::getline(table, line); ++rows) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        std::uint32_t major, minor, build, type, productInfo;
        std::string expected;
        std::getline(row >> major >> minor >> build >> type >> productInfo >> std::ws, expected);
        const OsInformation info = BuildOsInfo(Os(major, minor, build, type, productInfo));
        EXPECT_EQ(info.VersionName + "/" + info.Edition, expected) << line;
    }
    EXPECT_GT(rows, 80);
}

TEST(BuildOsInfo, WholeRecords) {
    OsVersionRaw seven = Os(6, 1, 7601, 1, 28);
    seven.servicePackMajor = 1;
    seven.csdVersion = "  Service Pack 1 ";
    OsVersionRaw odd = Os(10, 0, 19045, 0xFE, 48, 0);
    odd.suiteMask = 0x8112;
    odd.servicePackMajor = 0xFFFF;
    odd.servicePackMinor = 0x8000;
    odd.reserved = 0xFF;
    const std::pair<OsVersionRaw, std::string> cases[] = {
        {seven,
         "Windows 7 Ultimate N (x64) [Service Pack 1]|PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service "
         "Pack 1 PRTY:1 RSVD:0 SPMA:1 SPMI:0 MASK:0 PRIN:28 OSA:x64"},
        {Os(6, 2, 9200, 1, 101, 6),
         "Windows 8  (Itanium)|PID:2 MAV:6 MIV:2 BLD:9200 CSD: PRTY:1 RSVD:0 SPMA:0 SPMI:0 "
         "MASK:0 PRIN:101 OSA:Itanium"},
        {odd,
         "Windows  |PID:2 MAV:10 MIV:0 BLD:19045 CSD: PRTY:254 RSVD:255 SPMA:-1 SPMI:-32768 "
         "MASK:-32494 PRIN:48 OSA:x86"},
        {Os(5, 1, 2600, 1, 48, 12),
         "Windows  |PID:2 MAV:5 MIV:1 BLD:2600 CSD: PRTY:1 RSVD:0 SPMA:0 SPMI:0 MASK:0 PRIN:0 "
         "OSA:Unknown"},
    };
    for (const auto& [raw, record] : cases) {
        const OsInformation info = BuildOsInfo(raw);
        EXPECT_EQ(info.FullText + "|" + info.FullNumbers, record);
    }
}

TEST(IsAdminDecision, NeedsASuccessfulLookupAndAdminPrivilege) {
    EXPECT_TRUE(IsAdminDecision(0, 2));
    EXPECT_FALSE(IsAdminDecision(0, 1));
    EXPECT_FALSE(IsAdminDecision(2221, 2));
    EXPECT_FALSE(IsAdminDecision(0, 3));
}

}  // namespace
}  // namespace tunlatch
