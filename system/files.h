#pragma once
// Files: tests, length and contents, copy and move, folder creation, deletion of a tree, and the
// run log's append-only file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "system/result.h"

namespace tunlatch {

// Windows' ERROR_CANT_ACCESS_FILE: what a write refused by the rule below fails with. Every file
// the elevated program writes or replaces must be a plain file of one name, reached by the name
// it was asked for (no reparse point, no second hard-link name, no final path elsewhere): a link
// would carry the write to whatever file its maker chose. A file not there yet is created new.
inline constexpr std::uint32_t kWriteRefusedCode = 1920;

inline bool IsWriteRefused(const SystemError& error) {
    return error.family == SystemError::Family::Windows && error.code == kWriteRefusedCode;
}

// A text file opened for appending; the handle is closed when the object goes away.
class AppendFile {
public:
    virtual ~AppendFile() = default;
    // Writes text followed by CR LF; false when the write failed.
    virtual bool AppendLine(const std::string& text) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // Removes a file, a link or a folder with everything in it. A link (a reparse point) is
    // removed itself wherever it lies in the tree, never followed; true when nothing lies at
    // path any more.
    virtual bool DeleteTree(const std::string& path) = 0;
    virtual std::optional<std::uint64_t> FileLength(const std::string& path) = 0;
    // Up to count bytes from offset; nullopt when the file cannot be opened or read.
    virtual std::optional<std::string> ReadFileRange(const std::string& path, std::uint64_t offset,
                                                     std::uint32_t count) = 0;
    // Copies a file, replacing what lies at the target; a target that breaks the rule above is
    // left alone (kWriteRefusedCode).
    virtual Result<> CopyFileTo(const std::string& from, const std::string& to) = 0;
    // Renames a file within its volume, replacing what lies at the target under the same rule.
    virtual Result<> MoveFileTo(const std::string& from, const std::string& to) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;
    // Opens (creating when missing) for appending; null when it cannot be opened or when the
    // file breaks the rule above. Child processes do not inherit the handle.
    virtual std::unique_ptr<AppendFile> OpenForAppend(const std::string& path) = 0;
};

}  // namespace tunlatch
