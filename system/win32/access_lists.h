#pragma once
#include <windows.h>

#include "system/access_lists.h"

namespace tunlatch::win32 {

class Win32AccessLists final : public AccessLists {
public:
    WriteAccess WhoMayWrite(const std::string& path, AccessReach reach) override;
};

// The rule on one access list (null: none at all), runningUser being the account whose own
// rights do not count.
WriteAccess WhoMayWrite(const ACL* dacl, PSID runningUser);

}  // namespace tunlatch::win32
