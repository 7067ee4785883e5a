#include "system/win32/files.h"

#include <windows.h>

#include <shellapi.h>

namespace tunlatch::win32 {

namespace {

constexpr DWORD kFolderBit = FILE_ATTRIBUTE_DIRECTORY;  // 0x10
constexpr DWORD kVolumeLabelBit = 0x8;
// Silent, no confirmation, no error dialog: nobody is there to answer one.
constexpr FILEOP_FLAGS kQuietDelete = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (kFolderBit | kVolumeLabelBit)) == 0;
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kFolderBit) != 0;
}

bool Win32FileSystem::ShellDelete(const std::string& path) {
    // The source is a list of names, each ended by a NUL, the list by one more.
    std::string source = path;
    source.append(2, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = kQuietDelete;
    const int result = ::SHFileOperationA(&operation);
    return result == 0 && !operation.fAnyOperationsAborted;
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

bool Win32FileSystem::CopyFileTo(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::unique_ptr<AppendFile> Win32FileSystem::OpenForAppend(const std::string& path) {
    // No inheritance: a child process such as DevCon must not keep the log open.
    SECURITY_ATTRIBUTES security{};
    security.nLength = sizeof security;
    security.bInheritHandle = FALSE;
    UniqueFileHandle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &security, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
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
