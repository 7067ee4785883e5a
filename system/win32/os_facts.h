#pragma once
#include "system/os_info.h"

namespace tunlatch::win32 {

// Asks Windows for its version, native architecture and the user's account privilege, and
// leaves every decision to the portable OS-version rules.
class Win32OsFacts final : public OsFacts {
public:
    OsInformation GetOSInf() override;
    bool IsAdmin() override;
};

}  // namespace tunlatch::win32
