#pragma once
// URL download to a file.
#include <string>

namespace tunlatch {

class Download {
public:
    virtual ~Download() = default;
    // Blocks until the transfer ends; false when it failed. A server's error page still counts
    // as delivered, so callers judge the file itself.
    virtual bool UrlDownloadToFile(const std::string& url, const std::string& path) = 0;
};

}  // namespace tunlatch
