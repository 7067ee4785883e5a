#pragma once
#include "system/files.h"
#include "system/win32/unique_handle.h"

#include <utility>

namespace tunlatch::win32 {

// Opens path for writing under the rule of system/files.h: a missing file is created new (never
// through a name that exists, a dangling link included); an existing one is opened as itself and
// refused (kWriteRefusedCode, file left closed) unless it is a plain file of one name whose final
// path is path. share: what others may do meanwhile; deleting and renaming are never shared, so
// the name stays the checked file's while file is open.
Result<> OpenToWrite(const std::string& path, DWORD access, DWORD share, UniqueFileHandle& file);

class Win32FileSystem final : public FileSystem {
public:
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool DeleteTree(const std::string& path) override;
    std::optional<std::uint64_t> FileLength(const std::string& path) override;
    std::optional<std::string> ReadFileRange(const std::string& path, std::uint64_t offset,
                                             std::uint32_t count) override;
    Result<> CopyFileTo(const std::string& from, const std::string& to) override;
    Result<> MoveFileTo(const std::string& from, const std::string& to) override;
    bool CreateFolder(const std::string& path) override;
    std::unique_ptr<AppendFile> OpenForAppend(const std::string& path) override;
};

// The file OpenForAppend hands out; it owns its handle.
class Win32AppendFile final : public AppendFile {
public:
    explicit Win32AppendFile(UniqueFileHandle file) : file_(std::move(file)) {}
    bool AppendLine(const std::string& text) override;

private:
    UniqueFileHandle file_;
};

}  // namespace tunlatch::win32
