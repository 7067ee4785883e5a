#pragma once
// Registry: one machine-wide value (HKEY_LOCAL_MACHINE) per call, in the 32-bit view where the
// VPN client keeps its values.
#include <cstdint>
#include <string>
#include <variant>

namespace tunlatch {

// The raw bytes of a REG_BINARY value, one character per byte.
struct RegBinary {
    std::string bytes;
    bool operator==(const RegBinary&) const = default;
};

// A registry value as the callers see it: nothing (absent, or of a type they have no use for),
// a DWORD, a text (REG_SZ, or REG_EXPAND_SZ with its environment variables expanded), or binary
// data.
using RegValue = std::variant<std::monostate, std::int32_t, std::string, RegBinary>;

enum class RegOutcome { Done, Absent, Failed };

// The outcome of one call, with Windows' own code for it, which the log shows.
struct RegResult {
    RegOutcome outcome = RegOutcome::Failed;
    std::int32_t code = 0;
};

struct RegRead {
    RegResult result;
    RegValue value;  // set only when the data was read
};

class Registry {
public:
    virtual ~Registry() = default;
    virtual RegRead RegValueGet(const std::string& subKey, const std::string& valueName) = 0;
    // Writes text as REG_SZ, creating the key when it is missing.
    virtual RegResult RegValueSet(const std::string& subKey, const std::string& valueName,
                                  const std::string& text) = 0;
    virtual RegResult RegValueDelete(const std::string& subKey, const std::string& valueName) = 0;
};

}  // namespace tunlatch
