#pragma once
// The settings file, an INI file read and written one key at a time.
#include <string>

namespace tunlatch {

class SettingsFile {
public:
    virtual ~SettingsFile() = default;
    // The whole value, whatever its length, or defaultValue when the file, section or key is
    // missing.
    virtual std::string ReadINI(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& defaultValue) = 0;
    // False when the value could not be written.
    virtual bool WriteINI(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& value) = 0;
};

}  // namespace tunlatch
