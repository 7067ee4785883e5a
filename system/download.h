#pragma once
// URL download to a file.
#include <string>

#include "system/result.h"

namespace tunlatch {

class Download {
public:
    virtual ~Download() = default;
    // Blocks until the transfer ends; the failure carries the download's HRESULT. A server's
    // error page still counts as delivered, so callers judge the file itself.
    virtual Result<> UrlDownloadToFile(const std::string& url, const std::string& path) = 0;
};

}  // namespace tunlatch
