#include "system/win32/os_facts.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <lm.h>

#include <cstring>
#include <vector>

#include "system/os_version.h"
#include "system/win32/system_library.h"

namespace tunlatch::win32 {

namespace {

static_assert(sizeof(OSVERSIONINFOEXA) == 156);
static_assert(sizeof(USER_INFO_1) == (sizeof(void*) == 4 ? 32 : 56));

using NetUserGetInfoFn = NET_API_STATUS(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE*);
using NetApiBufferFreeFn = NET_API_STATUS(WINAPI*)(LPVOID);

std::string TextUpToNul(const char* text, std::size_t capacity) {
    return std::string(text, strnlen(text, capacity));
}

OsVersionRaw Gather() {
    OsVersionRaw raw;
    OSVERSIONINFOEXA ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) {
        raw.platformId = ex.dwPlatformId;
        raw.majorVersion = ex.dwMajorVersion;
        raw.minorVersion = ex.dwMinorVersion;
        raw.buildNumber = ex.dwBuildNumber;
        raw.csdVersion = TextUpToNul(ex.szCSDVersion, sizeof ex.szCSDVersion);
        raw.servicePackMajor = ex.wServicePackMajor;
        raw.servicePackMinor = ex.wServicePackMinor;
        raw.suiteMask = ex.wSuiteMask;
        raw.productType = ex.wProductType;
        raw.reserved = ex.wReserved;
    }
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    raw.processorArchitecture = info.wProcessorArchitecture;
    DWORD code = 0;
    if (HasProductInfo(raw.majorVersion) &&
        ::GetProductInfo(raw.majorVersion, raw.minorVersion, raw.servicePackMajor,
                         raw.servicePackMinor, &code))
        raw.productInfo = code;
    return raw;
}

std::wstring CurrentUserName() {
    DWORD size = 0;
    ::GetUserNameW(nullptr, &size);
    if (size == 0) return {};
    std::vector<wchar_t> name(size);
    if (!::GetUserNameW(name.data(), &size)) return {};
    return name.data();
}

}  // namespace

OsInformation Win32OsFacts::GetOSInf() {
    return BuildOsInfo(Gather());
}

// netapi32 is no known DLL and no load-time import: the program restricts DLL loading to the
// system folder before it runs, and it is loaded from there when asked for.
bool Win32OsFacts::IsAdmin() {
    const std::wstring name = CurrentUserName();
    const UniqueModule netapi = LoadSystemLibrary("netapi32.dll");
    if (!netapi) return false;
    const auto getInfo = FindExport<NetUserGetInfoFn>(netapi.get(), "NetUserGetInfo");
    const auto bufferFree = FindExport<NetApiBufferFreeFn>(netapi.get(), "NetApiBufferFree");
    if (getInfo == nullptr || bufferFree == nullptr) return false;
    LPBYTE buffer = nullptr;
    const NET_API_STATUS result = getInfo(nullptr, name.c_str(), 1, &buffer);
    DWORD privilege = 0;
    if (result == NERR_Success && buffer != nullptr) {
        USER_INFO_1 info;
        std::memcpy(&info, buffer, sizeof info);
        privilege = info.usri1_priv;
    }
    if (buffer != nullptr) bufferFree(buffer);
    return IsAdminDecision(result, privilege);
}

}  // namespace tunlatch::win32
