#include "system/os_version.h"

#include <gtest/gtest.h>

namespace tunlatch {
namespace {

constexpr std::uint16_t kX86 = 0;
constexpr std::uint16_t kItanium = 6;
constexpr std::uint16_t kAmd64 = 9;

OsVersionRaw Win9x(std::uint32_t minor, std::uint32_t build, const std::string& csd) {
    OsVersionRaw raw;
    raw.platformId = 1;
    raw.majorVersion = 4;
    raw.minorVersion = minor;
    raw.buildNumber = build;
    raw.csdVersion = csd;
    return raw;
}

// An NT system whose two queries agree, as they do on real systems.
OsVersionRaw Nt(std::uint32_t major, std::uint32_t minor, std::uint8_t productType,
                std::uint16_t suite = 0, std::uint32_t productInfo = 0, std::uint16_t arch = kX86) {
    OsVersionRaw raw;
    raw.platformId = 2;
    raw.majorVersion = raw.exMajorVersion = major;
    raw.minorVersion = raw.exMinorVersion = minor;
    raw.buildNumber = raw.exBuildNumber = 1000;
    raw.extendedOk = true;
    raw.productType = productType;
    raw.suiteMask = suite;
    raw.productInfo = productInfo;
    raw.processorArchitecture = arch;
    return raw;
}

OsVersionRaw WithMetrics(OsVersionRaw raw, int tablet, int media, int starter, int r2) {
    raw.tabletPc = tablet;
    raw.mediaCenter = media;
    raw.starter = starter;
    raw.serverR2 = r2;
    return raw;
}

struct NamesCase {
    const char* what;
    OsVersionRaw raw;
    const char* versionName;
    const char* edition;
};

TEST(BuildOsInfo, NamesEveryBranchOfTheDecisionTree) {
    const NamesCase cases[] = {
        {"95 A", Win9x(0, 950, "a"), "95", "OSR1"},
        {"95 B 1110", Win9x(0, 1110, "B"), "95", "OSR2.1"},
        {"95 B 1111", Win9x(0, 1111, "B"), "95", "OSR2"},
        {"95 B 1211", Win9x(0, 1211, "B"), "95", "OSR2"},
        {"95 B 1212", Win9x(0, 1212, "B"), "95", "OSR2.1"},
        {"95 B high word ignored", Win9x(0, 0x04000000 | 1111, "B"), "95", "OSR2"},
        {"95 C", Win9x(0, 1216, " C "), "95", "OSR2.5"},
        {"95 other", Win9x(0, 950, "D"), "95", ""},
        {"98", Win9x(10, 1998, ""), "98", ""},
        {"98 SE", Win9x(10, 2222, " A "), "98", "Second Edition"},
        {"98 other text", Win9x(10, 2222, "B"), "98", ""},
        {"ME", Win9x(90, 3000, ""), "ME", ""},
        {"9x other minor", Win9x(20, 3000, "A"), "", ""},
        {"NT 3.51", Nt(3, 51, 1), "NT 3.51", ""},
        {"NT 4 workstation", Nt(4, 0, 1), "NT 4.0", "Workstation"},
        {"NT 4 enterprise", Nt(4, 0, 3, 0x2), "NT 4.0", "Server Enterprise"},
        {"NT 4 DC enterprise", Nt(4, 0, 2, 0x2), "NT 4.0", "Server Enterprise"},
        {"NT 4 standard", Nt(4, 0, 2, 0x80), "NT 4.0", "Server Standard"},
        {"NT 4 other type", Nt(4, 0, 0, 0x2), "NT 4.0", ""},
        {"2000 professional", Nt(5, 0, 1, 0x82), "2000", "Professional"},
        {"2000 datacenter", Nt(5, 0, 3, 0x82), "2000", "Datacenter Server"},
        {"2000 advanced", Nt(5, 0, 2, 0x2), "2000", "Advanced Server"},
        {"2000 server", Nt(5, 0, 3), "2000", "Server"},
        {"2000 other type", Nt(5, 0, 4), "2000", ""},
        {"XP embedded", WithMetrics(Nt(5, 1, 1, 0x240), 1, 1, 1, 0), "XP", "Embedded"},
        {"XP media center", WithMetrics(Nt(5, 1, 1, 0x200), 1, 1, 1, 0), "XP", "Media Center"},
        {"XP tablet", WithMetrics(Nt(5, 1, 1, 0x200), 1, 0, 1, 0), "XP", "Tablet PC"},
        {"XP starter", WithMetrics(Nt(5, 1, 1, 0x200), 0, 0, 1, 0), "XP", "Starter"},
        {"XP home", WithMetrics(Nt(5, 1, 1, 0x200), 0, 0, 0, 1), "XP", "Home"},
        {"XP professional", Nt(5, 1, 1), "XP", "Professional"},
        {"XP ignores product type", Nt(5, 1, 3), "XP", "Professional"},
        {"5.2 x64 workstation", Nt(5, 2, 1, 0x200, 0, kAmd64), "XP Professional", ""},
        {"5.2 x86 workstation", Nt(5, 2, 1), "Server 2003", "<unknown>"},
        {"5.2 Itanium workstation", Nt(5, 2, 1, 0, 0, kItanium), "Server 2003", "<unknown>"},
        {"2003 small business", Nt(5, 2, 3, 0x83), "Server 2003", "Small Business"},
        {"2003 enterprise", Nt(5, 2, 2, 0x82), "Server 2003", "Enterprise"},
        {"2003 datacenter", Nt(5, 2, 3, 0x480), "Server 2003", "Datacenter"},
        {"2003 web", Nt(5, 2, 3, 0x8400), "Server 2003", "Web Edition"},
        {"home server", Nt(5, 2, 3, 0x8000, 0, kAmd64), "Home Server", ""},
        {"2003 standard", Nt(5, 2, 3, 0x10), "Server 2003", "Standard"},
        {"2003 R2", WithMetrics(Nt(5, 2, 3, 0x2), 0, 0, 0, 1), "Server 2003", "R2"},
        {"2003 other type", Nt(5, 2, 0, 0x2), "Server 2003", "<unknown>"},
        {"5.3", Nt(5, 3, 1), "", ""},
        {"Vista ultimate", Nt(6, 0, 1, 0, 1), "Vista", "Ultimate"},
        {"Vista ultimate N", Nt(6, 0, 1, 0, 28), "Vista", "Ultimate N"},
        {"Vista business", Nt(6, 0, 1, 0, 6), "Vista", "Business"},
        {"Vista business N", Nt(6, 0, 1, 0, 16), "Vista", "Business N"},
        {"Vista enterprise", Nt(6, 0, 1, 0, 4), "Vista", "Enterprise"},
        {"Vista enterprise N", Nt(6, 0, 1, 0, 27), "Vista", "Enterprise N"},
        {"Vista home basic", Nt(6, 0, 1, 0, 2), "Vista", "Home Basic"},
        {"Vista home basic N", Nt(6, 0, 1, 0, 5), "Vista", "Home Basic N"},
        {"Vista home premium", Nt(6, 0, 1, 0, 3), "Vista", "Home Premium"},
        {"Vista home premium N", Nt(6, 0, 1, 0, 26), "Vista", "Home Premium N"},
        {"Vista starter", Nt(6, 0, 1, 0, 11), "Vista", "Starter"},
        {"Vista 48", Nt(6, 0, 1, 0, 48), "Vista", "<unknown>"},
        {"Vista unlicensed", Nt(6, 0, 1, 0, 0xABCDABCD), "Vista", "<unlicensed>"},
        {"Vista no code", Nt(6, 0, 1), "Vista", "<unknown>"},
        {"SBS standard", Nt(6, 0, 3, 0, 9), "Small Business Server 2008", "Standard"},
        {"SBS premium", Nt(6, 0, 2, 0, 25), "Small Business Server 2008", "Premium"},
        {"2008 standard 7", Nt(6, 0, 3, 0, 7), "Server 2008", "Standard"},
        {"2008 standard 13", Nt(6, 0, 3, 0, 13), "Server 2008", "Standard"},
        {"2008 datacenter 8", Nt(6, 0, 3, 0, 8), "Server 2008", "Datacenter"},
        {"2008 datacenter 12", Nt(6, 0, 3, 0, 12), "Server 2008", "Datacenter"},
        {"2008 enterprise 10", Nt(6, 0, 3, 0, 10), "Server 2008", "Enterprise"},
        {"2008 enterprise 14", Nt(6, 0, 3, 0, 14), "Server 2008", "Enterprise"},
        {"2008 enterprise 15", Nt(6, 0, 2, 0, 15), "Server 2008", "Enterprise"},
        {"2008 web", Nt(6, 0, 3, 0, 17), "Web Server 2008", ""},
        {"2008 unlicensed", Nt(6, 0, 3, 0, 0xABCDABCD), "Server 2008", "<unlicensed>"},
        {"2008 workstation code", Nt(6, 0, 3, 0, 1), "Server 2008", "<unknown>"},
        {"6.0 other type", Nt(6, 0, 0, 0, 1), "", ""},
        {"7 ultimate", Nt(6, 1, 1, 0, 1), "7", "Ultimate"},
        {"7 professional", Nt(6, 1, 1, 0, 48), "7", "Professional"},
        {"7 home premium N", Nt(6, 1, 1, 0, 26), "7", "Home Premium N"},
        {"7 starter", Nt(6, 1, 1, 0, 11), "7", "Starter"},
        {"7 unlicensed", Nt(6, 1, 1, 0, 0xABCDABCD), "7", "<unlicensed>"},
        {"7 unknown code", Nt(6, 1, 1, 0, 101), "7", "<unknown>"},
        {"2008 R2", Nt(6, 1, 3, 0, 7), "Server 2008", "R2"},
        {"2008 R2 DC", Nt(6, 1, 2), "Server 2008", "R2"},
        {"6.1 other type", Nt(6, 1, 0, 0, 1), "", ""},
        {"8", Nt(6, 2, 1, 0, 48), "", ""},
        {"8.1 server", Nt(6, 3, 3, 0, 7), "", ""},
        {"10", Nt(10, 0, 1, 0, 48), "", ""},
        {"7 major", Nt(7, 0, 1), "", ""},
        {"NT 2", Nt(2, 0, 1), "", ""},
    };
    for (const auto& c : cases) {
        const OsInformation info = BuildOsInfo(c.raw);
        EXPECT_EQ(info.VersionName, c.versionName) << c.what;
        EXPECT_EQ(info.Edition, c.edition) << c.what;
    }
}

TEST(BuildOsInfo, NamesComeFromThePlainQueryAndNumbersFromTheExtendedOne) {
    // A compatibility shim can make the two queries disagree.
    OsVersionRaw raw = Nt(5, 1, 1);
    raw.exMajorVersion = 6;
    raw.exMinorVersion = 1;
    raw.exBuildNumber = 7601;
    raw.csdVersion = "Service Pack 3";
    raw.exCsdVersion = "Service Pack 1";
    const OsInformation info = BuildOsInfo(raw);
    EXPECT_EQ(info.VersionName, "XP");
    EXPECT_EQ(info.MajorVersion, 6);
    EXPECT_EQ(info.MinorVersion, 1);
    EXPECT_EQ(info.BuildNumber, 7601);
    EXPECT_EQ(info.CSDVersion, "Service Pack 1");
}

TEST(BuildOsInfo, FailedExtendedQueryLeavesItsNumbersZero) {
    OsVersionRaw raw;
    raw.platformId = 2;
    raw.majorVersion = 5;
    raw.minorVersion = 0;
    raw.buildNumber = 2195;
    raw.csdVersion = "Service Pack 4";
    const OsInformation info = BuildOsInfo(raw);
    EXPECT_EQ(info.VersionName, "2000");
    EXPECT_EQ(info.Edition, "");
    EXPECT_EQ(info.FullText, "Windows 2000 ");
    EXPECT_EQ(info.FullNumbers,
              "PID:2 MAV:0 MIV:0 BLD:0 CSD: PRTY:0 RSVD:0 SPMA:0 SPMI:0 MASK:0 PRIN:0 OSA:x86");
}

TEST(BuildOsInfo, Windows7ProfessionalX64Record) {
    OsVersionRaw raw = Nt(6, 1, 1, 0x100, 48, kAmd64);
    raw.buildNumber = raw.exBuildNumber = 7601;
    raw.csdVersion = raw.exCsdVersion = "Service Pack 1";
    raw.servicePackMajor = 1;
    const OsInformation info = BuildOsInfo(raw);
    EXPECT_EQ(info.FullText, "Windows 7 Professional (x64) [Service Pack 1]");
    EXPECT_EQ(info.FullNumbers,
              "PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service Pack 1 PRTY:1 RSVD:0 SPMA:1 SPMI:0 "
              "MASK:256 PRIN:48 OSA:x64");
    // The numbers line shows the fields; the record size is the one field it leaves out.
    EXPECT_EQ(info.VersionInfoSize, 156);
}

TEST(BuildOsInfo, FullNumbersPrintsWordsSignedAndBytesUnsigned) {
    OsVersionRaw raw = Nt(5, 2, 3, 0x8112, 0, kAmd64);
    raw.servicePackMajor = 0xFFFF;
    raw.servicePackMinor = 0x8000;
    raw.reserved = 0xFF;
    raw.productType = 0xFE;
    raw.exBuildNumber = 3790;
    EXPECT_EQ(BuildOsInfo(raw).FullNumbers,
              "PID:2 MAV:5 MIV:2 BLD:3790 CSD: PRTY:254 RSVD:255 SPMA:-1 SPMI:-32768 "
              "MASK:-32494 PRIN:0 OSA:x64");
}

TEST(BuildOsInfo, ProductInfoIsAskedOnMajorSixOnly) {
    EXPECT_EQ(BuildOsInfo(Nt(6, 2, 1, 0, 48)).ProductInfo, "48");
    EXPECT_EQ(BuildOsInfo(Nt(6, 0, 3, 0, 0xABCDABCD)).ProductInfo, "2882382797");
    EXPECT_EQ(BuildOsInfo(Nt(5, 1, 1, 0, 48)).ProductInfo, "0");
    EXPECT_EQ(BuildOsInfo(Nt(10, 0, 1, 0, 48)).ProductInfo, "0");
    EXPECT_EQ(BuildOsInfo(Win9x(10, 2222, "")).ProductInfo, "");
}

struct TextCase {
    const char* what;
    OsVersionRaw raw;
    const char* fullText;
};

TEST(BuildOsInfo, FullTextKeepsTheBlanksOfEmptyPieces) {
    auto withCsd = [](OsVersionRaw raw, const std::string& csd) {
        raw.csdVersion = raw.exCsdVersion = csd;
        return raw;
    };
    const TextCase cases[] = {
        {"XP SP3 x86", withCsd(Nt(5, 1, 1), "Service Pack 3"),
         "Windows XP Professional [Service Pack 3]"},
        {"7 home premium x64", withCsd(Nt(6, 1, 1, 0, 3, kAmd64), "Service Pack 1"),
         "Windows 7 Home Premium (x64) [Service Pack 1]"},
        {"XP x64", Nt(5, 2, 1, 0, 0, kAmd64), "Windows XP Professional  (x64)"},
        {"web server x86", Nt(6, 0, 3, 0, 17), "Windows Web Server 2008 "},
        {"8 x64", Nt(6, 2, 1, 0, 48, kAmd64), "Windows   (x64)"},
        {"10 x86", Nt(10, 0, 1), "Windows  "},
        {"2003 Itanium", Nt(5, 2, 3, 0x2, 0, kItanium), "Windows Server 2003 Enterprise (Itanium)"},
        {"blank CSD", withCsd(Nt(6, 1, 1, 0, 1), "   "), "Windows 7 Ultimate"},
        {"98 SE", Win9x(10, 2222, " A "), "Windows 98 Second Edition [A]"},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildOsInfo(c.raw).FullText, c.fullText) << c.what;
}

TEST(BuildOsInfo, Windows9xRecord) {
    // The build keeps its low word only, and the NT fields stay out of a 9x record.
    OsVersionRaw raw = Win9x(10, 0x040A08AE, " A ");
    raw.extendedOk = true;
    raw.exMajorVersion = 9;
    raw.suiteMask = 0x8000;
    raw.productType = 3;
    raw.servicePackMajor = 2;
    const OsInformation info = BuildOsInfo(raw);
    EXPECT_EQ(info.FullNumbers, "PID:1 MAV:4 MIV:10 BLD:2222 CSD:A OSA:x86");
    EXPECT_EQ(info.VersionInfoSize, 148);
    EXPECT_EQ(info.ProductInfo, "");
    EXPECT_EQ(info.SuiteMask + info.ProductType + info.ServicePackMajor, 0);
}

TEST(BuildOsInfo, UnknownPlatformFillsOnlyTextAndArchitecture) {
    for (std::uint32_t platform : {0u, 3u}) {
        OsVersionRaw raw = Nt(6, 1, 1, 0x100, 48, kAmd64);
        raw.platformId = platform;
        raw.csdVersion = raw.exCsdVersion = "Service Pack 1";
        const OsInformation info = BuildOsInfo(raw);
        EXPECT_EQ(info.FullText, "Windows  ") << platform;
        EXPECT_EQ(info.Architecture, "Unknown") << platform;
        EXPECT_EQ(info.FullNumbers + info.VersionName + info.ProductInfo + info.CSDVersion, "")
            << platform;
        EXPECT_EQ(info.VersionInfoSize + info.MajorVersion + info.PlatformId + info.SuiteMask, 0)
            << platform;
    }
}

TEST(BuildOsInfo, CsdIsTrimmedOfBlanksOnly) {
    OsVersionRaw raw = Nt(6, 1, 1, 0, 1);
    raw.exCsdVersion = "  Service Pack 1\t ";
    EXPECT_EQ(BuildOsInfo(raw).CSDVersion, "Service Pack 1\t");
}

struct ArchCase {
    const char* what;
    OsVersionRaw raw;
    std::int32_t code;
    const char* text;
};

TEST(OsArchitectureCode, MapsPlatformVersionAndProcessor) {
    auto plat = [](std::uint32_t id) {
        OsVersionRaw raw = Nt(6, 1, 1, 0, 0, kAmd64);
        raw.platformId = id;
        return raw;
    };
    const ArchCase cases[] = {
        {"platform 0", plat(0), kArchUnknown, "Unknown"},
        {"9x", plat(1), kArchX86, "x86"},
        {"platform 3", plat(3), kArchUnknown, "Unknown"},
        {"NT 4 on amd64 word", Nt(4, 0, 1, 0, 0, kAmd64), kArchX86, "x86"},
        {"2000 on amd64 word", Nt(5, 0, 1, 0, 0, kAmd64), kArchX86, "x86"},
        {"XP x86", Nt(5, 1, 1, 0, 0, kX86), kArchX86, "x86"},
        {"XP Itanium", Nt(5, 1, 1, 0, 0, kItanium), kArchItanium, "Itanium"},
        {"7 x64", Nt(6, 1, 1, 0, 0, kAmd64), kArchX64, "x64"},
        {"ARM", Nt(6, 2, 1, 0, 0, 5), kArchUnknown, "Unknown"},
        {"ARM64", Nt(10, 0, 1, 0, 0, 12), kArchUnknown, "Unknown"},
        {"unknown word", Nt(10, 0, 1, 0, 0, 0xFFFF), kArchUnknown, "Unknown"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OsArchitectureCode(c.raw), c.code) << c.what;
        EXPECT_EQ(ArchitectureText(c.code), c.text) << c.what;
        EXPECT_EQ(BuildOsInfo(c.raw).Architecture, c.text) << c.what;
    }
}

TEST(NeedsNativeArchitecture, OnlyFromXpOnTheNtFamily) {
    EXPECT_FALSE(NeedsNativeArchitecture(1, 4, 90) || NeedsNativeArchitecture(2, 4, 0) ||
                 NeedsNativeArchitecture(2, 5, 0) || NeedsNativeArchitecture(3, 10, 0));
    EXPECT_TRUE(NeedsNativeArchitecture(2, 5, 1) && NeedsNativeArchitecture(2, 6, 0) &&
                NeedsNativeArchitecture(2, 10, 0));
}

TEST(IsAdminDecision, NonNtCountsAsAdministratorNtNeedsAdminPrivilege) {
    struct Case {
        std::uint32_t platform, netResult, privilege;
        bool admin;
    } const cases[] = {
        {0, 2221, 0, true},  {1, 0, 0, true},  {3, 5, 1, true},
        {2, 0, 2, true},     {2, 0, 1, false}, {2, 0, 0, false},
        {2, 2221, 2, false}, {2, 5, 2, false}, {2, 0, 3, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAdminDecision(c.platform, c.netResult, c.privilege), c.admin)
            << c.platform << " " << c.netResult << " " << c.privilege;
}

}  // namespace
}  // namespace tunlatch
