#pragma once
// Settings file access (modINI) over the private-profile functions.
#include <cstdint>
#include <string>

namespace tunlatch {

class SettingsFile {
public:
    virtual ~SettingsFile() = default;
    // The value, or the default when the file, section or key is missing; at most size - 1
    // characters. status becomes 2 when nothing came back, else 0.
    virtual std::string ReadINI(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& defaultValue,
                                std::int32_t& status, std::int32_t size) = 0;
    // 0 when the platform reports success, 2 when it reports failure.
    virtual std::int32_t WriteINI(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& value) = 0;
};

}  // namespace tunlatch
