#include "system/win32/access_lists.h"

#include <aclapi.h>

#include <cstring>
#include <vector>

#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {
namespace {

// Rights that let their holder put other code or settings in the object's place.
constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC |
                                     WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// NT SERVICE\TrustedInstaller, the owner of Windows' own files; no well-known type names it.
bool IsTrustedInstaller(PSID sid) {
    constexpr DWORD kSubAuthorities[] = {80,         956008885,  3434939253, 3394963542,
                                         2512734624, 4244163025, 1426166283};
    const SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (*::GetSidSubAuthorityCount(sid) != std::size(kSubAuthorities) ||
        std::memcmp(::GetSidIdentifierAuthority(sid), &nt, sizeof nt) != 0)
        return false;
    for (DWORD i = 0; i < std::size(kSubAuthorities); ++i)
        if (*::GetSidSubAuthority(sid, i) != kSubAuthorities[i]) return false;
    return true;
}

// Whether the holder of an entry is one of the others: not the administrators, SYSTEM,
// TrustedInstaller or the running account. CREATOR OWNER stands for whoever creates an object
// below, never for a holder of this one.
bool Counts(PSID sid, PSID runningUser) {
    return !::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) &&
           !::IsWellKnownSid(sid, WinLocalSystemSid) &&
           !::IsWellKnownSid(sid, WinCreatorOwnerSid) && !IsTrustedInstaller(sid) &&
           !::EqualSid(sid, runningUser);
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

WriteAccess WhoMayWrite(const ACL* dacl, PSID runningUser) {
    if (dacl == nullptr) return WriteAccess::OthersMayWrite;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(const_cast<ACL*>(dacl), i, &entry)) return WriteAccess::Unknown;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        // Inherit-only entries are for what a folder holds, not for the folder itself.
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            (allowed->Header.AceFlags & INHERIT_ONLY_ACE) != 0 ||
            (allowed->Mask & kWriteRights) == 0)
            continue;
        if (Counts(const_cast<DWORD*>(&allowed->SidStart), runningUser))
            return WriteAccess::OthersMayWrite;
    }
    return WriteAccess::OnlyAdministrators;
}

WriteAccess Win32AccessLists::WhoMayWrite(const std::string& path, AccessReach) {
    const std::vector<char> user = RunningUser();
    if (user.empty()) return WriteAccess::Unknown;
    PACL dacl = nullptr;
    UniqueLocalMemory descriptor;
    if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, descriptor.put()) != ERROR_SUCCESS)
        return WriteAccess::Unknown;
    return win32::WhoMayWrite(dacl, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

}  // namespace tunlatch::win32
