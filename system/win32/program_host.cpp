#include "system/win32/program_host.h"

#include <windows.h>

#include <string>
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

Result<std::string, FolderTrouble> Win32ProgramHost::ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return FolderTrouble::Unknown;
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    // An empty folder would send every file name of the run to the current drive's root.
    const auto slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || slash == 0) return FolderTrouble::Unknown;
    path.resize(slash);
    // UTF-8, the manifest's code page from Windows 10 1903 on, spells every path; another code
    // page may lack a letter, for which every ANSI call would get "?" or a look-alike (best fit)
    // and reach no file or another one.
    const bool utf8 = ::GetACP() == CP_UTF8;
    BOOL lacking = FALSE;
    const auto convert = [&](char* ansi, int size) {
        return ::WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, path.data(),
                                     static_cast<int>(path.size()), ansi, size, nullptr,
                                     utf8 ? nullptr : &lacking);
    };
    std::string ansi(static_cast<std::size_t>(convert(nullptr, 0)), '\0');
    if (ansi.empty() || convert(ansi.data(), static_cast<int>(ansi.size())) == 0 || lacking)
        return FolderTrouble::Unspellable;
    return ansi;
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
