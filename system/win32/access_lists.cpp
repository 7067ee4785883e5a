#include "system/win32/access_lists.h"

#include <aclapi.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {
namespace {

// On the object itself every change counts: writing it, adding to a folder or deleting from it,
// deleting it, changing its list or owner.
constexpr ACCESS_MASK kObjectRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;
// Above it only what lets the holder replace what lies below. Adding a file or folder does not:
// every signed-in user may add a folder to C:\.
constexpr ACCESS_MASK kAncestorRights = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;

// NT SERVICE\TrustedInstaller (S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464),
// the owner of Windows' own files; no well-known type names it, and the name is a service's,
// which Wine does not know.
bool IsTrustedInstaller(PSID sid) {
    constexpr DWORD kSubAuthorities[] = {80,         956008885,  3418522649,
                                         1831038044, 1853292631, 2271478464};
    const SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (*::GetSidSubAuthorityCount(sid) != std::size(kSubAuthorities) ||
        std::memcmp(::GetSidIdentifierAuthority(sid), &nt, sizeof nt) != 0)
        return false;
    for (DWORD i = 0; i < std::size(kSubAuthorities); ++i)
        if (*::GetSidSubAuthority(sid, i) != kSubAuthorities[i]) return false;
    return true;
}

// The administrators, SYSTEM, TrustedInstaller and the running account, whose rights are no
// alarm. CREATOR OWNER stands for whoever creates an object below, never for a holder of this
// one.
bool Trusted(PSID sid, PSID runningUser) {
    return ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
           ::IsWellKnownSid(sid, WinLocalSystemSid) || ::IsWellKnownSid(sid, WinCreatorOwnerSid) ||
           IsTrustedInstaller(sid) || ::EqualSid(sid, runningUser);
}

struct Entry {
    enum Kind { Allow, Deny, Other } kind = Other;
    ACCESS_MASK mask = 0;
    PSID holder = nullptr;
};

// Where an entry's holder starts: object entries carry up to two GUIDs before it, each only
// when its flag says so.
DWORD HolderOffset(const ACE_HEADER* header) {
    switch (header->AceType) {
        case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        case ACCESS_DENIED_OBJECT_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE: {
            const auto* object = reinterpret_cast<const ACCESS_ALLOWED_OBJECT_ACE*>(header);
            DWORD offset = offsetof(ACCESS_ALLOWED_OBJECT_ACE, ObjectType);
            if (object->Flags & ACE_OBJECT_TYPE_PRESENT) offset += sizeof(GUID);
            if (object->Flags & ACE_INHERITED_OBJECT_TYPE_PRESENT) offset += sizeof(GUID);
            return offset;
        }
        default:
            return offsetof(ACCESS_ALLOWED_ACE, SidStart);
    }
}

// Entry index of dacl as it applies to the object itself; nothing when it cannot be read.
std::optional<Entry> ReadEntry(const ACL* dacl, DWORD index) {
    void* raw = nullptr;
    if (!::GetAce(const_cast<ACL*>(dacl), index, &raw)) return std::nullopt;
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    Entry entry;
    switch (header->AceType) {
        // A callback entry's condition may hold, and an object entry's type may be this one's.
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
            entry.kind = Entry::Allow;
            break;
        // Only a plain deny surely applies; a conditional or object one may not.
        case ACCESS_DENIED_ACE_TYPE:
            entry.kind = Entry::Deny;
            break;
        default:
            return entry;
    }
    // Inherit-only entries are for what a folder holds, not for the folder itself.
    if (header->AceFlags & INHERIT_ONLY_ACE) return Entry{};
    const DWORD offset = HolderOffset(header);
    if (offset + offsetof(SID, SubAuthority) > header->AceSize) return std::nullopt;
    PSID holder = static_cast<BYTE*>(raw) + offset;
    if (!::IsValidSid(holder) || offset + ::GetLengthSid(holder) > header->AceSize)
        return std::nullopt;
    entry.mask = static_cast<const ACCESS_ALLOWED_ACE*>(raw)->Mask;
    entry.holder = holder;
    return entry;
}

// Generic rights in an allow entry count as the file rights they stand for: tools that write
// lists map them, and counting them errs on the safe side.
ACCESS_MASK Granted(ACCESS_MASK mask) {
    GENERIC_MAPPING files = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                             FILE_ALL_ACCESS};
    ::MapGenericMask(&mask, &files);
    return mask;
}

// What the plain deny entries before entry index take from holder. Windows reads the entries in
// order and compares stored masks unmapped, so a denied generic right covers nothing.
ACCESS_MASK DeniedBefore(const ACL* dacl, DWORD index, PSID holder) {
    ACCESS_MASK denied = 0;
    for (DWORD i = 0; i < index; ++i)
        if (const auto entry = ReadEntry(dacl, i);
            entry && entry->kind == Entry::Deny && ::EqualSid(entry->holder, holder))
            denied |= entry->mask;
    return denied;
}

// The token's user, in a buffer that holds the SID it points to; empty when unreadable.
std::vector<char> RunningUser() {
    UniqueKernelHandle token;
    DWORD size = 0;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<char> user(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size))
        return {};
    return user;
}

}  // namespace

WriteAccess WhoMayWrite(PSECURITY_DESCRIPTOR descriptor, AccessReach reach, PSID runningUser) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || owner == nullptr ||
        !::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted))
        return WriteAccess::Unknown;
    // The owner may always rewrite the list.
    if (!Trusted(owner, runningUser)) return WriteAccess::OthersMayWrite;
    // No list at all lets everyone do anything.
    if (!present || dacl == nullptr) return WriteAccess::OthersMayWrite;
    const ACCESS_MASK counted = reach == AccessReach::Object ? kObjectRights : kAncestorRights;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        const auto entry = ReadEntry(dacl, i);
        if (!entry) return WriteAccess::Unknown;
        if (entry->kind != Entry::Allow || Trusted(entry->holder, runningUser)) continue;
        const ACCESS_MASK rights = Granted(entry->mask) & counted;
        if ((rights & ~DeniedBefore(dacl, i, entry->holder)) != 0)
            return WriteAccess::OthersMayWrite;
    }
    return WriteAccess::OnlyAdministrators;
}

WriteAccess Win32AccessLists::WhoMayWrite(const std::string& path, AccessReach reach) {
    const std::vector<char> user = RunningUser();
    if (user.empty()) return WriteAccess::Unknown;
    UniqueLocalMemory descriptor;
    if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, nullptr, nullptr, descriptor.put()) != ERROR_SUCCESS)
        return WriteAccess::Unknown;
    return win32::WhoMayWrite(descriptor.get(), reach,
                              reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

}  // namespace tunlatch::win32
