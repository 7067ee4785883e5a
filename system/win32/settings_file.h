#pragma once
#include "system/settings_file.h"

namespace tunlatch::win32 {

// The settings file through the private-profile functions, which bring the format's rules
// (case-insensitive names, blanks and enclosing quotes removed) with them.
class Win32SettingsFile final : public SettingsFile {
public:
    std::string ReadINI(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& defaultValue) override;
    bool WriteINI(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) override;
};

}  // namespace tunlatch::win32
