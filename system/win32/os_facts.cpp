#include "system/win32/os_facts.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <lm.h>

#include <cstring>
#include <vector>

#include "system/os_version.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOEXA) == 156);
static_assert(sizeof(USER_INFO_1) == (sizeof(void*) == 4 ? 32 : 56));

using NetUserGetInfoFn = NET_API_STATUS(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE*);
using NetApiBufferFreeFn = NET_API_STATUS(WINAPI*)(LPVOID);

std::string TextUpToNul(const char* text, std::size_t capacity) {
    return std::string(text, strnlen(text, capacity));
}

OSVERSIONINFOA PlainVersion() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ::GetVersionExA(&version);
    return version;
}

void AddPlain(const OSVERSIONINFOA& version, OsVersionRaw& raw) {
    raw.platformId = version.dwPlatformId;
    raw.majorVersion = version.dwMajorVersion;
    raw.minorVersion = version.dwMinorVersion;
    raw.buildNumber = version.dwBuildNumber;
    raw.csdVersion = TextUpToNul(version.szCSDVersion, sizeof version.szCSDVersion);
}

void AddExtended(OsVersionRaw& raw) {
    OSVERSIONINFOEXA ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) return;
    raw.extendedOk = true;
    raw.exMajorVersion = ex.dwMajorVersion;
    raw.exMinorVersion = ex.dwMinorVersion;
    raw.exBuildNumber = ex.dwBuildNumber;
    raw.exCsdVersion = TextUpToNul(ex.szCSDVersion, sizeof ex.szCSDVersion);
    raw.servicePackMajor = ex.wServicePackMajor;
    raw.servicePackMinor = ex.wServicePackMinor;
    raw.suiteMask = ex.wSuiteMask;
    raw.productType = ex.wProductType;
    raw.reserved = ex.wReserved;
}

// Systems before XP lack GetNativeSystemInfo; the rules take them as x86 without asking.
void AddNativeArchitecture(OsVersionRaw& raw) {
    if (!NeedsNativeArchitecture(raw.platformId, raw.majorVersion, raw.minorVersion)) return;
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    raw.processorArchitecture = info.wProcessorArchitecture;
}

OsVersionRaw Gather() {
    OsVersionRaw raw;
    AddPlain(PlainVersion(), raw);
    AddNativeArchitecture(raw);
    if (raw.platformId != VER_PLATFORM_WIN32_NT) return raw;
    AddExtended(raw);
    raw.tabletPc = ::GetSystemMetrics(SM_TABLETPC);
    raw.mediaCenter = ::GetSystemMetrics(SM_MEDIACENTER);
    raw.starter = ::GetSystemMetrics(SM_STARTER);
    raw.serverR2 = ::GetSystemMetrics(SM_SERVERR2);
    // GetProductInfo exists from Vista on, which is where the rules need it.
    DWORD code = 0;
    if (raw.majorVersion == 6 &&
        !::GetProductInfo(raw.majorVersion, raw.minorVersion, raw.servicePackMajor,
                          raw.servicePackMinor, &code))
        code = 0;
    raw.productInfo = code;
    return raw;
}

std::string CurrentUserName() {
    DWORD size = 0;
    ::GetUserNameA(nullptr, &size);
    if (size == 0) return {};
    std::vector<char> name(size);
    if (!::GetUserNameA(name.data(), &size)) return {};
    return TextUpToNul(name.data(), name.size());
}

std::wstring Wide(const std::string& text) {
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 0) return {};
    std::vector<wchar_t> wide(size);
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
    return wide.data();
}

// The program limits DLL loading to the system folder and netapi32 is no known DLL, so it is
// loaded here by name from that folder, never found through a search path. Windows 7 without
// the search-flags update rejects the flag; then the full path does the same job.
UniqueModule LoadNetApi() {
    UniqueModule module(::LoadLibraryExA("netapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return module;
    module.reset(::LoadLibraryA((std::string(folder, length) + "\\netapi32.dll").c_str()));
    return module;
}

template <typename Fn>
Fn Procedure(HMODULE module, const char* name) {
    // Through the generic function type, which every function pointer may be cast to.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace

OsInformation Win32OsFacts::GetOSInf() {
    return BuildOsInfo(Gather());
}

std::int32_t Win32OsFacts::GetOSArch() {
    OsVersionRaw raw;
    AddPlain(PlainVersion(), raw);
    AddNativeArchitecture(raw);
    return OsArchitectureCode(raw);
}

bool Win32OsFacts::IsAdmin(const std::string& userName) {
    const DWORD platform = PlainVersion().dwPlatformId;
    if (platform != VER_PLATFORM_WIN32_NT) return IsAdminDecision(platform, 0, 0);
    const std::wstring name = Wide(userName.empty() ? CurrentUserName() : userName);
    const UniqueModule netapi = LoadNetApi();
    if (!netapi) return false;
    const auto getInfo = Procedure<NetUserGetInfoFn>(netapi.get(), "NetUserGetInfo");
    const auto bufferFree = Procedure<NetApiBufferFreeFn>(netapi.get(), "NetApiBufferFree");
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
    return IsAdminDecision(platform, result, privilege);
}

}  // namespace tunlatch::win32
