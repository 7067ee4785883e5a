#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "system/settings_file.h"

namespace tunlatch {

// Settings by file, section and key, with the private-profile reading rules the program relies
// on: names without regard to case, the default for what is missing, at most size - 1 characters.
class FakeSettingsFile final : public SettingsFile {
public:
    std::map<std::string, std::string> values;  // Key(path, section, key) -> value
    std::int32_t writeResult = 0;
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
                        const std::string& defaultValue, std::int32_t& status,
                        std::int32_t size) override {
        const auto it = values.find(Key(path, section, key));
        std::string result = it == values.end() ? defaultValue : it->second;
        if (size <= 0)
            result.clear();
        else if (result.size() > static_cast<std::size_t>(size - 1))
            result.resize(size - 1);
        status = result.empty() ? 2 : 0;
        return result;
    }
    std::int32_t WriteINI(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& value) override {
        writes.emplace_back(path, section, key, value);
        if (writeResult == 0) Put(path, section, key, value);
        return writeResult;
    }
};

}  // namespace tunlatch
