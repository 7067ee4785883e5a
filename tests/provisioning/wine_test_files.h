#pragma once
// Files and folders for the Win32 provisioning tests: a fresh folder per test below TEMP,
// whole-file reads and writes, and the programs and archives built beside the test program.
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace tunlatch::test {

// The folder holding the running test program, with a trailing backslash.
inline std::string BinFolder() {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

inline std::string ArchivePath(const std::string& name) {
    return BinFolder() + "devcon_archives\\" + name;
}

inline std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), {}};
}

inline void WriteWhole(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline bool IsFile(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

inline bool IsFolder(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

inline void RemoveTree(const std::string& path) {
    std::string from = path;
    from.append(2, '\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationA(&op);
}

// An empty folder for one test, named after it, below TEMP; without trailing backslash.
inline std::string FreshFolder(std::string name) {
    for (char& c : name)
        if (c == '/') c = '_';
    char temp[MAX_PATH];
    const DWORD length = ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp, length) + "tl_prov_" +
                               std::to_string(::GetCurrentProcessId()) + "_" + name;
    RemoveTree(folder);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

}  // namespace tunlatch::test
