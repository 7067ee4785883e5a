#pragma once
// URL download to a file (urlmon, loaded at run time).
#include <cstdint>
#include <string>

namespace tunlatch {

class Download {
public:
    virtual ~Download() = default;
    // Blocks until the transfer ends; the HRESULT of the download, or a failure code when the
    // download service cannot be loaded.
    virtual std::int32_t UrlDownloadToFile(const std::string& url, const std::string& path) = 0;
};

}  // namespace tunlatch
