// Stands in for the editor that the shell opens a text file with: it appends its command line
// to the file named by its first argument and then signals the event named by its second, so
// a test sees what was opened without a window appearing.
//   open_recorder.exe RECORD-FILE EVENT-NAME [what the shell passes...]
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "system/win32/unique_handle.h"

namespace {

using tunlatch::win32::UniqueFileHandle;
using tunlatch::win32::UniqueKernelHandle;

std::string Narrow(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.pop_back();
    return narrow;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (args == nullptr) return 2;
    const std::string record = count > 1 ? Narrow(args[1]) : "";
    const std::string event = count > 2 ? Narrow(args[2]) : "";
    ::LocalFree(args);
    if (record.empty()) return 2;

    const std::string line = std::string(::GetCommandLineA()) + "\r\n";
    {
        const UniqueFileHandle file(::CreateFileA(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                  nullptr));
        if (!file) return 1;
        DWORD written = 0;
        ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    if (!event.empty()) {
        const UniqueKernelHandle done(::OpenEventA(EVENT_MODIFY_STATE, FALSE, event.c_str()));
        if (done) ::SetEvent(done.get());
    }
    return 0;
}
