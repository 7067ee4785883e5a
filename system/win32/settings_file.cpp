#include "system/win32/settings_file.h"

#include <windows.h>

namespace tunlatch::win32 {

namespace {
// Far beyond any settings value; the buffer stops growing here rather than exhaust memory.
constexpr DWORD kMaxReadSize = DWORD{1} << 26;
}  // namespace

std::string Win32SettingsFile::ReadINI(const std::string& path, const std::string& section,
                                       const std::string& key, const std::string& defaultValue) {
    // The call cuts a value that does not fit and then fills the buffer to its last character, so
    // only a buffer with room to spare holds the whole value.
    for (DWORD size = 1024;; size *= 2) {
        std::string buffer(size, '\0');
        const DWORD copied = ::GetPrivateProfileStringA(
            section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(), size, path.c_str());
        if (copied + 1 < size || size >= kMaxReadSize) {
            buffer.resize(copied < size ? copied : size);
            return buffer;
        }
    }
}

bool Win32SettingsFile::WriteINI(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        path.c_str()) != FALSE;
}

}  // namespace tunlatch::win32
