#pragma once
// A fresh, empty folder under TEMP for one test, removed with everything in it afterwards.
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <string>

namespace tunlatch::win32 {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        char temp[MAX_PATH];
        const DWORD length = ::GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp, length) + "tl_" + name + "_" +
                std::to_string(::GetCurrentProcessId());
        Remove();
        ::CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    void Remove() {
        std::string source = path_;
        source.append(2, '\0');
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = source.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        ::SHFileOperationA(&operation);
    }

    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace tunlatch::win32
