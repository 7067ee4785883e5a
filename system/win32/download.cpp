#include "system/win32/download.h"

#include <windows.h>

#include "system/win32/system_library.h"

namespace tunlatch::win32 {

namespace {
// The caller object and the status callback are COM interfaces this program never passes.
using UrlDownloadToFileAFn = HRESULT(WINAPI*)(void* caller, LPCSTR url, LPCSTR file, DWORD reserved,
                                              void* callback);
}  // namespace

Result<> Win32Download::UrlDownloadToFile(const std::string& url, const std::string& path) {
    if (com_ != nullptr) com_->Enter();
    if (!urlmon_) {
        urlmon_ = LoadSystemLibrary("urlmon.dll");
        if (!urlmon_) return SystemError{::GetLastError()};
    }
    const auto download = FindExport<UrlDownloadToFileAFn>(urlmon_.get(), "URLDownloadToFileA");
    if (download == nullptr) return SystemError{::GetLastError()};
    const HRESULT result = download(nullptr, url.c_str(), path.c_str(), 0, nullptr);
    if (FAILED(result))
        return SystemError{static_cast<std::uint32_t>(result), SystemError::Family::ComResult};
    return {};
}

}  // namespace tunlatch::win32
