#pragma once
// Who may change a file or folder, as its access list says.
#include <string>

namespace tunlatch {

enum class WriteAccess {
    // Nobody but the administrators, SYSTEM, TrustedInstaller and the running account.
    OnlyAdministrators,
    // Another account or group may write, add, delete, or change the access list or owner.
    OthersMayWrite,
    // The access list could not be read.
    Unknown,
};

class AccessLists {
public:
    virtual ~AccessLists() = default;
    virtual WriteAccess WhoMayWrite(const std::string& path) = 0;
};

}  // namespace tunlatch
