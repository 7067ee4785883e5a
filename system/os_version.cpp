#include "system/os_version.h"

#include <cctype>

namespace tunlatch {

namespace {

constexpr std::uint32_t kPlatform9x = 1;
constexpr std::uint32_t kPlatformNt = 2;

constexpr std::uint16_t kSuiteSmallBusiness = 0x1;
constexpr std::uint16_t kSuiteEnterprise = 0x2;
constexpr std::uint16_t kSuiteEmbeddedNt = 0x40;
constexpr std::uint16_t kSuiteDatacenter = 0x80;
constexpr std::uint16_t kSuitePersonal = 0x200;
constexpr std::uint16_t kSuiteBlade = 0x400;
constexpr std::uint16_t kSuiteHomeServer = 0x8000;

constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint32_t kUnlicensed = 0xABCDABCD;

struct Names {
    std::string version;
    std::string edition;
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsServer(std::uint8_t productType) {
    return productType == 2 || productType == 3;
}

Names Names9x(std::uint32_t minor, std::uint16_t build, const std::string& csd) {
    const std::string sp = Upper(csd);
    switch (minor) {
        case 0:
            if (sp == "A") return {"95", "OSR1"};
            if (sp == "B") return {"95", build >= 1111 && build < 1212 ? "OSR2" : "OSR2.1"};
            if (sp == "C") return {"95", "OSR2.5"};
            return {"95", ""};
        case 10:
            return {"98", sp == "A" ? "Second Edition" : ""};
        case 90:
            return {"ME", ""};
        default:
            return {};
    }
}

std::string EditionNt4(const OsVersionRaw& raw) {
    if (raw.productType == kWorkstation) return "Workstation";
    if (!IsServer(raw.productType)) return {};
    return raw.suiteMask & kSuiteEnterprise ? "Server Enterprise" : "Server Standard";
}

std::string Edition2000(const OsVersionRaw& raw) {
    if (raw.productType == kWorkstation) return "Professional";
    if (!IsServer(raw.productType)) return {};
    if (raw.suiteMask & kSuiteDatacenter) return "Datacenter Server";
    if (raw.suiteMask & kSuiteEnterprise) return "Advanced Server";
    return "Server";
}

std::string EditionXp(const OsVersionRaw& raw) {
    if (raw.suiteMask & kSuiteEmbeddedNt) return "Embedded";
    if (raw.mediaCenter != 0) return "Media Center";
    if (raw.tabletPc != 0) return "Tablet PC";
    if (raw.starter != 0) return "Starter";
    if (raw.suiteMask & kSuitePersonal) return "Home";
    return "Professional";
}

Names Names2003(const OsVersionRaw& raw, std::int32_t arch) {
    if (arch == kArchX64 && raw.productType == kWorkstation) return {"XP Professional", ""};
    if (IsServer(raw.productType) && raw.serverR2 == 0) {
        if (raw.suiteMask & kSuiteSmallBusiness) return {"Server 2003", "Small Business"};
        if (raw.suiteMask & kSuiteEnterprise) return {"Server 2003", "Enterprise"};
        if (raw.suiteMask & kSuiteDatacenter) return {"Server 2003", "Datacenter"};
        if (raw.suiteMask & kSuiteBlade) return {"Server 2003", "Web Edition"};
        if (raw.suiteMask & kSuiteHomeServer) return {"Home Server", ""};
        return {"Server 2003", "Standard"};
    }
    if (IsServer(raw.productType) && raw.serverR2 != 0) return {"Server 2003", "R2"};
    return {"Server 2003", "<unknown>"};
}

struct EditionRow {
    std::uint32_t code;
    const char* edition;
};

// Vista and 7 share the table; only 7 knows the Professional code.
constexpr EditionRow kWorkstationEditions[] = {
    {1, "Ultimate"},     {28, "Ultimate N"},     {6, "Business"},   {16, "Business N"},
    {4, "Enterprise"},   {27, "Enterprise N"},   {2, "Home Basic"}, {5, "Home Basic N"},
    {3, "Home Premium"}, {26, "Home Premium N"}, {11, "Starter"},   {kUnlicensed, "<unlicensed>"},
};

std::string WorkstationEdition(std::uint32_t code, bool seven) {
    if (seven && code == 48) return "Professional";
    for (const auto& row : kWorkstationEditions)
        if (row.code == code) return row.edition;
    return "<unknown>";
}

struct ServerRow {
    std::uint32_t code;
    const char* version;
    const char* edition;
};

constexpr ServerRow kServer2008Editions[] = {
    {9, "Small Business Server 2008", "Standard"},
    {25, "Small Business Server 2008", "Premium"},
    {7, "Server 2008", "Standard"},
    {13, "Server 2008", "Standard"},
    {8, "Server 2008", "Datacenter"},
    {12, "Server 2008", "Datacenter"},
    {10, "Server 2008", "Enterprise"},
    {14, "Server 2008", "Enterprise"},
    {15, "Server 2008", "Enterprise"},
    {17, "Web Server 2008", ""},
    {kUnlicensed, "Server 2008", "<unlicensed>"},
};

Names Server2008(std::uint32_t code) {
    for (const auto& row : kServer2008Editions)
        if (row.code == code) return {row.version, row.edition};
    return {"Server 2008", "<unknown>"};
}

Names Names6(const OsVersionRaw& raw) {
    const bool workstation = raw.productType == kWorkstation;
    const bool server = IsServer(raw.productType);
    if (raw.minorVersion == 0 && workstation)
        return {"Vista", WorkstationEdition(raw.productInfo, false)};
    if (raw.minorVersion == 0 && server) return Server2008(raw.productInfo);
    if (raw.minorVersion == 1 && workstation)
        return {"7", WorkstationEdition(raw.productInfo, true)};
    if (raw.minorVersion == 1 && server) return {"Server 2008", "R2"};
    return {};
}

// The version numbers deciding the names always come from the plain query.
Names NamesNt(const OsVersionRaw& raw, std::int32_t arch) {
    const std::uint32_t major = raw.majorVersion;
    const std::uint32_t minor = raw.minorVersion;
    if (major == 3) return {"NT 3." + std::to_string(minor), ""};
    if (major == 4) return {"NT 4." + std::to_string(minor), EditionNt4(raw)};
    if (major == 5 && minor == 0) return {"2000", Edition2000(raw)};
    if (major == 5 && minor == 1) return {"XP", EditionXp(raw)};
    if (major == 5 && minor == 2) return Names2003(raw, arch);
    if (major == 6) return Names6(raw);
    return {};
}

std::string ArchitectureSuffix(std::int32_t code) {
    if (code == kArchX64) return " (x64)";
    if (code == kArchItanium) return " (Itanium)";
    return {};
}

// The labels both families share, up to the service pack text.
std::string VersionNumbers(const OsInformation& info) {
    return "PID:" + std::to_string(info.PlatformId) + " MAV:" + std::to_string(info.MajorVersion) +
           " MIV:" + std::to_string(info.MinorVersion) +
           " BLD:" + std::to_string(info.BuildNumber) + " CSD:" + info.CSDVersion;
}

std::string Numbers9x(const OsInformation& info) {
    return VersionNumbers(info) + " OSA:" + info.Architecture;
}

// Product type and reserved byte print as unsigned bytes, the three words as signed ones.
std::string NumbersNt(const OsInformation& info) {
    return VersionNumbers(info) + " PRTY:" + std::to_string(unsigned{info.ProductType}) +
           " RSVD:" + std::to_string(unsigned{info.Reserved}) +
           " SPMA:" + std::to_string(int{info.ServicePackMajor}) +
           " SPMI:" + std::to_string(int{info.ServicePackMinor}) +
           " MASK:" + std::to_string(int{info.SuiteMask}) + " PRIN:" + info.ProductInfo +
           " OSA:" + info.Architecture;
}

void Fill9x(const OsVersionRaw& raw, OsInformation& info) {
    const auto build = static_cast<std::uint16_t>(raw.buildNumber & 0xFFFF);
    info.VersionInfoSize = 148;
    info.PlatformId = static_cast<std::int32_t>(raw.platformId);
    info.MajorVersion = static_cast<std::int32_t>(raw.majorVersion);
    info.MinorVersion = static_cast<std::int32_t>(raw.minorVersion);
    info.BuildNumber = build;
    info.CSDVersion = Trim(raw.csdVersion);
    const Names names = Names9x(raw.minorVersion, build, info.CSDVersion);
    info.VersionName = names.version;
    info.Edition = names.edition;
    info.FullNumbers = Numbers9x(info);
}

// The record's numbers come from the extended query, which stays zero where it failed.
void FillNt(const OsVersionRaw& raw, std::int32_t arch, OsInformation& info) {
    const Names names = NamesNt(raw, arch);
    info.VersionName = names.version;
    info.Edition = names.edition;
    info.ProductInfo = std::to_string(raw.majorVersion == 6 ? raw.productInfo : 0);
    info.VersionInfoSize = 156;
    info.PlatformId = static_cast<std::int32_t>(raw.platformId);
    info.MajorVersion = static_cast<std::int32_t>(raw.exMajorVersion);
    info.MinorVersion = static_cast<std::int32_t>(raw.exMinorVersion);
    info.BuildNumber = static_cast<std::int32_t>(raw.exBuildNumber);
    info.CSDVersion = Trim(raw.exCsdVersion);
    info.ServicePackMajor = static_cast<std::int16_t>(raw.servicePackMajor);
    info.ServicePackMinor = static_cast<std::int16_t>(raw.servicePackMinor);
    info.SuiteMask = static_cast<std::int16_t>(raw.suiteMask);
    info.ProductType = raw.productType;
    info.Reserved = raw.reserved;
    info.FullNumbers = NumbersNt(info);
}

}  // namespace

bool NeedsNativeArchitecture(std::uint32_t platformId, std::uint32_t majorVersion,
                             std::uint32_t minorVersion) {
    return platformId == kPlatformNt &&
           (majorVersion > 5 || (majorVersion == 5 && minorVersion > 0));
}

std::int32_t OsArchitectureCode(const OsVersionRaw& raw) {
    if (raw.platformId == kPlatform9x) return kArchX86;
    if (raw.platformId != kPlatformNt) return kArchUnknown;
    if (!NeedsNativeArchitecture(raw.platformId, raw.majorVersion, raw.minorVersion))
        return kArchX86;
    switch (static_cast<std::int16_t>(raw.processorArchitecture)) {
        case 0:
            return kArchX86;
        case 6:
            return kArchItanium;
        case 9:
            return kArchX64;
        default:
            return kArchUnknown;
    }
}

std::string ArchitectureText(std::int32_t code) {
    switch (code) {
        case kArchX86:
            return "x86";
        case kArchX64:
            return "x64";
        case kArchItanium:
            return "Itanium";
        default:
            return "Unknown";
    }
}

OsInformation BuildOsInfo(const OsVersionRaw& raw) {
    OsInformation info;
    const std::int32_t arch = OsArchitectureCode(raw);
    info.Architecture = ArchitectureText(arch);
    if (raw.platformId == kPlatform9x) Fill9x(raw, info);
    if (raw.platformId == kPlatformNt) FillNt(raw, arch, info);
    // Empty names keep their blanks, so the text always has the same shape.
    info.FullText = "Windows " + info.VersionName + " " + info.Edition + ArchitectureSuffix(arch);
    if (!info.CSDVersion.empty()) info.FullText += " [" + info.CSDVersion + "]";
    return info;
}

bool IsAdminDecision(std::uint32_t platformId, std::uint32_t netResult, std::uint32_t privilege) {
    if (platformId != kPlatformNt) return true;
    return netResult == 0 && privilege == 2;
}

}  // namespace tunlatch
