#include "system/win32/settings_file.h"

#include <windows.h>

#include <optional>
#include <string_view>

#include "system/win32/files.h"

namespace tunlatch::win32 {

namespace {
// Far beyond any settings value; the buffer stops growing here rather than exhaust memory.
constexpr DWORD kMaxReadSize = DWORD{1} << 26;
// Far beyond any settings file; a bigger one is left to the profile functions.
constexpr DWORD kMaxFileSize = DWORD{1} << 24;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::optional<std::string> ReadAll(HANDLE file) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart > kMaxFileSize) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD total = 0;
    while (total < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size()) - total, &got,
                        nullptr))
            return std::nullopt;
        if (got == 0) break;
        total += got;
    }
    bytes.resize(total);
    return bytes;
}

// Notepad's "Unicode" files: the profile functions handle them as they always did.
bool IsUtf16(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

std::wstring Wide(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The text in codePage; nothing when that code page cannot spell it, as a character replaced by
// a default or a best fit would save another value than the one asked for.
std::optional<std::string> Narrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return std::string();
    const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n,
                          nullptr, nullptr);
    if (n == 0 || Wide(narrow, codePage) != text) return std::nullopt;
    return narrow;
}

std::optional<std::string> Recoded(std::string_view text, UINT from, UINT to) {
    if (from == to) return std::string(text);
    return Narrow(Wide(text, from), to);
}

bool IsUtf8(std::string_view bytes) {
    return bytes.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                  static_cast<int>(bytes.size()), nullptr, 0) != 0;
}

// The code page for non-Unicode programs that the system is set to, which the manifest's UTF-8
// replaces for this program only; 0 when it cannot be read.
UINT SystemAnsiCodePage() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", 0,
                        KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    char text[16] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1;
    const LONG read =
        ::RegQueryValueExA(key, "ACP", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ) return 0;
    UINT codePage = 0;
    for (const char* c = text; *c >= '0' && *c <= '9' && codePage < 100000; ++c)
        codePage = codePage * 10 + static_cast<UINT>(*c - '0');
    return ::IsValidCodePage(codePage) ? codePage : 0;
}

// The code page a settings file without a UTF-16 mark is written in. With the program's code
// page UTF-8, a file that is no valid UTF-8 was written by an older version in the system's code
// page: read as UTF-8 it would lose every letter beyond ASCII.
UINT FileCodePage(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return CP_UTF8;
    const UINT program = ::GetACP();
    if (program != CP_UTF8 || IsUtf8(bytes)) return program;
    const UINT system = SystemAnsiCodePage();
    return system != 0 && system != CP_UTF8 ? system : program;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Section and key names as the profile functions compare them; the program's own are ASCII.
bool SameName(std::wstring_view a, std::wstring_view b) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// Where a key stands in the file's bytes, found by the profile functions' rules: the first
// section of that name holding the key, names compared without case and blanks.
struct KeyPlace {
    std::optional<std::wstring> value;  // blanks and enclosing quotes removed
    std::size_t valueBegin = 0;         // the key's line: its value's first byte
    std::size_t lineEnd = 0;            // ... and where its line break begins
    bool sectionFound = false;
    std::size_t sectionEnd = 0;  // after the line break of the section's last line that is not
                                 // blank, where a new key goes
};

KeyPlace FindKey(std::string_view bytes, UINT codePage, std::wstring_view section,
                 std::wstring_view key) {
    KeyPlace place;
    bool inSection = false;
    bool inFirstSection = false;
    std::size_t begin = bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    while (begin < bytes.size()) {
        // Neither byte is ever part of a letter in a code page Windows uses for files like this.
        std::size_t next = bytes.find('\n', begin);
        next = next == std::string_view::npos ? bytes.size() : next + 1;
        std::size_t end = bytes.find_first_of("\r\n", begin);
        end = end == std::string_view::npos || end > next ? next : end;
        const std::wstring text = Wide(bytes.substr(begin, end - begin), codePage);
        const std::wstring_view line = Trimmed(text);
        if (line.starts_with(L'[')) {
            const std::size_t close = line.rfind(L']');
            const std::wstring_view name =
                close == std::wstring_view::npos ? line.substr(1) : line.substr(1, close - 1);
            inSection = SameName(Trimmed(name), section);
            inFirstSection = inSection && !place.sectionFound;
            if (inFirstSection) {
                place.sectionFound = true;
                place.sectionEnd = next;
            }
        } else if (inSection && !line.empty()) {
            if (inFirstSection) place.sectionEnd = next;
            const std::size_t equals = line.find(L'=');
            if (equals != std::wstring_view::npos &&
                SameName(Trimmed(line.substr(0, equals)), key)) {
                std::wstring_view value = Trimmed(line.substr(equals + 1));
                if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
                    value.back() == value.front())
                    value = value.substr(1, value.size() - 2);
                place.value = std::wstring(value);
                place.valueBegin = bytes.find('=', begin) + 1;
                while (place.valueBegin < end &&
                       (bytes[place.valueBegin] == ' ' || bytes[place.valueBegin] == '\t'))
                    ++place.valueBegin;
                place.lineEnd = end;
                return place;
            }
        }
        begin = next;
    }
    return place;
}

// The file with the key set to value, every other byte as it was; all texts in the file's code
// page. A new key goes at its section's end, a new section at the file's end.
std::string WithValue(std::string bytes, UINT codePage, const std::string& section,
                      const std::string& key, const std::string& value) {
    const KeyPlace place = FindKey(bytes, codePage, Wide(section, codePage), Wide(key, codePage));
    if (place.value)
        return bytes.replace(place.valueBegin, place.lineEnd - place.valueBegin, value);
    std::string lines = key + "=" + value + "\r\n";
    if (!place.sectionFound) lines = "[" + section + "]\r\n" + lines;
    const std::size_t at = place.sectionFound ? place.sectionEnd : bytes.size();
    if (at > 0 && bytes[at - 1] != '\n') lines = "\r\n" + lines;
    return bytes.insert(at, lines);
}

// The file's bytes, when it is one whose code page differs from the program's.
std::optional<std::string> LegacyFileBytes(const std::string& path, UINT& codePage) {
    const UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::optional<std::string> bytes = ReadAll(file.get());
    if (!bytes || IsUtf16(*bytes)) return std::nullopt;
    codePage = FileCodePage(*bytes);
    if (codePage == ::GetACP()) return std::nullopt;
    return bytes;
}

}  // namespace

std::string Win32SettingsFile::ReadINI(const std::string& path, const std::string& section,
                                       const std::string& key, const std::string& defaultValue) {
    UINT codePage = 0;
    if (const std::optional<std::string> bytes = LegacyFileBytes(path, codePage)) {
        const UINT program = ::GetACP();
        const KeyPlace place =
            FindKey(*bytes, codePage, Wide(section, program), Wide(key, program));
        if (!place.value) return defaultValue;
        return Narrow(*place.value, program).value_or(defaultValue);
    }
    // The call cuts a value that does not fit and then fills the buffer to its last character, so
    // only a buffer with room to spare holds the whole value.
    for (DWORD size = 1024;; size *= 2) {
        std::string buffer(size, '\0');
        const DWORD copied = ::GetPrivateProfileStringA(
            section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(), size, path.c_str());
        if (copied + 1 < size || size >= kMaxReadSize) {
            buffer.resize(copied < size ? copied : size);
            return buffer;
        }
    }
}

Result<> Win32SettingsFile::WriteINI(const std::string& path, const std::string& section,
                                     const std::string& key, const std::string& value) {
    UniqueFileHandle file;
    if (Result<> opened = OpenToWrite(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, file);
        !opened)
        return opened;
    const std::optional<std::string> bytes = ReadAll(file.get());
    if (!bytes) return SystemError{ERROR_READ_FAULT};
    if (IsUtf16(*bytes)) {
        // The profile functions open the file anew and share it with nobody.
        file.reset();
        if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path.c_str()))
            return SystemError{::GetLastError()};
        return {};
    }
    // Edited here rather than by the profile functions, which would rewrite a file in another
    // code page than the program's as the program's, every letter beyond ASCII lost, and which
    // would open it anew by name after it was checked.
    const UINT program = ::GetACP();
    const UINT codePage = FileCodePage(*bytes);
    const auto spelledSection = Recoded(section, program, codePage);
    const auto spelledKey = Recoded(key, program, codePage);
    const auto spelledValue = Recoded(value, program, codePage);
    if (!spelledSection || !spelledKey || !spelledValue)
        return SystemError{ERROR_NO_UNICODE_TRANSLATION};
    const std::string edited =
        WithValue(*bytes, codePage, *spelledSection, *spelledKey, *spelledValue);
    if (edited == *bytes) return {};
    DWORD written = 0;
    if (::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !::WriteFile(file.get(), edited.data(), static_cast<DWORD>(edited.size()), &written,
                     nullptr) ||
        !::SetEndOfFile(file.get()))
        return SystemError{::GetLastError()};
    if (written != edited.size()) return SystemError{ERROR_WRITE_FAULT};
    return {};
}

}  // namespace tunlatch::win32
