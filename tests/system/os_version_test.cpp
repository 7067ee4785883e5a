#include "system/os_version.h"

#include <gtest/gtest.h>

namespace tunlatch {
namespace {

constexpr std::uint16_t kX86 = 0;
constexpr std::uint16_t kItanium = 6;
constexpr std::uint16_t kAmd64 = 9;
constexpr std::uint8_t kWork = 1;
constexpr std::uint8_t kDc = 2;
constexpr std::uint8_t kServer = 3;
constexpr std::uint32_t kUnlicensed = 0xABCDABCD;

OsVersionRaw Os(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                std::uint8_t productType, std::uint32_t productInfo = 0,
                std::uint16_t arch = kAmd64) {
    OsVersionRaw raw;
    raw.platformId = 2;
    raw.majorVersion = major;
    raw.minorVersion = minor;
    raw.buildNumber = build;
    raw.productType = productType;
    raw.productInfo = productInfo;
    raw.processorArchitecture = arch;
    return raw;
}

struct NamesCase {
    const char* what;
    OsVersionRaw raw;
    const char* versionName;
    const char* edition;
};

TEST(BuildOsInfo, NamesEveryVersionAndEdition) {
    const NamesCase cases[] = {
        {"Vista", Os(6, 0, 6002, kWork, 1), "Vista", "Ultimate"},
        {"Vista 48", Os(6, 0, 6002, kWork, 48), "Vista", "<unknown>"},
        {"Vista unlicensed", Os(6, 0, 6002, kWork, kUnlicensed), "Vista", "<unlicensed>"},
        {"SBS", Os(6, 0, 6002, kDc, 25), "Small Business Server 2008", "Premium"},
        {"2008", Os(6, 0, 6002, kServer, 12), "Server 2008", "Datacenter"},
        {"2008 web", Os(6, 0, 6002, kServer, 17), "Web Server 2008", ""},
        {"2008 workstation code", Os(6, 0, 6002, kServer, 1), "Server 2008", "<unknown>"},
        {"7", Os(6, 1, 7601, kWork, 48), "7", "Professional"},
        {"7 unknown code", Os(6, 1, 7601, kWork, 101), "7", "<unknown>"},
        {"2008 R2", Os(6, 1, 7601, kDc), "Server 2008", "R2"},
        {"8", Os(6, 2, 9200, kWork, 101), "8", ""},
        {"8.1", Os(6, 3, 9600, kWork, 49), "8.1", "Pro N"},
        {"10", Os(10, 0, 19045, kWork, 101), "10", "Home"},
        {"10 LTSC", Os(10, 0, 17763, kWork, 125), "10", "Enterprise LTSC"},
        {"10 Vista code", Os(10, 0, 18362, kWork, 28), "10", "<unknown>"},
        {"10 unlicensed", Os(10, 0, 19045, kWork, kUnlicensed), "10", "<unlicensed>"},
        {"10 last build", Os(10, 0, 21999, kWork, 48), "10", "Pro"},
        {"11 first build", Os(10, 0, 22000, kWork, 162), "11", "Pro for Workstations N"},
        {"2012", Os(6, 2, 9200, kDc, 8), "Server 2012", "Datacenter"},
        {"2012 R2", Os(6, 3, 9600, kServer, 79), "Server 2012 R2", "Standard Evaluation"},
        {"2016", Os(10, 0, 14393, kServer, 80), "Server 2016", "Datacenter Evaluation"},
        {"before 2019", Os(10, 0, 17762, kServer, 7), "Server 2016", "Standard"},
        {"2019", Os(10, 0, 17763, kServer, 7), "Server 2019", "Standard"},
        {"before 2022", Os(10, 0, 20347, kDc, 145), "Server 2019",
         "Datacenter, Semi-Annual Channel"},
        {"2022", Os(10, 0, 20348, kServer, 50), "Server 2022", "Essentials"},
        {"before 2025", Os(10, 0, 26099, kServer, 8), "Server 2022", "Datacenter"},
        {"2025", Os(10, 0, 26100, kServer, 8), "Server 2025", "Datacenter"},
        {"server with pro code", Os(10, 0, 20348, kServer, 48), "Server 2022", "<unknown>"},
        {"server unlicensed", Os(6, 2, 9200, kServer, kUnlicensed), "Server 2012", "<unlicensed>"},
        {"6.0 other type", Os(6, 0, 6002, 0, 1), "", ""},
        {"10 other type", Os(10, 0, 19045, 4, 48), "", ""},
        {"6.4", Os(6, 4, 9800, kWork, 48), "", ""},
        {"10.1", Os(10, 1, 30000, kServer, 7), "", ""},
        {"11.0", Os(11, 0, 30000, kWork, 48), "", ""},
        {"XP compatibility mode", Os(5, 1, 2600, kWork), "", ""},
    };
    for (const auto& c : cases) {
        const OsInformation info = BuildOsInfo(c.raw);
        EXPECT_EQ(info.VersionName, c.versionName) << c.what;
        EXPECT_EQ(info.Edition, c.edition) << c.what;
    }
}

struct RecordCase {
    OsVersionRaw raw;
    const char* fullText;
    const char* fullNumbers;
};

OsVersionRaw With(OsVersionRaw raw, std::uint16_t suite, std::uint16_t servicePack = 0) {
    raw.suiteMask = suite;
    raw.servicePackMajor = servicePack;
    if (servicePack != 0) raw.csdVersion = "Service Pack " + std::to_string(servicePack);
    return raw;
}

TEST(BuildOsInfo, WholeRecords) {
    const RecordCase cases[] = {
        {With(Os(6, 1, 7601, kWork, 28), 0, 1), "Windows 7 Ultimate N (x64) [Service Pack 1]",
         "PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service Pack 1 PRTY:1 RSVD:0 SPMA:1 SPMI:0 MASK:0 "
         "PRIN:28 OSA:x64"},
        {With(Os(6, 0, 6002, kServer, 7), 0x110, 2),
         "Windows Server 2008 Standard (x64) [Service Pack 2]",
         "PID:2 MAV:6 MIV:0 BLD:6002 CSD:Service Pack 2 PRTY:3 RSVD:0 SPMA:2 SPMI:0 MASK:272 "
         "PRIN:7 OSA:x64"},
        {Os(6, 2, 9200, kWork, 101), "Windows 8  (x64)",
         "PID:2 MAV:6 MIV:2 BLD:9200 CSD: PRTY:1 RSVD:0 SPMA:0 SPMI:0 MASK:0 PRIN:101 OSA:x64"},
        {With(Os(10, 0, 19045, kWork, 48), 0x100), "Windows 10 Pro (x64)",
         "PID:2 MAV:10 MIV:0 BLD:19045 CSD: PRTY:1 RSVD:0 SPMA:0 SPMI:0 MASK:256 PRIN:48 "
         "OSA:x64"},
        {Os(10, 0, 22631, kWork, 101, kX86), "Windows 11 Home",
         "PID:2 MAV:10 MIV:0 BLD:22631 CSD: PRTY:1 RSVD:0 SPMA:0 SPMI:0 MASK:0 PRIN:101 OSA:x86"},
        {Os(5, 1, 2600, kWork, 48), "Windows   (x64)",
         "PID:2 MAV:5 MIV:1 BLD:2600 CSD: PRTY:1 RSVD:0 SPMA:0 SPMI:0 MASK:0 PRIN:0 OSA:x64"},
    };
    for (const auto& c : cases) {
        const OsInformation info = BuildOsInfo(c.raw);
        EXPECT_EQ(info.FullText, c.fullText);
        EXPECT_EQ(info.FullNumbers, c.fullNumbers) << c.fullText;
        EXPECT_EQ(info.VersionInfoSize, 156) << c.fullText;
    }
}

TEST(BuildOsInfo, FullNumbersPrintsWordsSignedAndBytesUnsigned) {
    OsVersionRaw raw = Os(10, 0, 20348, 0xFE, 7);
    raw.suiteMask = 0x8112;
    raw.servicePackMajor = 0xFFFF;
    raw.servicePackMinor = 0x8000;
    raw.reserved = 0xFF;
    EXPECT_EQ(BuildOsInfo(raw).FullNumbers,
              "PID:2 MAV:10 MIV:0 BLD:20348 CSD: PRTY:254 RSVD:255 SPMA:-1 SPMI:-32768 "
              "MASK:-32494 PRIN:7 OSA:x64");
}

TEST(BuildOsInfo, CsdIsTrimmedOfBlanksOnly) {
    OsVersionRaw raw = Os(6, 1, 7601, kWork, 1);
    raw.csdVersion = "  Service Pack 1\t ";
    EXPECT_EQ(BuildOsInfo(raw).CSDVersion, "Service Pack 1\t");
    raw.csdVersion = "   ";
    EXPECT_EQ(BuildOsInfo(raw).FullText, "Windows 7 Ultimate (x64)");
}

TEST(BuildOsInfo, ArchitectureFromTheNativeProcessor) {
    const struct {
        std::uint16_t processor;
        const char* text;
        const char* fullText;
    } cases[] = {
        {kX86, "x86", "Windows 10 Pro"},
        {kAmd64, "x64", "Windows 10 Pro (x64)"},
        {kItanium, "Itanium", "Windows 10 Pro (Itanium)"},
        {12, "Unknown", "Windows 10 Pro"},
    };
    for (const auto& c : cases) {
        const OsInformation info = BuildOsInfo(Os(10, 0, 19045, kWork, 48, c.processor));
        EXPECT_EQ(info.Architecture, c.text) << c.processor;
        EXPECT_EQ(info.FullText, c.fullText) << c.processor;
    }
}

TEST(IsAdminDecision, NeedsASuccessfulLookupAndAdminPrivilege) {
    const struct {
        std::uint32_t netResult, privilege;
        bool admin;
    } cases[] = {
        {0, 2, true},
        {0, 1, false},
        {2221, 2, false},
        {0, 3, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAdminDecision(c.netResult, c.privilege), c.admin)
            << c.netResult << " " << c.privilege;
}

}  // namespace
}  // namespace tunlatch
