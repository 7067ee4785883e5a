#pragma once
#include <windows.h>

#include "system/access_lists.h"

namespace tunlatch::win32 {

class Win32AccessLists final : public AccessLists {
public:
    WriteAccess WhoMayWrite(const std::string& path, AccessReach reach) override;
};

// The rule on a whole security descriptor (its owner and access list), runningUser being the
// account whose own rights do not count. Descriptors built from SDDL can be judged like the
// lists of real files, which Wine does not keep.
WriteAccess WhoMayWrite(PSECURITY_DESCRIPTOR descriptor, AccessReach reach, PSID runningUser);

}  // namespace tunlatch::win32
