#include "system/win32/settings_file.h"

#include <windows.h>

namespace tunlatch::win32 {

std::string Win32SettingsFile::ReadINI(const std::string& path, const std::string& section,
                                       const std::string& key, const std::string& defaultValue,
                                       std::int32_t& status, std::int32_t size) {
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 0, ' ');
    DWORD copied = 0;
    if (size > 0)
        copied = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                            buffer.data(), static_cast<DWORD>(size), path.c_str());
    buffer.resize(copied < buffer.size() ? copied : buffer.size());
    status = copied == 0 ? 2 : 0;
    return buffer;
}

std::int32_t Win32SettingsFile::WriteINI(const std::string& path, const std::string& section,
                                         const std::string& key, const std::string& value) {
    const BOOL ok =
        ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
    return ok ? 0 : 2;
}

}  // namespace tunlatch::win32
