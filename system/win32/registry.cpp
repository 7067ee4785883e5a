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

// The predefined root keys are negative 32-bit values, sign-extended in a 64-bit handle.
HKEY RootKey(std::uint32_t hive) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(hive)));
}

LONG Open(std::uint32_t hive, const std::string& subKey, REGSAM access, UniqueRegKey& key) {
    return ::RegOpenKeyExA(RootKey(hive), subKey.c_str(), 0, access, key.put());
}

// The first failure wins; without one the close's code is the result.
std::int32_t Close(UniqueRegKey& key, LONG failure) {
    const LONG closed = ::RegCloseKey(key.release());
    return failure != ERROR_SUCCESS ? failure : closed;
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

LONG ReadBinary(HKEY key, const std::string& valueName, DWORD size, RegValue& value) {
    std::string bytes;
    const LONG rc = QueryBytes(key, valueName, size, bytes);
    if (rc == ERROR_SUCCESS) value = std::move(bytes);
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

std::int32_t Win32Registry::RegValueGet(std::uint32_t hive, const std::string& subKey,
                                        const std::string& valueName, RegValue& value,
                                        std::string& typeName) {
    UniqueRegKey key;
    if (const LONG rc = Open(hive, subKey, kReadAccess, key); rc != ERROR_SUCCESS) return rc;

    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        switch (type) {
            case REG_SZ:
                typeName = "SZ";
                rc = ReadText(key.get(), valueName, size, value);
                break;
            case REG_BINARY:
                typeName = "BINARY";
                rc = ReadBinary(key.get(), valueName, size, value);
                break;
            case REG_DWORD:
                typeName = "DWORD";
                rc = ReadDword(key.get(), valueName, value);
                break;
            default:
                // Other types are no concern of the callers: success, nothing filled in.
                break;
        }
    }
    return Close(key, rc);
}

std::int32_t Win32Registry::RegValueSet(std::uint32_t hive, const std::string& subKey,
                                        const std::string& valueName, const RegValue& value,
                                        bool binary) {
    UniqueRegKey key;
    if (const LONG rc = Open(hive, subKey, kWriteAccess, key); rc != ERROR_SUCCESS) return rc;

    LONG rc = ERROR_SUCCESS;
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        const DWORD data = static_cast<DWORD>(*number);
        rc = ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof data);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        // A text keeps its NUL in the stored size; raw bytes are stored as they are.
        const DWORD size = static_cast<DWORD>(text->size() + (binary ? 0 : 1));
        rc = ::RegSetValueExA(key.get(), valueName.c_str(), 0, binary ? REG_BINARY : REG_SZ,
                              reinterpret_cast<const BYTE*>(text->c_str()), size);
    }
    return Close(key, rc);
}

std::int32_t Win32Registry::RegValueDelete(std::uint32_t hive, const std::string& subKey,
                                           const std::string& valueName) {
    UniqueRegKey key;
    if (const LONG rc = Open(hive, subKey, kWriteAccess, key); rc != ERROR_SUCCESS) return rc;
    return Close(key, ::RegDeleteValueA(key.get(), valueName.c_str()));
}

}  // namespace tunlatch::win32
