#include "system/win32/processes.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "system/win32/unique_handle.h"
#include "system/win32/user_start.h"

namespace tunlatch::win32 {

#ifndef _WIN64
// The 32-bit layouts the platform documents; a header mismatch would corrupt CreateProcessA.
static_assert(sizeof(STARTUPINFOA) == 68);
static_assert(sizeof(SECURITY_ATTRIBUTES) == 12);
#endif

namespace {

// How long the capture loop sleeps when the pipe is empty: short enough that output and
// messages are served promptly, long enough that a silent child costs next to no CPU.
constexpr DWORD kIdlePollMs = 50;

// Exit code 259 is what GetExitCodeProcess reports for a running process.
constexpr DWORD kStillActive = 259;

// The access right PROCESS_ALL_ACCESS had before Windows Vista, which every version accepts.
constexpr DWORD kProcessAllAccessLegacy = 0x1F0FFF;

void DispatchPendingMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// The pipe that carries the child's standard output. Only the write end may be inherited: the
// child has no use for the read end, and whatever it starts in turn would hold that open too.
struct OutputPipe {
    UniqueKernelHandle write;
    UniqueKernelHandle read;
};

bool CreateOutputPipe(OutputPipe& pipe) {
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(SECURITY_ATTRIBUTES);
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &inheritable, 0)) return false;
    pipe.read.reset(read);
    pipe.write.reset(write);
    return ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

// Reads exactly the bytes the pipe reports waiting, so the read never blocks. True when bytes
// were appended; a failed read is remembered and the capture goes on.
bool ReadWaiting(HANDLE pipe, std::string& output, bool& readFailed) {
    DWORD available = 0;
    if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) {
        return false;
    }
    std::string chunk(available, '\0');
    DWORD read = 0;
    if (!::ReadFile(pipe, chunk.data(), available, &read, nullptr)) {
        readFailed = true;
        return false;
    }
    output.append(chunk, 0, read);
    return read > 0;
}

// Sleeps until the child ends, a message arrives or the time is up, then serves the messages.
void WaitForChildOrMessage(HANDLE process, DWORD milliseconds) {
    if (::MsgWaitForMultipleObjects(1, &process, FALSE, milliseconds, QS_ALLINPUT) == WAIT_FAILED) {
        ::WaitForSingleObject(process, milliseconds);
    }
    DispatchPendingMessages();
}

// Ends on the process handle rather than the exit code, which cannot tell a running child from
// one that exited with 259, nor on the pipe's end, which a grandchild may hold open. A child
// still running at the deadline is left alone: DevCon may be in the middle of a driver change.
CaptureResult CaptureUntilExit(HANDLE process, HANDLE pipe, ULONGLONG deadline) {
    std::string output;
    bool readFailed = false;
    for (;;) {
        const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        const bool arrived = ReadWaiting(pipe, output, readFailed);
        // Once the child is gone, whatever it wrote is in the pipe: done when that is read.
        if (ended && !arrived) break;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return CaptureFailure::NoEndInTime;
        const auto idle = static_cast<DWORD>(std::min<ULONGLONG>(kIdlePollMs, deadline - now));
        // A child with more to say may be blocked on the full pipe: come straight back then.
        WaitForChildOrMessage(process, arrived ? 0 : idle);
    }
    if (readFailed) return CaptureFailure::ReadFailed;
    return output;
}

// Returns after the requested time even without a timer, still serving messages meanwhile.
void WaitUntil(ULONGLONG deadline) {
    for (ULONGLONG now = ::GetTickCount64(); now < deadline; now = ::GetTickCount64()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                    QS_ALLINPUT);
        DispatchPendingMessages();
    }
}

// True when the timer fired; false when it could not be made, set or waited for.
bool WaitOnTimer(std::int32_t milliseconds) {
    const UniqueKernelHandle timer(::CreateWaitableTimerA(nullptr, TRUE, nullptr));
    if (!timer) return false;
    LARGE_INTEGER due{};
    due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10000;  // relative, 100 ns units
    if (!::SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) return false;
    HANDLE handle = timer.get();
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        DispatchPendingMessages();
        if (woken == WAIT_OBJECT_0) return true;
        if (woken == WAIT_FAILED) return false;
    }
}

// CreateProcessA may write into the command line, so it gets its own copy.
std::vector<char> WritableCopy(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return copy;
}

}  // namespace

CaptureResult Win32Processes::RunCaptured(const std::string& commandLine,
                                          std::chrono::milliseconds timeLimit) {
    // milliseconds::max() is no limit: added to a tick count since boot, it cannot overflow.
    const ULONGLONG deadline =
        ::GetTickCount64() + static_cast<ULONGLONG>(std::max<std::int64_t>(timeLimit.count(), 0));
    OutputPipe pipe;
    if (!CreateOutputPipe(pipe)) return CaptureFailure::PipeNotCreated;

    STARTUPINFOA startup{};
    startup.cb = sizeof(STARTUPINFOA);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = pipe.write.get();

    std::vector<char> command = WritableCopy(commandLine);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                          nullptr, nullptr, &startup, &started)) {
        return CaptureFailure::NotStarted;
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    return CaptureUntilExit(process.get(), pipe.read.get(), deadline);
}

void Win32Processes::WaitMs(std::int32_t milliseconds) {
    const std::int32_t duration = std::max<std::int32_t>(milliseconds, 0);
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(duration);
    if (!WaitOnTimer(duration)) WaitUntil(deadline);
}

bool Win32Processes::IsProcessActive(std::uint32_t processId) {
    DWORD exitCode = 0;
    const UniqueKernelHandle process(::OpenProcess(kProcessAllAccessLegacy, FALSE, processId));
    if (process) ::GetExitCodeProcess(process.get(), &exitCode);
    return exitCode == kStillActive;
}

Result<> Win32Processes::ShellOpen(const std::string& target) {
    if (com_ != nullptr) com_->Enter();
    SHELLEXECUTEINFOA open{};
    open.cbSize = sizeof open;
    // Returns once the hand-off is done, so that a failure is known and its code is the thread's
    // last error; and shows no error box of its own, the run's log tells.
    open.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    open.hwnd = ::GetDesktopWindow();
    open.lpVerb = "open";
    open.lpFile = target.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExA(&open)) return SystemError{::GetLastError()};
    return {};
}

Result<std::uint32_t> Win32Processes::LaunchDetached(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(STARTUPINFOA);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    // Out of the user's way.
    startup.wShowWindow = SW_SHOWMINIMIZED;

    std::vector<char> command = WritableCopy(commandLine);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return SystemError{::GetLastError()};
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    return std::uint32_t{started.dwProcessId};
}

Result<std::uint32_t, UserStartFailure> Win32Processes::LaunchAsUser(
    const std::string& commandLine) {
    // The shell window belongs to the signed-in user's Explorer; no window, no shell to start
    // from (no one signed in on this desktop, another shell, or Wine's desktop).
    return LaunchWithTokenOf(::GetShellWindow(), commandLine);
}

Result<Done, UserStartFailure> Win32Processes::ShellOpenAsUser(const std::string& target) {
    // The shell is asked across processes through COM: without an apartment there is no asking.
    if (com_ != nullptr && !com_->Enter()) return UserStartFailure{};
    return OpenThroughDesktopShell(target);
}

}  // namespace tunlatch::win32
