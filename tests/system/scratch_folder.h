#pragma once
// Helpers of the Win32 tests: the folder of the test program (where the stand-ins lie), a fresh
// folder under TEMP that goes with everything in it, and whole files.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tunlatch::test {

// With a trailing backslash.
inline std::string BinFolder() {
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().string() + "\\";
}

struct ScratchFolder {
    ScratchFolder() { std::filesystem::create_directory(path); }
    ~ScratchFolder() { std::filesystem::remove_all(path, ignored); }
    std::string operator/(const std::string& name) const { return path + "\\" + name; }

    const std::string path = (std::filesystem::temp_directory_path() / "tl_").string() +
                             std::to_string(::GetCurrentProcessId());
    std::error_code ignored;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Empty when there is no such file.
inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

}  // namespace tunlatch::test
