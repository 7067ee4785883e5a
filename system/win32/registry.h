#pragma once
#include "system/registry.h"

namespace tunlatch::win32 {

// One value of HKEY_LOCAL_MACHINE per call, in the 32-bit view where the VPN client keeps its
// values.
class Win32Registry final : public Registry {
public:
    RegRead RegValueGet(const std::string& subKey, const std::string& valueName) override;
    RegResult RegValueSet(const std::string& subKey, const std::string& valueName,
                          const std::string& text) override;
    RegResult RegValueDelete(const std::string& subKey, const std::string& valueName) override;
};

}  // namespace tunlatch::win32
