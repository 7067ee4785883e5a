#pragma once
// The OS-version rules, kept apart from the platform queries so that every Windows version can
// be described by its raw values and checked anywhere.
#include <cstdint>
#include <string>

#include "system/os_info.h"

namespace tunlatch {

// What the platform's version queries report, unexamined; all zero where a query failed.
struct OsVersionRaw {
    // The extended version record (GetVersionExA with OSVERSIONINFOEXA).
    std::uint32_t platformId = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::string csdVersion;  // up to the first NUL, untrimmed
    std::uint16_t servicePackMajor = 0;
    std::uint16_t servicePackMinor = 0;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;
    std::uint8_t reserved = 0;

    // GetProductInfo's code; 0 when the call failed or was not made.
    std::uint32_t productInfo = 0;

    // wProcessorArchitecture of GetNativeSystemInfo.
    std::uint16_t processorArchitecture = 0;
};

// Whether GetProductInfo answers for this major version: from Vista on. The program needs
// Vista, but a compatibility mode can still report an older version.
bool HasProductInfo(std::uint32_t majorVersion);

// The whole OS information record.
OsInformation BuildOsInfo(const OsVersionRaw& raw);

// IsAdmin's answer from the account lookup's result and the privilege it reported: the lookup
// must succeed and report administrator privilege.
bool IsAdminDecision(std::uint32_t netResult, std::uint32_t privilege);

}  // namespace tunlatch
