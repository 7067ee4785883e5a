#include "system/win32/unzip_dll.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "system/password_buffer.h"
#include "system/win32/system_library.h"
#include "system/win32/unique_handle.h"
#include "system/win32/unzip_api.h"

namespace tunlatch::win32 {

namespace {

constexpr const char* kPasswordPrompt = "Please Enter The Password!";
// Room the name lists offer; the count of 0 tells the library to take every member.
constexpr std::size_t kNameListRoom = 100;

// The library's return codes below 2 tell no failure of the extraction (unzip.h's PK_OK and
// PK_WARN). Warnings cover the bytes a self-extracting archive's program puts before the zip
// and the encrypted members skipped because no or a wrong password was given: 5.52 and 6.0 both
// return 1 then, having extracted every other member, and whether those that the caller needs
// are among them shows in the files. From 2 on the extraction failed or could not start (82,
// IZ_BADPWD, when every member was skipped for its password).
constexpr int kLastSuccessCode = 1;

// The library's callbacks carry no context of the caller, so this names the object whose
// extraction is running. It is set only for the duration of Wiz_SingleEntryUnzip, on the
// calling thread, where the library calls back.
Win32Unzip* activeUnzip = nullptr;

class ActiveScope {
public:
    explicit ActiveScope(Win32Unzip* unzip) { activeUnzip = unzip; }
    ~ActiveScope() { activeUnzip = nullptr; }
    ActiveScope(const ActiveScope&) = delete;
    ActiveScope& operator=(const ActiveScope&) = delete;
};

UniqueModule LoadUnzipDll(const std::string& path) {
    // Its own dependencies come from beside it or from the system folder, nowhere else.
    UniqueModule dll(::LoadLibraryExA(
        path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Windows 7 without its loader update refuses the flags; the altered search path still
    // looks beside the DLL first.
    if (!dll && ::GetLastError() == ERROR_INVALID_PARAMETER)
        dll.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return dll;
}

std::vector<char> Writable(const std::string& text) {
    std::vector<char> chars(text.begin(), text.end());
    chars.push_back('\0');
    return chars;
}

void FillBlanks(char* field, std::size_t size) {
    std::fill(field, field + size - 1, ' ');
    field[size - 1] = '\0';
}

// The library's version record, handed over at 6.0's length: 6.0 fills only a record of exactly
// that length, and 5.52 fills its shorter one whatever length it is told. A library that fills
// nothing shows version 0.0.0.
unzip::UzpVer2 AskVersion(unzip::UzpVersion2Fn version) {
    unzip::UzpVer2 record{};
    record.structlen = sizeof record;
    FillBlanks(record.betalevel, sizeof record.betalevel);
    FillBlanks(record.date, sizeof record.date);
    FillBlanks(record.zlib_version, sizeof record.zlib_version);
    version(&record);
    return record;
}

std::string VersionText(const unzip::VersionType& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.patchlevel);
}

// What both generations' DCL share: every member extracted with its stored folders, existing
// files overwritten without asking.
template <typename Dcl>
void SetOptions(Dcl& options, char* zipName, char* extractDir, bool listOnly) {
    options.PromptToOverwrite = 0;
    options.noflag = 1;
    options.nzflag = 0;
    options.ndflag = 1;
    options.nvflag = listOnly ? 1 : 0;
    options.lpszZipFN = zipName;
    options.lpszExtractDir = extractDir;
}

}  // namespace

// The entry points the library calls, each with the exact signature of its generation. None
// lets a failure travel back into the library.
struct UnzipCallbacks {
    static int WINAPI Print(LPSTR, unsigned long) { return 0; }

    static int WINAPI Replace(LPSTR fileName) {
        try {
            if (activeUnzip != nullptr) return activeUnzip->AskReplace(fileName);
        } catch (...) {
        }
        return unzip::kReplaceNo;
    }
    static int WINAPI ReplaceWithRoom(LPSTR fileName, unsigned) { return Replace(fileName); }

    static int WINAPI Password(LPSTR buffer, int size, LPCSTR, LPCSTR) {
        try {
            if (activeUnzip != nullptr) return activeUnzip->AskPassword(buffer, size);
        } catch (...) {
        }
        return 1;
    }

    // Only list mode calls these, which this program never asks for.
    static void WINAPI List5(unsigned long, unsigned long, unsigned, unsigned, unsigned, unsigned,
                             unsigned, unsigned, char, LPSTR, LPSTR, unsigned long, char) {}
    static void WINAPI List6(std::uint64_t, std::uint64_t, unsigned, unsigned, unsigned, unsigned,
                             unsigned, unsigned, char, LPCSTR, LPCSTR, unsigned long, char) {}
    static void WINAPI List6Halves(unsigned long, unsigned long, unsigned long, unsigned long,
                                   unsigned, unsigned, unsigned, unsigned, unsigned, unsigned, char,
                                   LPCSTR, LPCSTR, unsigned long, char) {}

    // Called before each member; an answer other than 0 would cancel the extraction.
    static int WINAPI Service5(LPCSTR, unsigned long) { return 0; }
    static int WINAPI Service6(LPCSTR, std::uint64_t) { return 0; }
    static int WINAPI Service6Halves(LPCSTR, unsigned long, unsigned long) { return 0; }

    static void Fill(unzip::v5::USERFUNCTIONS& callbacks) {
        callbacks.print = &Print;
        callbacks.replace = &Replace;
        callbacks.password = &Password;
        callbacks.SendApplicationMessage = &List5;
        callbacks.ServCallBk = &Service5;
    }
    static void Fill(unzip::v6::USERFUNCTIONS& callbacks) {
        callbacks.print = &Print;
        callbacks.replace = &ReplaceWithRoom;
        callbacks.password = &Password;
        callbacks.SendApplicationMessage = &List6;
        callbacks.ServCallBk = &Service6;
        callbacks.SendApplicationMessage_i32 = &List6Halves;
        callbacks.ServCallBk_i32 = &Service6Halves;
    }
};

namespace {

// One extraction with the records of one generation, the options given already holding what is
// that generation's own.
template <typename Dcl, typename UserFunctions>
int Extract(HMODULE dll, Win32Unzip* owner, Dcl options, const std::string& archivePath,
            const std::string& targetFolder) {
    using ExtractFn = int(WINAPI*)(int, char**, int, char**, Dcl*, UserFunctions*);
    const auto extract = FindExport<ExtractFn>(dll, "Wiz_SingleEntryUnzip");
    std::vector<char> zipName = Writable(archivePath);
    std::vector<char> extractDir = Writable(targetFolder);
    // An empty target folder would ask for a listing instead of an extraction.
    SetOptions(options, zipName.data(), extractDir.data(), targetFolder.empty());
    UserFunctions callbacks{};
    UnzipCallbacks::Fill(callbacks);

    char emptyName[] = "";
    std::array<char*, kNameListRoom> include{emptyName};
    std::array<char*, kNameListRoom> exclude{emptyName};
    const ActiveScope active(owner);
    return extract(0, include.data(), 0, exclude.data(), &options, &callbacks);
}

}  // namespace

bool IsUnzipFailure(int returnCode) {
    return returnCode < 0 || returnCode > kLastSuccessCode;
}

Win32Unzip::Win32Unzip(std::string dllPath, Dialogs& dialogs, std::string title)
    : dllPath_(std::move(dllPath)), dialogs_(dialogs), title_(std::move(title)) {}

int Win32Unzip::AskPassword(char* buffer, int size) {
    if (passwordSkip_ == 1) return 1;
    const std::string answer = dialogs_.ShowInputBox(kPasswordPrompt, title_);
    if (answer.empty()) {
        passwordSkip_ = 1;
        return 1;
    }
    return FillPasswordBuffer(buffer, size, answer) ? 0 : 1;
}

int Win32Unzip::AskReplace(const char* fileName) {
    const std::string name = fileName != nullptr ? fileName : "";
    switch (dialogs_.AskYesNoCancel("Overwrite " + name + "?", title_)) {
        case Answer::Yes:
            return unzip::kReplaceYes;
        case Answer::Cancel:
            return unzip::kReplaceNone;
        default:
            return unzip::kReplaceNo;
    }
}

Result<Done, ZipFailure> Win32Unzip::UnzipArchive(const std::string& archivePath,
                                                  const std::string& targetFolder) {
    const UniqueModule dll = LoadUnzipDll(dllPath_);
    if (!dll) return ZipFailure{ZipFailure::Kind::NotLoaded, ::GetLastError(), {}};
    const auto version = FindExport<unzip::UzpVersion2Fn>(dll.get(), "UzpVersion2");
    if (version == nullptr || ::GetProcAddress(dll.get(), "Wiz_SingleEntryUnzip") == nullptr)
        return ZipFailure{ZipFailure::Kind::NotZipLibrary, 0, {}};

    const unzip::UzpVer2 record = AskVersion(version);
    int code = 0;
    switch (record.unzip.major) {
        case 5:
            code = Extract<unzip::v5::DCL, unzip::v5::USERFUNCTIONS>(dll.get(), this, {},
                                                                     archivePath, targetFolder);
            break;
        case 6: {
            unzip::v6::DCL options{};
            options.StructVersID = unzip::v6::kStructVersion;
            code = Extract<unzip::v6::DCL, unzip::v6::USERFUNCTIONS>(dll.get(), this, options,
                                                                     archivePath, targetFolder);
            break;
        }
        default:
            return ZipFailure{ZipFailure::Kind::UnsupportedVersion, 0, VersionText(record.unzip)};
    }
    if (IsUnzipFailure(code))
        return ZipFailure{ZipFailure::Kind::Failed, static_cast<std::uint32_t>(code), {}};
    return Done{};
}

}  // namespace tunlatch::win32
