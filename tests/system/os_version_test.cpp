#include "system/os_version.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace tunlatch {
namespace {

constexpr std::uint8_t kWork = 1, kDc = 2, kServer = 3;
constexpr std::uint32_t kUnlicensed = 0xABCDABCD;

OsVersionRaw Os(std::uint32_t major, std::uint32_t minor, std::uint32_t build, std::uint8_t type,
                std::uint32_t productInfo = 0, std::uint16_t processor = 9) {
    OsVersionRaw raw;
    raw.platformId = 2;
    raw.majorVersion = major;
    raw.minorVersion = minor;
    raw.buildNumber = build;
    raw.productType = type;
    raw.productInfo = productInfo;
    raw.processorArchitecture = processor;
    return raw;
}

TEST(BuildOsInfo, NamesTheVersionByItsNumbersAndTheEditionByItsCode) {
    const struct {
        OsVersionRaw raw;
        const char* version;
        const char* edition;
    } cases[] = {
        {Os(6, 0, 6002, kWork, 48), "Vista", "<unknown>"},
        {Os(6, 0, 6002, kDc, 25), "Small Business Server 2008", "Premium"},
        {Os(6, 0, 6002, kServer, 17), "Web Server 2008", ""},
        {Os(6, 1, 7601, kWork, 48), "7", "Professional"},
        {Os(6, 1, 7601, kWork, kUnlicensed), "7", "<unlicensed>"},
        {Os(6, 1, 7601, kDc), "Server 2008", "R2"},
        {Os(6, 2, 9200, kWork, 101), "8", ""},
        {Os(6, 3, 9600, kWork, 49), "8.1", "Pro N"},
        {Os(10, 0, 21999, kWork, 125), "10", "Enterprise LTSC"},
        {Os(10, 0, 22000, kWork, 162), "11", "Pro for Workstations N"},
        {Os(10, 0, 22000, kWork, 28), "11", "<unknown>"},
        {Os(6, 2, 9200, kDc, kUnlicensed), "Server 2012", "<unlicensed>"},
        {Os(6, 3, 9600, kServer, 79), "Server 2012 R2", "Standard Evaluation"},
        {Os(10, 0, 17762, kServer, 80), "Server 2016", "Datacenter Evaluation"},
        {Os(10, 0, 17763, kServer, 145), "Server 2019", "Datacenter, Semi-Annual Channel"},
        {Os(10, 0, 20347, kServer, 7), "Server 2019", "Standard"},
        {Os(10, 0, 20348, kServer, 50), "Server 2022", "Essentials"},
        {Os(10, 0, 26099, kServer, 48), "Server 2022", "<unknown>"},
        {Os(10, 0, 26100, kServer, 8), "Server 2025", "Datacenter"},
        {Os(10, 0, 19045, 4, 48), "", ""},
        {Os(6, 4, 9800, kWork, 48), "", ""},
        {Os(11, 0, 30000, kWork, 48), "", ""},
        {Os(5, 1, 2600, kWork), "", ""},
    };
    for (const auto& c : cases) {
        const OsInformation info = BuildOsInfo(c.raw);
        EXPECT_EQ(info.VersionName, c.version) << c.raw.buildNumber << " " << c.raw.productInfo;
        EXPECT_EQ(info.Edition, c.edition) << c.raw.buildNumber << " " << c.raw.productInfo;
    }
}

// The editions by their GetProductInfo codes, as Microsoft's documentation names them.
TEST(BuildOsInfo, EditionOfEachProductCode) {
    const std::string vista =
        "1 Ultimate,28 Ultimate N,6 Business,16 Business N,4 Enterprise,"
        "27 Enterprise N,2 Home Basic,5 Home Basic N,3 Home Premium,"
        "26 Home Premium N,11 Starter";
    const std::string server2008 =
        "9 Standard,25 Premium,7 Standard,13 Standard,8 Datacenter,"
        "12 Datacenter,10 Enterprise,14 Enterprise,15 Enterprise";
    const std::string ten =
        "101 Home,98 Home N,100 Home Single Language,99 Home China,48 Pro,49 Pro N,103 Pro with "
        "Media Center,161 Pro for Workstations,162 Pro for Workstations N,164 Pro Education,165 "
        "Pro Education N,121 Education,122 Education N,4 Enterprise,27 Enterprise N,72 Enterprise "
        "Evaluation,84 Enterprise N Evaluation,125 Enterprise LTSC,126 Enterprise N LTSC,129 "
        "Enterprise LTSC Evaluation,130 Enterprise N LTSC Evaluation,175 Enterprise "
        "multi-session,188 IoT Enterprise,191 IoT Enterprise LTSC";
    const std::string eight = "98 N,100 Single Language,99 China";
    const std::string servers =
        "7 Standard,8 Datacenter,79 Standard Evaluation,80 Datacenter "
        "Evaluation,146 Standard, Semi-Annual Channel,145 Datacenter, "
        "Semi-Annual Channel,50 Essentials,33 Foundation";
    const std::pair<OsVersionRaw, const std::string*> families[] = {
        {Os(6, 0, 6002, kWork), &vista},
        {Os(6, 0, 6002, kServer), &server2008},
        {Os(10, 0, 19045, kWork), &ten},
        {Os(6, 3, 9600, kWork), &eight},
        {Os(10, 0, 20348, kDc), &servers}};
    for (const auto& [raw, list] : families) {
        std::istringstream editions(std::regex_replace(*list, std::regex(",(\\d)"), "\n$1"));
        for (std::string line; std::getline(editions, line);) {
            OsVersionRaw coded = raw;
            coded.productInfo = std::stoul(line);
            EXPECT_EQ(BuildOsInfo(coded).Edition, line.substr(line.find(' ') + 1)) << line;
        }
    }
}

TEST(BuildOsInfo, WholeRecords) {
    OsVersionRaw seven = Os(6, 1, 7601, kWork, 28);
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
        {Os(6, 2, 9200, kWork, 101, 6),
         "Windows 8  (Itanium)|PID:2 MAV:6 MIV:2 BLD:9200 CSD: PRTY:1 RSVD:0 SPMA:0 SPMI:0 "
         "MASK:0 PRIN:101 OSA:Itanium"},
        {odd,
         "Windows  |PID:2 MAV:10 MIV:0 BLD:19045 CSD: PRTY:254 RSVD:255 SPMA:-1 SPMI:-32768 "
         "MASK:-32494 PRIN:48 OSA:x86"},
        {Os(5, 1, 2600, kWork, 48, 12),
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
