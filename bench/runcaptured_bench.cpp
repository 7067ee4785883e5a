// Measures what capturing a child's output costs this process while the child is silent:
// RunCaptured against the spinning reference loop, on the same child, one after the other.
//   bench_runcaptured [--only=spinning|--only=runcaptured] [CHILD ARGUMENTS...]
// The child defaults to "late 1000". With --only, one loop runs, so that a script outside can
// charge the Wine server's CPU time to that loop alone.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "system/win32/processes.h"
#include "system/win32/program_host.h"
#include "system/win32/unique_handle.h"
#include "testbed/common/process_times.h"

namespace {

using tunlatch::testbed::CpuSeconds;
using tunlatch::testbed::WallSeconds;
using tunlatch::win32::UniqueKernelHandle;

constexpr const char* kDefaultChild = "late 1000";
constexpr const char* kDefaultChildOutput = "late line\r\n";

std::string ChildCommand(int first, int argc, char** argv) {
    const auto folder = tunlatch::win32::Win32ProgramHost().ProgramFolder();
    std::string command = "\"" + (folder ? *folder : std::string(".")) + "\\tl_test_child.exe\" ";
    if (first >= argc) return command + kDefaultChild;
    for (int i = first; i < argc; ++i) {
        if (i > first) command += ' ';
        command += argv[i];
    }
    return command;
}

// The capture loop as first written, the reference RunCaptured is measured against: it never
// sleeps, peeking and asking for the exit code until the child has ended, and serves the
// thread's messages on every turn.
std::string SpinningRunCaptured(std::string commandLine) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueKernelHandle read;
    UniqueKernelHandle write;
    if (!::CreatePipe(read.put(), write.put(), &inheritable, 0)) return "<no pipe>";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = write.get();
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started))
        return "<not started>";
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    std::string output;
    for (DWORD exitCode = STILL_ACTIVE; exitCode == STILL_ACTIVE;) {
        DWORD available = 0;
        ::PeekNamedPipe(read.get(), nullptr, 0, nullptr, &available, nullptr);
        if (available > 0) {
            std::string chunk(available, '\0');
            DWORD got = 0;
            if (!::ReadFile(read.get(), chunk.data(), available, &got, nullptr))
                return "<read failed>";
            output.append(chunk, 0, got);
        } else if (!::GetExitCodeProcess(process.get(), &exitCode)) {
            break;
        }
        for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageA(&msg);
    }
    return output;
}

using Capture = std::function<std::string(const std::string&)>;

// One run of one loop; answers its output for comparison.
std::string Measure(const char* name, const Capture& capture, const std::string& command,
                    const std::string* expected) {
    const double wallBefore = WallSeconds();
    const double cpuBefore = CpuSeconds();
    const std::string output = capture(command);
    const double cpu = CpuSeconds() - cpuBefore;
    const double wall = WallSeconds() - wallBefore;
    const char* verdict = expected == nullptr ? "-" : output == *expected ? "yes" : "NO";
    std::printf("%-20s %8.3f %8.3f %8.1f %8zu  %s\n", name, wall, cpu, 100.0 * cpu / wall,
                output.size(), verdict);
    return output;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    const bool single = only.rfind("--only=", 0) == 0;
    const int first = single ? 2 : 1;
    const std::string command = ChildCommand(first, argc, argv);
    // The default child's output is known; any other is judged against the spinning loop's.
    const std::string known = kDefaultChildOutput;
    const std::string* expected = first >= argc ? &known : nullptr;
    std::printf("child: %s\n", command.c_str());
    std::printf("%-20s %8s %8s %8s %8s  %s\n", "loop", "wall s", "CPU s", "CPU %", "bytes",
                "output as expected");
    tunlatch::win32::Win32Processes processes;
    const Capture spinning = [](const std::string& c) { return SpinningRunCaptured(c); };
    const Capture sleeping = [&](const std::string& c) {
        const tunlatch::CaptureResult result = processes.RunCaptured(c, std::chrono::hours(1));
        const auto* output = std::get_if<std::string>(&result);
        return output ? *output : std::string("<failed>");
    };
    if (only == "--only=spinning") {
        Measure("spinning loop", spinning, command, expected);
    } else if (only == "--only=runcaptured") {
        Measure("RunCaptured", sleeping, command, expected);
    } else if (single) {
        std::fprintf(stderr, "unknown %s\n", only.c_str());
        return 2;
    } else {
        const std::string reference = Measure("spinning loop", spinning, command, expected);
        Measure("RunCaptured", sleeping, command, expected != nullptr ? expected : &reference);
    }
    return 0;
}
