#pragma once
#include "system/settings_file.h"

namespace tunlatch::win32 {

// The settings file through the private-profile functions, which bring the format's rules
// (case-insensitive names, blanks and enclosing quotes removed) with them; a file in the system's
// legacy code page under the program's UTF-8 is read by the same rules here, and every save is
// made here, in the file's own code page and through the checks every written file gets.
class Win32SettingsFile final : public SettingsFile {
public:
    std::string ReadINI(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& defaultValue) override;
    Result<> WriteINI(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value) override;
};

}  // namespace tunlatch::win32
