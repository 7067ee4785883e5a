#pragma once
// Files: tests, length and contents, copy and move, folder creation, deletion of a tree, and the
// run log's append-only file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tunlatch {

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
    // Copies a file, replacing what lies at the target.
    virtual bool CopyFileTo(const std::string& from, const std::string& to) = 0;
    // Renames a file within its volume, replacing what lies at the target.
    virtual bool MoveFileTo(const std::string& from, const std::string& to) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;
    // Opens (creating when missing) for appending; null when it cannot be opened or when the
    // name is a link of any kind, which would carry the text elsewhere. Child processes do not
    // inherit the handle.
    virtual std::unique_ptr<AppendFile> OpenForAppend(const std::string& path) = 0;
};

}  // namespace tunlatch
