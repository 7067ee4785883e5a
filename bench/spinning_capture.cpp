#include "bench/spinning_capture.h"

#include <windows.h>

#include <vector>

#include "system/processes.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::bench {

using win32::UniqueKernelHandle;

namespace {

void DispatchPendingMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

}  // namespace

std::string SpinningRunCaptured(const std::string& commandLine, bool hideWindow) {
    // Both pipe ends and both process handles inheritable, as the first loop had them.
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(SECURITY_ATTRIBUTES);
    inheritable.bInheritHandle = TRUE;
    UniqueKernelHandle read;
    UniqueKernelHandle write;
    if (!::CreatePipe(read.put(), write.put(), &inheritable, 0)) return "<no pipe>";

    STARTUPINFOA startup{};
    startup.cb = sizeof(STARTUPINFOA);
    startup.dwFlags = STARTF_USESTDHANDLES | (hideWindow ? STARTF_USESHOWWINDOW : 0);
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = write.get();
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, command.data(), &inheritable, &inheritable, TRUE,
                          NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &started)) {
        return "<not started>";
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);

    std::string output;
    bool readFailed = false;
    for (;;) {
        DWORD available = 0;
        ::PeekNamedPipe(read.get(), nullptr, 0, nullptr, &available, nullptr);
        bool queried = false;
        BOOL queryOk = FALSE;
        DWORD exitCode = 0;
        if (available >= 1) {
            std::string chunk(available, '\0');
            DWORD got = 0;
            if (::ReadFile(read.get(), chunk.data(), available, &got, nullptr) == 1) {
                output.append(chunk, 0, got);
            } else {
                readFailed = true;
            }
        } else {
            queried = true;
            queryOk = ::GetExitCodeProcess(process.get(), &exitCode);
        }
        DispatchPendingMessages();
        if (queried && (!queryOk || exitCode != STILL_ACTIVE)) break;
    }
    return readFailed ? "<read failed>" : output;
}

}  // namespace tunlatch::bench
