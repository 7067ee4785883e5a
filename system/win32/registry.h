#pragma once
#include "system/registry.h"

namespace tunlatch::win32 {

// One registry value per call, in the 32-bit view where the VPN client keeps its values.
class Win32Registry final : public Registry {
public:
    std::int32_t RegValueGet(std::uint32_t hive, const std::string& subKey,
                             const std::string& valueName, RegValue& value,
                             std::string& typeName) override;
    std::int32_t RegValueSet(std::uint32_t hive, const std::string& subKey,
                             const std::string& valueName, const RegValue& value,
                             bool binary) override;
    std::int32_t RegValueDelete(std::uint32_t hive, const std::string& subKey,
                                const std::string& valueName) override;
};

}  // namespace tunlatch::win32
