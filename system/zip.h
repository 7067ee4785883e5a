#pragma once
// Zip extraction (modUnzip): every member under the target folder, stored folders kept,
// existing files overwritten without asking. The outcome shows only in the files written.
#include <string>

namespace tunlatch {

class Zip {
public:
    virtual ~Zip() = default;
    virtual void UnzipArchive(const std::string& archivePath, const std::string& targetFolder) = 0;
};

}  // namespace tunlatch
