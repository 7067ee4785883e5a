#pragma once
// Helpers of the Win32 tests: the folder of the test program (where the stand-ins lie), command
// lines for the programs there, a fresh folder under TEMP that goes with everything in it, and
// whole files.
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

inline std::string BinCommand(const char* program, const std::string& arguments) {
    std::string command = "\"";  // built by appending: GCC 12 warns falsely on "a" + b
    return command.append(BinFolder()).append(program).append("\" ").append(arguments);
}

// The testbed's child, whose output, silence and exit code its arguments choose.
inline std::string Child(const std::string& arguments) {
    return BinCommand("tl_test_child.exe", arguments);
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
