#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "system/settings_file.h"

namespace tunlatch {

// Settings by file, section and key, with the reading rules the program relies on: names
// without regard to case, the default for what is missing, at most 1023 characters.
class FakeSettingsFile final : public SettingsFile {
public:
    std::map<std::string, std::string> values;  // Key(path, section, key) -> value
    bool writeWorks = true;
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> writes;

    static std::string Key(const std::string& path, const std::string& section,
                           const std::string& key) {
        std::string k = path + "|" + section + "|" + key;
        std::transform(k.begin(), k.end(), k.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return k;
    }
    void Put(const std::string& path, const std::string& section, const std::string& key,
             const std::string& value) {
        values[Key(path, section, key)] = value;
    }

    std::string ReadINI(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& defaultValue) override {
        const auto it = values.find(Key(path, section, key));
        return (it == values.end() ? defaultValue : it->second).substr(0, 1023);
    }
    bool WriteINI(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) override {
        writes.emplace_back(path, section, key, value);
        if (writeWorks) Put(path, section, key, value);
        return writeWorks;
    }
};

}  // namespace tunlatch
