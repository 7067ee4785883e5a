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

}  // namespace

// The entry points the library calls. None lets a failure travel back into the library.
struct UnzipCallbacks {
    static int WINAPI Print(LPSTR, unsigned long) { return 0; }

    static int WINAPI Replace(LPSTR fileName) {
        try {
            if (activeUnzip != nullptr) return activeUnzip->AskReplace(fileName);
        } catch (...) {
        }
        return unzip::kReplaceNo;
    }

    static int WINAPI Password(LPSTR buffer, int size, LPCSTR, LPCSTR) {
        try {
            if (activeUnzip != nullptr) return activeUnzip->AskPassword(buffer, size);
        } catch (...) {
        }
        return 1;
    }

    // Only list mode calls it, which this program never asks for.
    static void WINAPI List(unsigned long, unsigned long, unsigned, unsigned, unsigned, unsigned,
                            unsigned, unsigned, char, LPSTR, LPSTR, unsigned long, char) {}

    static int WINAPI Service(LPCSTR, unsigned long) { return 0; }
};

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
    const auto extract =
        FindExport<unzip::WizSingleEntryUnzipFn>(dll.get(), "Wiz_SingleEntryUnzip");
    if (version == nullptr || extract == nullptr)
        return ZipFailure{ZipFailure::Kind::NotZipLibrary, 0, {}};

    std::vector<char> zipName = Writable(archivePath);
    std::vector<char> extractDir = Writable(targetFolder);
    unzip::DCL options{};
    options.PromptToOverwrite = 0;
    options.noflag = 1;
    options.nzflag = 0;
    options.ndflag = 1;
    // An empty target folder would ask for a listing instead of an extraction.
    options.nvflag = targetFolder.empty() ? 1 : 0;
    options.lpszZipFN = zipName.data();
    options.lpszExtractDir = extractDir.data();

    unzip::USERFUNCTIONS callbacks{};
    callbacks.print = &UnzipCallbacks::Print;
    callbacks.sound = nullptr;
    callbacks.replace = &UnzipCallbacks::Replace;
    callbacks.password = &UnzipCallbacks::Password;
    callbacks.SendApplicationMessage = &UnzipCallbacks::List;
    callbacks.ServCallBk = &UnzipCallbacks::Service;

    char emptyName[] = "";
    std::array<char*, kNameListRoom> include{emptyName};
    std::array<char*, kNameListRoom> exclude{emptyName};

    unzip::UzpVer versionRecord{};
    versionRecord.structlen = sizeof(unzip::UzpVer);
    FillBlanks(versionRecord.betalevel, sizeof versionRecord.betalevel);
    FillBlanks(versionRecord.date, sizeof versionRecord.date);
    FillBlanks(versionRecord.zlib_version, sizeof versionRecord.zlib_version);
    version(&versionRecord);

    const ActiveScope active(this);
    const int code = extract(0, include.data(), 0, exclude.data(), &options, &callbacks);
    if (code > 1) return ZipFailure{ZipFailure::Kind::Failed, static_cast<std::uint32_t>(code), {}};
    return Done{};
}

}  // namespace tunlatch::win32
