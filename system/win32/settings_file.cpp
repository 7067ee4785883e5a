#include "system/win32/settings_file.h"

#include <windows.h>

namespace tunlatch::win32 {

namespace {
// The most characters fetched per key, the terminating NUL included.
constexpr DWORD kReadSize = 1024;
}  // namespace

std::string Win32SettingsFile::ReadINI(const std::string& path, const std::string& section,
                                       const std::string& key, const std::string& defaultValue) {
    std::string buffer(kReadSize, '\0');
    const DWORD copied = ::GetPrivateProfileStringA(
        section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(), kReadSize, path.c_str());
    buffer.resize(copied < buffer.size() ? copied : buffer.size());
    return buffer;
}

bool Win32SettingsFile::WriteINI(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        path.c_str()) != FALSE;
}

}  // namespace tunlatch::win32
