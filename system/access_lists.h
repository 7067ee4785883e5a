#pragma once
// Who may change a file or folder, as its owner and access list say.
#include <string>

namespace tunlatch {

enum class WriteAccess {
    // Nobody but the administrators, SYSTEM, TrustedInstaller and the running account.
    OnlyAdministrators,
    // Another account or group owns the object or holds a right that counts (AccessReach).
    OthersMayWrite,
    // The owner or the access list could not be read.
    Unknown,
};

// Which rights count.
enum class AccessReach {
    // The object itself: writing it, adding to a folder or deleting from it, deleting it, or
    // changing its list or owner.
    Object,
    // A folder above the object: what lets its holder replace what lies below (deleting or
    // renaming in it, deleting it, changing its list or owner). Adding a file or folder alone
    // does not: every user may make a folder in a drive's root.
    Ancestor,
};

class AccessLists {
public:
    virtual ~AccessLists() = default;
    virtual WriteAccess WhoMayWrite(const std::string& path, AccessReach reach) = 0;
};

}  // namespace tunlatch
