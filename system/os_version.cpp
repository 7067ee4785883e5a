#include "system/os_version.h"

namespace tunlatch {

namespace {

constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint32_t kUnlicensed = 0xABCDABCD;
// The record always comes from the extended query, whose size it reports.
constexpr std::int32_t kExtendedRecordSize = 156;
constexpr std::uint32_t kNetSuccess = 0;
constexpr std::uint32_t kAdminPrivilege = 2;

struct Names {
    std::string version;
    std::string edition;
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsServer(std::uint8_t productType) {
    return productType == 2 || productType == 3;
}

struct EditionRow {
    std::uint32_t code;
    const char* edition;
};

template <std::size_t N>
const char* FindEdition(const EditionRow (&rows)[N], std::uint32_t code) {
    for (const auto& row : rows)
        if (row.code == code) return row.edition;
    return nullptr;
}

std::string EditionOr(const char* edition) {
    return edition != nullptr ? edition : "<unknown>";
}

// Vista and 7 share the table; only 7 knows the Professional code.
constexpr EditionRow kVistaEditions[] = {
    {1, "Ultimate"},     {28, "Ultimate N"},     {6, "Business"},   {16, "Business N"},
    {4, "Enterprise"},   {27, "Enterprise N"},   {2, "Home Basic"}, {5, "Home Basic N"},
    {3, "Home Premium"}, {26, "Home Premium N"}, {11, "Starter"},   {kUnlicensed, "<unlicensed>"},
};

std::string VistaEdition(std::uint32_t code, bool seven) {
    if (seven && code == 48) return "Professional";
    return EditionOr(FindEdition(kVistaEditions, code));
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

// From Windows 8 on, with the names Windows 10 and 11 give them. One code serves every
// long-term release, LTSB 2015 and 2016 included.
constexpr EditionRow kWorkstationEditions[] = {
    {101, "Home"},
    {98, "Home N"},
    {100, "Home Single Language"},
    {99, "Home China"},
    {48, "Pro"},
    {49, "Pro N"},
    {103, "Pro with Media Center"},
    {161, "Pro for Workstations"},
    {162, "Pro for Workstations N"},
    {164, "Pro Education"},
    {165, "Pro Education N"},
    {121, "Education"},
    {122, "Education N"},
    {4, "Enterprise"},
    {27, "Enterprise N"},
    {72, "Enterprise Evaluation"},
    {84, "Enterprise N Evaluation"},
    {125, "Enterprise LTSC"},
    {126, "Enterprise N LTSC"},
    {129, "Enterprise LTSC Evaluation"},
    {130, "Enterprise N LTSC Evaluation"},
    {175, "Enterprise multi-session"},
    {188, "IoT Enterprise"},
    {191, "IoT Enterprise LTSC"},
    {kUnlicensed, "<unlicensed>"},
};

// Windows 8 and 8.1 sold their basic edition under the version's name alone.
constexpr EditionRow kEightCoreEditions[] = {
    {101, ""}, {98, "N"}, {100, "Single Language"}, {99, "China"}};

// From Server 2012 on, where core installations report the codes of full ones; only the
// Semi-Annual Channel, which is core only, has codes of its own.
constexpr EditionRow kServerEditions[] = {
    {7, "Standard"},
    {8, "Datacenter"},
    {79, "Standard Evaluation"},
    {80, "Datacenter Evaluation"},
    {146, "Standard, Semi-Annual Channel"},
    {145, "Datacenter, Semi-Annual Channel"},
    {50, "Essentials"},
    {33, "Foundation"},
    {kUnlicensed, "<unlicensed>"},
};

struct Release {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t firstBuild;
    bool server;
    const char* name;
};

// Releases that share a version differ by build. Each server release claims the builds from its
// own up to the next one's, so the Semi-Annual Channel servers between two long-term releases
// (1709 to 20H2) take the name of the one they followed. Newest first within a version.
constexpr Release kReleases[] = {
    {10, 0, 22000, false, "11"},
    {10, 0, 0, false, "10"},
    {6, 3, 0, false, "8.1"},
    {6, 2, 0, false, "8"},
    {10, 0, 26100, true, "Server 2025"},
    {10, 0, 20348, true, "Server 2022"},
    {10, 0, 17763, true, "Server 2019"},
    {10, 0, 0, true, "Server 2016"},
    {6, 3, 0, true, "Server 2012 R2"},
    {6, 2, 0, true, "Server 2012"},
};

const Release* FindRelease(const OsVersionRaw& raw, bool server) {
    for (const auto& release : kReleases)
        if (release.server == server && release.major == raw.majorVersion &&
            release.minor == raw.minorVersion && raw.buildNumber >= release.firstBuild)
            return &release;
    return nullptr;
}

std::string LaterEdition(const OsVersionRaw& raw, bool server) {
    if (server) return EditionOr(FindEdition(kServerEditions, raw.productInfo));
    const bool eight = raw.majorVersion == 6;
    const char* core = eight ? FindEdition(kEightCoreEditions, raw.productInfo) : nullptr;
    return core != nullptr ? core : EditionOr(FindEdition(kWorkstationEditions, raw.productInfo));
}

Names NamesOf(const OsVersionRaw& raw) {
    const bool workstation = raw.productType == kWorkstation;
    if (!workstation && !IsServer(raw.productType)) return {};
    if (raw.majorVersion == 6 && raw.minorVersion == 0)
        return workstation ? Names{"Vista", VistaEdition(raw.productInfo, false)}
                           : Server2008(raw.productInfo);
    if (raw.majorVersion == 6 && raw.minorVersion == 1)
        return workstation ? Names{"7", VistaEdition(raw.productInfo, true)}
                           : Names{"Server 2008", "R2"};
    const Release* release = FindRelease(raw, !workstation);
    if (release == nullptr) return {};
    return {release->name, LaterEdition(raw, !workstation)};
}

struct Architecture {
    std::uint16_t processor;
    const char* text;
    const char* suffix;
};

// GetNativeSystemInfo's processor codes; others, ARM among them, are unknown to the record.
constexpr Architecture kArchitectures[] = {
    {0, "x86", ""},
    {6, "Itanium", " (Itanium)"},
    {9, "x64", " (x64)"},
};

Architecture ArchitectureOf(std::uint16_t processor) {
    for (const auto& architecture : kArchitectures)
        if (architecture.processor == processor) return architecture;
    return {processor, "Unknown", ""};
}

// Product type and reserved byte print as unsigned bytes, the three words as signed ones.
std::string Numbers(const OsInformation& info) {
    return "PID:" + std::to_string(info.PlatformId) + " MAV:" + std::to_string(info.MajorVersion) +
           " MIV:" + std::to_string(info.MinorVersion) +
           " BLD:" + std::to_string(info.BuildNumber) + " CSD:" + info.CSDVersion +
           " PRTY:" + std::to_string(unsigned{info.ProductType}) +
           " RSVD:" + std::to_string(unsigned{info.Reserved}) +
           " SPMA:" + std::to_string(int{info.ServicePackMajor}) +
           " SPMI:" + std::to_string(int{info.ServicePackMinor}) +
           " MASK:" + std::to_string(int{info.SuiteMask}) + " PRIN:" + info.ProductInfo +
           " OSA:" + info.Architecture;
}

}  // namespace

bool HasProductInfo(std::uint32_t majorVersion) {
    return majorVersion >= 6;
}

OsInformation BuildOsInfo(const OsVersionRaw& raw) {
    OsInformation info;
    const Names names = NamesOf(raw);
    info.VersionName = names.version;
    info.Edition = names.edition;
    const Architecture architecture = ArchitectureOf(raw.processorArchitecture);
    info.Architecture = architecture.text;
    info.ProductInfo = std::to_string(HasProductInfo(raw.majorVersion) ? raw.productInfo : 0);
    info.VersionInfoSize = kExtendedRecordSize;
    info.PlatformId = static_cast<std::int32_t>(raw.platformId);
    info.MajorVersion = static_cast<std::int32_t>(raw.majorVersion);
    info.MinorVersion = static_cast<std::int32_t>(raw.minorVersion);
    info.BuildNumber = static_cast<std::int32_t>(raw.buildNumber);
    info.CSDVersion = Trim(raw.csdVersion);
    info.ServicePackMajor = static_cast<std::int16_t>(raw.servicePackMajor);
    info.ServicePackMinor = static_cast<std::int16_t>(raw.servicePackMinor);
    info.SuiteMask = static_cast<std::int16_t>(raw.suiteMask);
    info.ProductType = raw.productType;
    info.Reserved = raw.reserved;
    info.FullNumbers = Numbers(info);
    // Empty names keep their blanks, so the text always has the same shape.
    info.FullText = "Windows " + info.VersionName + " " + info.Edition + architecture.suffix;
    if (!info.CSDVersion.empty()) info.FullText += " [" + info.CSDVersion + "]";
    return info;
}

bool IsAdminDecision(std::uint32_t netResult, std::uint32_t privilege) {
    return netResult == kNetSuccess && privilege == kAdminPrivilege;
}

}  // namespace tunlatch
