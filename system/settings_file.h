#pragma once
// The settings file, an INI file read and written one key at a time.
#include <string>

#include "system/result.h"

namespace tunlatch {

class SettingsFile {
public:
    virtual ~SettingsFile() = default;
    // The whole value, whatever its length, or defaultValue when the file, section or key is
    // missing.
    virtual std::string ReadINI(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& defaultValue) = 0;
    // Fails when the value could not be written, with kWriteRefusedCode (system/files.h) when the
    // file is a link or has a second name, which nothing is written through.
    virtual Result<> WriteINI(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) = 0;
};

}  // namespace tunlatch
