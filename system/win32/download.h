#pragma once
#include "system/download.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

// URLDownloadToFileA from urlmon, loaded from the system folder at the first download: the
// program narrows its DLL search, and urlmon is no known DLL that Windows maps for it. The
// library stays loaded while the object lives, since its worker threads may outlast a call.
class Win32Download final : public Download {
public:
    Result<> UrlDownloadToFile(const std::string& url, const std::string& path) override;

private:
    UniqueModule urlmon_;
};

}  // namespace tunlatch::win32
