#pragma once
// The decisions of modOSVerInfo, kept apart from the platform queries so that every Windows
// version can be described by its raw values and checked anywhere.
#include <cstdint>
#include <string>

#include "system/os_info.h"

namespace tunlatch {

// What the platform's version queries report, unexamined.
struct OsVersionRaw {
    // The plain version query (the 148-byte record).
    std::uint32_t platformId = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::string csdVersion;  // up to the first NUL, untrimmed

    // The extended query (the 156-byte record), asked on the NT family only; all zero when it
    // failed or was not asked.
    bool extendedOk = false;
    std::uint32_t exMajorVersion = 0;
    std::uint32_t exMinorVersion = 0;
    std::uint32_t exBuildNumber = 0;
    std::string exCsdVersion;  // up to the first NUL, untrimmed
    std::uint16_t servicePackMajor = 0;
    std::uint16_t servicePackMinor = 0;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;
    std::uint8_t reserved = 0;

    // GetProductInfo's code; 0 when the call failed or was not made.
    std::uint32_t productInfo = 0;

    // GetSystemMetrics 86 to 89.
    std::int32_t tabletPc = 0;
    std::int32_t mediaCenter = 0;
    std::int32_t starter = 0;
    std::int32_t serverR2 = 0;

    // wProcessorArchitecture of GetNativeSystemInfo.
    std::uint16_t processorArchitecture = 0;
};

// Whether the native processor architecture has to be asked for at all: the NT family from
// XP on. Older systems lack the query and are taken as x86.
bool NeedsNativeArchitecture(std::uint32_t platformId, std::uint32_t majorVersion,
                             std::uint32_t minorVersion);

// GetOSArch's code (kArchUnknown ... kArchItanium) from the plain query and the native
// processor architecture.
std::int32_t OsArchitectureCode(const OsVersionRaw& raw);

// "x86", "x64", "Itanium" or "Unknown".
std::string ArchitectureText(std::int32_t code);

// The whole OS information record.
OsInformation BuildOsInfo(const OsVersionRaw& raw);

// IsAdmin's answer: every non-NT system counts as administrator; on NT the account lookup must
// succeed (netResult 0) and report administrator privilege.
bool IsAdminDecision(std::uint32_t platformId, std::uint32_t netResult, std::uint32_t privilege);

}  // namespace tunlatch
