#pragma once
// Registry (modRegistry): one value per call; every result is the Windows return code.
#include <cstdint>
#include <string>
#include <variant>

namespace tunlatch {

inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;

inline constexpr std::int32_t kRegOk = 0;
inline constexpr std::int32_t kRegNotFound = 2;

// A registry value as the callers see it: nothing, a DWORD, or a text (REG_SZ, or the raw
// bytes of REG_BINARY, one character per byte).
using RegValue = std::variant<std::monostate, std::int32_t, std::string>;

class Registry {
public:
    virtual ~Registry() = default;
    // typeName becomes "SZ", "BINARY" or "DWORD" once the type is known; value is set only
    // when the data was read. Both keep what the caller put in them otherwise.
    virtual std::int32_t RegValueGet(std::uint32_t hive, const std::string& subKey,
                                     const std::string& valueName, RegValue& value,
                                     std::string& typeName) = 0;
    // A DWORD is written as REG_DWORD; a text as REG_SZ, or REG_BINARY when binary is set.
    virtual std::int32_t RegValueSet(std::uint32_t hive, const std::string& subKey,
                                     const std::string& valueName, const RegValue& value,
                                     bool binary) = 0;
    virtual std::int32_t RegValueDelete(std::uint32_t hive, const std::string& subKey,
                                        const std::string& valueName) = 0;
};

}  // namespace tunlatch
