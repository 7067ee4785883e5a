#pragma once
// OS facts (modOSVerInfo): which Windows this is, its architecture, and whether the user is an
// administrator.
#include <cstdint>
#include <string>

namespace tunlatch {

// Architecture codes of GetOSArch.
inline constexpr std::int32_t kArchUnknown = 0;
inline constexpr std::int32_t kArchX86 = 1;
inline constexpr std::int32_t kArchX64 = 2;
inline constexpr std::int32_t kArchItanium = 3;

// The OS information record. Architecture is exactly "x86", "x64", "Itanium" or "Unknown";
// VersionName is exactly "2000" on Windows 2000.
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
    virtual std::int32_t GetOSArch() = 0;
    // userName empty means the current user.
    virtual bool IsAdmin(const std::string& userName) = 0;
};

}  // namespace tunlatch
