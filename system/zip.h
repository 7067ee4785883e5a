#pragma once
// Zip extraction: every member under the target folder, stored folders kept, existing files
// overwritten without asking. Callers check the files written as well: a library that reports
// success may still have skipped a member (one whose password was not given).
#include <cstdint>
#include <string>

#include "system/result.h"

namespace tunlatch {

// Why the zip library extracted nothing, or not all.
struct ZipFailure {
    enum class Kind {
        NotLoaded,           // code: Windows' error code from loading the library
        NotZipLibrary,       // the library lacks the entry points of Info-ZIP's interface
        UnsupportedVersion,  // version: the library's own version, "X.Y.Z"
        Failed,              // code: the library's return code for the extraction
    };
    Kind kind = Kind::Failed;
    std::uint32_t code = 0;
    std::string version;

    bool operator==(const ZipFailure&) const = default;
};

class Zip {
public:
    virtual ~Zip() = default;
    virtual Result<Done, ZipFailure> UnzipArchive(const std::string& archivePath,
                                                  const std::string& targetFolder) = 0;
};

}  // namespace tunlatch
