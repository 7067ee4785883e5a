#pragma once
// Zip extraction: every member under the target folder, stored folders kept, existing files
// overwritten without asking. The outcome shows in the files written, which callers check.
#include <string>

namespace tunlatch {

class Zip {
public:
    virtual ~Zip() = default;
    virtual void UnzipArchive(const std::string& archivePath, const std::string& targetFolder) = 0;
};

}  // namespace tunlatch
