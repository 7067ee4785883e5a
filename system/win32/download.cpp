#include "system/win32/download.h"

#include <windows.h>

#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

namespace {

// The caller object and the status callback are COM interfaces this program never passes.
using UrlDownloadToFileAFn = HRESULT(WINAPI*)(void* caller, LPCSTR url, LPCSTR file, DWORD reserved,
                                              void* callback);

UniqueModule LoadUrlmon() {
    UniqueModule urlmon(::LoadLibraryExA("urlmon.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Windows 7 without its loader update does not know the flag; name the file in the system
    // folder instead, so the search order never picks a planted copy.
    if (!urlmon && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        char folder[MAX_PATH];
        const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return urlmon;
        const std::string path = std::string(folder, length) + "\\urlmon.dll";
        urlmon.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    return urlmon;
}

}  // namespace

bool Win32Download::UrlDownloadToFile(const std::string& url, const std::string& path) {
    if (!urlmon_) urlmon_ = LoadUrlmon();
    if (!urlmon_) return false;
    const FARPROC proc = ::GetProcAddress(urlmon_.get(), "URLDownloadToFileA");
    if (proc == nullptr) return false;
    const auto download = reinterpret_cast<UrlDownloadToFileAFn>(reinterpret_cast<void*>(proc));
    return SUCCEEDED(download(nullptr, url.c_str(), path.c_str(), 0, nullptr));
}

}  // namespace tunlatch::win32
