#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "system/registry.h"
#include "tests/fakes/journal.h"

namespace tunlatch {

// Machine-wide values by key and name (compared without regard to case, as Windows does).
// The failure maps force Windows' code for one value's reads, writes or deletes.
class FakeRegistry final : public Registry, public Journaled {
public:
    std::map<std::string, RegValue> values;
    std::map<std::string, std::int32_t> getFailures, setFailures, deleteFailures;

    static std::string Key(const std::string& subKey, const std::string& name) {
        std::string key = subKey + "\\" + name;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return key;
    }
    void Put(const std::string& subKey, const std::string& name, RegValue value) {
        values[Key(subKey, name)] = std::move(value);
    }
    const RegValue* Find(const std::string& subKey, const std::string& name) const {
        const auto it = values.find(Key(subKey, name));
        return it == values.end() ? nullptr : &it->second;
    }

    RegRead RegValueGet(const std::string& subKey, const std::string& name) override {
        const std::string key = Key(subKey, name);
        Note("RegValueGet " + name);
        if (auto f = getFailures.find(key); f != getFailures.end()) return {Failed(f->second), {}};
        const auto it = values.find(key);
        if (it == values.end()) return {kAbsent, {}};
        return {kDone, it->second};
    }
    RegResult RegValueSet(const std::string& subKey, const std::string& name,
                          const std::string& text) override {
        const std::string key = Key(subKey, name);
        Note("RegValueSet " + name);
        if (auto f = setFailures.find(key); f != setFailures.end()) return Failed(f->second);
        values[key] = text;
        return kDone;
    }
    RegResult RegValueDelete(const std::string& subKey, const std::string& name) override {
        const std::string key = Key(subKey, name);
        Note("RegValueDelete " + name);
        if (auto f = deleteFailures.find(key); f != deleteFailures.end()) return Failed(f->second);
        return values.erase(key) ? kDone : kAbsent;
    }

private:
    static constexpr RegResult kDone{RegOutcome::Done, 0};
    static constexpr RegResult kAbsent{RegOutcome::Absent, 2};
    static RegResult Failed(std::int32_t code) { return {RegOutcome::Failed, code}; }
};

}  // namespace tunlatch
