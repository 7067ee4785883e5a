#include "system/win32/files.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace tunlatch::win32 {

namespace {

constexpr DWORD kFolderBit = FILE_ATTRIBUTE_DIRECTORY;  // 0x10
constexpr DWORD kVolumeLabelBit = 0x8;
constexpr DWORD kLinkBit = FILE_ATTRIBUTE_REPARSE_POINT;  // junctions and symbolic links
constexpr DWORD kShareAllButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kCopyChunk = 64 * 1024;

bool RemoveEntry(const std::string& path, DWORD attributes);

// Empties a folder that was listed as no link. It is opened as itself and held without delete
// sharing meanwhile: a link swapped into its place since the listing is told by the handle, and
// while the handle is open nobody can move the folder away or swap it.
bool EmptyFolder(const std::string& path) {
    const UniqueFileHandle folder(::CreateFileA(
        path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareAllButDelete, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !::GetFileInformationByHandle(folder.get(), &info) ||
        (info.dwFileAttributes & kLinkBit))
        return false;
    WIN32_FIND_DATAA entry{};
    const UniqueFindHandle list(::FindFirstFileA((path + "\\*").c_str(), &entry));
    if (!list) return false;
    bool emptied = true;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            emptied = RemoveEntry(path + "\\" + name, entry.dwFileAttributes) && emptied;
    } while (::FindNextFileA(list.get(), &entry));
    return emptied;
}

// attributes: the entry's own, as its folder's listing reports them. A link goes itself:
// RemoveDirectory and DeleteFile take the link, never what it points to.
bool RemoveEntry(const std::string& path, DWORD attributes) {
    if (attributes & kFolderBit) {
        if (!(attributes & kLinkBit) && !EmptyFolder(path)) return false;
        return ::RemoveDirectoryA(path.c_str()) != 0;
    }
    if ((attributes & (FILE_ATTRIBUTE_READONLY | kLinkBit)) == FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileA(path.c_str()) != 0;
}

// The path Windows resolved an open handle to, links and short names included; empty when it
// cannot tell.
std::string FinalPath(HANDLE handle) {
    std::string path(MAX_PATH, '\0');
    DWORD n = ::GetFinalPathNameByHandleA(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (n >= path.size()) {
        path.resize(n);
        n = ::GetFinalPathNameByHandleA(handle, path.data(), n, 0);
    }
    if (n == 0 || n >= path.size()) return {};
    path.resize(n);
    return path;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// Whether the file opened by path is reached through a link: a reparse point (opened as
// itself), a file with a second name, or a file whose final path is not its folder's final path
// and its name. Only the name counts: the folder may be reached by a short name or a junction.
bool ReachedThroughLink(HANDLE file, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & kLinkBit) ||
        info.nNumberOfLinks > 1)
        return true;
    const std::size_t slash = path.find_last_of('\\') + 1;
    const UniqueFileHandle folder(::CreateFileA(
        path.substr(0, slash).c_str(), FILE_READ_ATTRIBUTES, kShareAllButDelete | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::string expected = FinalPath(folder.get());
    if (!expected.empty() && expected.back() != '\\') expected += '\\';
    const std::string final = FinalPath(file);
    // Without a final path the attributes above are all there is to go by.
    return !final.empty() && !SameIgnoringCase(final, expected + path.substr(slash));
}

}  // namespace

Result<> OpenToWrite(const std::string& path, DWORD access, DWORD share, UniqueFileHandle& file) {
    // No inheritance (null security attributes): a child process such as DevCon must not keep
    // the file open. A link is opened as itself, so that nothing is created where a dangling one
    // points.
    file.reset(::CreateFileA(path.c_str(), access, share, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file && ::GetLastError() == ERROR_FILE_EXISTS)
        file.reset(::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return SystemError{::GetLastError()};
    if (ReachedThroughLink(file.get(), path)) {
        file.reset();
        return SystemError{kWriteRefusedCode};
    }
    return {};
}

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (kFolderBit | kVolumeLabelBit)) == 0;
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kFolderBit) != 0;
}

bool Win32FileSystem::DeleteTree(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return RemoveEntry(path, attributes);
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::optional<std::uint64_t> Win32FileSystem::FileLength(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & kFolderBit) return std::nullopt;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32FileSystem::ReadFileRange(const std::string& path,
                                                          std::uint64_t offset,
                                                          std::uint32_t count) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return std::nullopt;
    const auto length = static_cast<std::uint64_t>(size.QuadPart);
    if (offset >= length) return std::string();
    // Never more room than the file can fill, whatever the caller asks for.
    if (length - offset < count) count = static_cast<std::uint32_t>(length - offset);
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return std::nullopt;
    std::string bytes(count, '\0');
    DWORD total = 0;
    // A read may return fewer bytes than asked before the end of the file is reached.
    while (total < count) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + total, count - total, &got, nullptr))
            return std::nullopt;
        if (got == 0) break;
        total += got;
    }
    bytes.resize(total);
    return bytes;
}

Result<> Win32FileSystem::CopyFileTo(const std::string& from, const std::string& to) {
    const UniqueFileHandle source(::CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
    if (!source) return SystemError{::GetLastError()};
    // Written through the checked handle itself: CopyFile would open the target anew by name.
    UniqueFileHandle target;
    if (Result<> opened = OpenToWrite(to, GENERIC_WRITE, FILE_SHARE_READ, target); !opened)
        return opened;
    if (!::SetEndOfFile(target.get())) return SystemError{::GetLastError()};
    std::string buffer(kCopyChunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(source.get(), buffer.data(), kCopyChunk, &got, nullptr))
            return SystemError{::GetLastError()};
        if (got == 0) return {};
        DWORD written = 0;
        if (!::WriteFile(target.get(), buffer.data(), got, &written, nullptr))
            return SystemError{::GetLastError()};
        if (written != got) return SystemError{ERROR_WRITE_FAULT};
    }
}

Result<> Win32FileSystem::MoveFileTo(const std::string& from, const std::string& to) {
    // A rename replaces the name, never what a link points to, so a link slipped in after the
    // check gains nothing; the target is still held to the rule, so that the program accepts no
    // link among its files. The handle is closed first: Windows refuses to replace an open file.
    {
        const UniqueFileHandle target(::CreateFileA(
            to.c_str(), FILE_READ_ATTRIBUTES, kShareAllButDelete | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (target && ReachedThroughLink(target.get(), to)) return SystemError{kWriteRefusedCode};
    }
    if (!::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
        return SystemError{::GetLastError()};
    return {};
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::unique_ptr<AppendFile> Win32FileSystem::OpenForAppend(const std::string& path) {
    UniqueFileHandle file;
    if (!OpenToWrite(path, FILE_APPEND_DATA, kShareAllButDelete, file)) return nullptr;
    return std::make_unique<Win32AppendFile>(std::move(file));
}

bool Win32AppendFile::AppendLine(const std::string& text) {
    const std::string line = text + "\r\n";
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return ok && written == line.size();
}

}  // namespace tunlatch::win32
