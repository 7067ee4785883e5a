#include "system/win32/registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

namespace {

// The VPN client is a 32-bit program, so its values live in the 32-bit view; a 64-bit build
// must ask for that view explicitly, a 32-bit build gets it anyway.
#ifdef _WIN64
constexpr REGSAM kView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kView = 0;
#endif
// Query, enumerate and notify: reading never needs more.
constexpr REGSAM kReadAccess = 0x19 | kView;
// The six specific key rights, without the standard rights.
constexpr REGSAM kWriteAccess = 0x3F | kView;
#ifndef _WIN64
static_assert(kReadAccess == 0x19 && kWriteAccess == 0x3F);
#endif

LONG Open(const std::string& subKey, REGSAM access, UniqueRegKey& key) {
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, access, key.put());
}

RegResult ResultOf(LONG code) {
    const RegOutcome outcome = code == ERROR_SUCCESS          ? RegOutcome::Done
                               : code == ERROR_FILE_NOT_FOUND ? RegOutcome::Absent
                                                              : RegOutcome::Failed;
    return {outcome, static_cast<std::int32_t>(code)};
}

// The first failure wins; without one the close's code is the result.
RegResult Close(UniqueRegKey& key, LONG failure) {
    const LONG closed = ::RegCloseKey(key.release());
    return ResultOf(failure != ERROR_SUCCESS ? failure : closed);
}

LONG QueryBytes(HKEY key, const std::string& valueName, DWORD size, std::string& bytes) {
    // One spare byte keeps the buffer non-empty for a zero-length value.
    std::vector<char> buffer(size + 1);
    DWORD got = size;
    const LONG rc = ::RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_SUCCESS) bytes.assign(buffer.data(), std::min(got, size));
    return rc;
}

LONG ReadText(HKEY key, const std::string& valueName, DWORD size, RegValue& value) {
    // A value stored with no bytes at all is an empty text.
    if (size == 0) {
        value = std::string();
        return ERROR_SUCCESS;
    }
    std::string bytes;
    const LONG rc = QueryBytes(key, valueName, size, bytes);
    if (rc != ERROR_SUCCESS) return rc;
    // The text ends at the first NUL; a value stored without one ends with its bytes.
    value = bytes.substr(0, bytes.find('\0'));
    return ERROR_SUCCESS;
}

// A REG_EXPAND_SZ text means what it says only with its %NAME% parts replaced.
LONG Expand(RegValue& value) {
    const std::string text = std::get<std::string>(value);
    for (DWORD size = static_cast<DWORD>(text.size()) + 1;;) {
        // One spare character: the ANSI call has been known to need it.
        std::string expanded(size + 1, '\0');
        const DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
        if (needed == 0) return static_cast<LONG>(::GetLastError());
        if (needed <= size) {
            value = expanded.substr(0, expanded.find('\0'));
            return ERROR_SUCCESS;
        }
        size = needed;
    }
}

LONG ReadBinary(HKEY key, const std::string& valueName, DWORD size, RegValue& value) {
    std::string bytes;
    const LONG rc = QueryBytes(key, valueName, size, bytes);
    if (rc == ERROR_SUCCESS) value = RegBinary{std::move(bytes)};
    return rc;
}

LONG ReadDword(HKEY key, const std::string& valueName, RegValue& value) {
    DWORD data = 0;
    DWORD got = sizeof data;
    const LONG rc = ::RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(&data), &got);
    // A longer value answers ERROR_MORE_DATA. A shorter one fits the buffer but is no DWORD
    // either; it is refused as malformed data, ERROR_INVALID_DATA, rather than read in part.
    if (rc != ERROR_SUCCESS) return rc;
    if (got != sizeof data) return ERROR_INVALID_DATA;
    value = static_cast<std::int32_t>(data);
    return ERROR_SUCCESS;
}

}  // namespace

RegRead Win32Registry::RegValueGet(const std::string& subKey, const std::string& valueName) {
    RegRead read;
    UniqueRegKey key;
    if (const LONG rc = Open(subKey, kReadAccess, key); rc != ERROR_SUCCESS) {
        read.result = ResultOf(rc);
        return read;
    }

    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        switch (type) {
            case REG_SZ:
                rc = ReadText(key.get(), valueName, size, read.value);
                break;
            case REG_EXPAND_SZ:
                rc = ReadText(key.get(), valueName, size, read.value);
                if (rc == ERROR_SUCCESS) rc = Expand(read.value);
                break;
            case REG_BINARY:
                rc = ReadBinary(key.get(), valueName, size, read.value);
                break;
            case REG_DWORD:
                rc = ReadDword(key.get(), valueName, read.value);
                break;
            default:
                // Other types are no concern of the callers: success, nothing filled in.
                break;
        }
    }
    read.result = Close(key, rc);
    return read;
}

RegResult Win32Registry::RegValueSet(const std::string& subKey, const std::string& valueName,
                                     const std::string& text) {
    UniqueRegKey key;
    // Windows always has the keys written here, but a fresh Wine prefix may lack one.
    if (const LONG rc = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, 0,
                                          kWriteAccess, nullptr, key.put(), nullptr);
        rc != ERROR_SUCCESS)
        return ResultOf(rc);
    // A text keeps its NUL in the stored size.
    return Close(key, ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>(text.size() + 1)));
}

RegResult Win32Registry::RegValueDelete(const std::string& subKey, const std::string& valueName) {
    UniqueRegKey key;
    if (const LONG rc = Open(subKey, kWriteAccess, key); rc != ERROR_SUCCESS) return ResultOf(rc);
    return Close(key, ::RegDeleteValueA(key.get(), valueName.c_str()));
}

}  // namespace tunlatch::win32
