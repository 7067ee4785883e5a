#include "system/win32/program_host.h"

#include <windows.h>

#include <vector>

namespace tunlatch::win32 {

namespace {
// Machine-wide, so that two users cannot switch the same service at the same time.
constexpr const char* kInstanceMutexName = "Global\\Tunlatch.SingleInstance.7c1e4b52";
}  // namespace

bool Win32ProgramHost::AnotherCopyRunning() {
    instanceMutex_.reset(::CreateMutexA(nullptr, FALSE, kInstanceMutexName));
    if (!instanceMutex_) {
        // Access denied means another user's copy holds the name.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    return ::GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string Win32ProgramHost::ProgramFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            std::string file(path.data(), n);
            const auto slash = file.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : file.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

VersionNumbers Win32ProgramHost::ProgramVersion() {
    // The fixed part of the version resource, read without version.dll.
    VersionNumbers v;
    HRSRC res = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    if (!res) return v;
    HGLOBAL data = ::LoadResource(nullptr, res);
    const auto* bytes = static_cast<const BYTE*>(::LockResource(data));
    const DWORD size = ::SizeofResource(nullptr, res);
    if (!bytes) return v;
    for (DWORD i = 0; i + sizeof(VS_FIXEDFILEINFO) <= size; i += 4) {
        VS_FIXEDFILEINFO info;
        memcpy(&info, bytes + i, sizeof info);
        if (info.dwSignature == 0xFEEF04BD) {
            v.major = HIWORD(info.dwFileVersionMS);
            v.minor = LOWORD(info.dwFileVersionMS);
            v.build = HIWORD(info.dwFileVersionLS);
            v.revision = LOWORD(info.dwFileVersionLS);
            break;
        }
    }
    return v;
}

std::optional<std::string> Win32ProgramHost::TempFolder() {
    char path[MAX_PATH + 1];
    const DWORD n = ::GetTempPathA(sizeof path, path);
    if (n == 0 || n >= sizeof path) return std::nullopt;
    return std::string(path, n);
}

}  // namespace tunlatch::win32
