#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "system/registry.h"
#include "tests/fakes/journal.h"

namespace tunlatch {

// Values by hive, key and name (names compared without regard to case, as Windows does).
// failures forces a return code for one value's reads, writes or deletes.
class FakeRegistry final : public Registry, public Journaled {
public:
    struct Stored {
        RegValue value;
        std::string typeName;
    };
    std::map<std::string, Stored> values;
    std::map<std::string, std::int32_t> getFailures, setFailures, deleteFailures;

    static std::string Key(std::uint32_t hive, const std::string& subKey, const std::string& name) {
        std::string key = std::to_string(hive) + "\\" + subKey + "\\" + name;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return key;
    }
    void Put(std::uint32_t hive, const std::string& subKey, const std::string& name,
             RegValue value) {
        const char* type = std::holds_alternative<std::int32_t>(value) ? "DWORD" : "SZ";
        values[Key(hive, subKey, name)] = {std::move(value), type};
    }
    const RegValue* Find(std::uint32_t hive, const std::string& subKey,
                         const std::string& name) const {
        const auto it = values.find(Key(hive, subKey, name));
        return it == values.end() ? nullptr : &it->second.value;
    }

    std::int32_t RegValueGet(std::uint32_t hive, const std::string& subKey, const std::string& name,
                             RegValue& value, std::string& typeName) override {
        const std::string key = Key(hive, subKey, name);
        Note("RegValueGet " + name);
        if (auto f = getFailures.find(key); f != getFailures.end()) return f->second;
        const auto it = values.find(key);
        if (it == values.end()) return kRegNotFound;
        value = it->second.value;
        typeName = it->second.typeName;
        return kRegOk;
    }
    std::int32_t RegValueSet(std::uint32_t hive, const std::string& subKey, const std::string& name,
                             const RegValue& value, bool binary) override {
        const std::string key = Key(hive, subKey, name);
        Note("RegValueSet " + name);
        if (auto f = setFailures.find(key); f != setFailures.end()) return f->second;
        if (std::holds_alternative<std::monostate>(value)) return kRegOk;
        const char* type = std::holds_alternative<std::int32_t>(value) ? "DWORD"
                           : binary                                    ? "BINARY"
                                                                       : "SZ";
        values[key] = {value, type};
        return kRegOk;
    }
    std::int32_t RegValueDelete(std::uint32_t hive, const std::string& subKey,
                                const std::string& name) override {
        const std::string key = Key(hive, subKey, name);
        Note("RegValueDelete " + name);
        if (auto f = deleteFailures.find(key); f != deleteFailures.end()) return f->second;
        return values.erase(key) ? kRegOk : kRegNotFound;
    }
};

}  // namespace tunlatch
