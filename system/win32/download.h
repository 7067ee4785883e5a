#pragma once
#include "system/download.h"
#include "system/win32/com_apartment.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

// URLDownloadToFileA from urlmon, loaded from the system folder at the first download: the
// program narrows its DLL search, and urlmon is no known DLL that Windows maps for it. The
// library stays loaded while the object lives, since its worker threads may outlast a call.
class Win32Download final : public Download {
    // The run's apartment, entered at the first download; null where the caller sees to COM on
    // this thread itself.
    ComApartment* com_ = nullptr;

public:
    explicit Win32Download(ComApartment* com = nullptr) : com_(com) {}
    Result<> UrlDownloadToFile(const std::string& url, const std::string& path) override;

private:
    UniqueModule urlmon_;
};

}  // namespace tunlatch::win32
