#pragma once
// OS facts: which Windows this is, its architecture, and whether the user is an administrator.
#include <cstdint>
#include <string>

namespace tunlatch {

// The OS information record. Architecture is exactly "x86", "x64", "Itanium" or "Unknown".
struct OsInformation {
    std::string FullText;
    std::string FullNumbers;
    std::string VersionName;
    std::string Edition;
    std::string Architecture;
    std::string ProductInfo;
    std::int32_t VersionInfoSize = 0;
    std::int32_t MajorVersion = 0;
    std::int32_t MinorVersion = 0;
    std::int32_t BuildNumber = 0;
    std::int32_t PlatformId = 0;
    std::string CSDVersion;
    std::int16_t ServicePackMajor = 0;
    std::int16_t ServicePackMinor = 0;
    std::int16_t SuiteMask = 0;
    std::uint8_t ProductType = 0;
    std::uint8_t Reserved = 0;
};

class OsFacts {
public:
    virtual ~OsFacts() = default;
    virtual OsInformation GetOSInf() = 0;
    // Whether the current user's account has administrator privilege.
    virtual bool IsAdmin() = 0;
};

}  // namespace tunlatch
