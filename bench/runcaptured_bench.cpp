// Measures what capturing a child's output costs this process while the child is silent:
// RunCaptured against the spinning reference loop, on the same child, one after the other.
//   bench_runcaptured [--only=spinning|--only=runcaptured] [CHILD ARGUMENTS...]
// The child defaults to "late 1000". With --only, one loop runs, so that a script outside can
// charge the Wine server's CPU time to that loop alone.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "bench/spinning_capture.h"
#include "system/win32/processes.h"
#include "testbed/common/process_times.h"

namespace {

using tunlatch::testbed::CpuSeconds;
using tunlatch::testbed::WallSeconds;

constexpr const char* kDefaultChild = "late 1000";
constexpr const char* kDefaultChildOutput = "late line\r\n";

std::string ChildCommand(int first, int argc, char** argv) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, length);
    program.erase(program.find_last_of('\\') + 1);
    std::string command(1, '"');
    command += program;
    command += "tl_test_child.exe\"";
    command += ' ';
    if (first >= argc) return command + kDefaultChild;
    for (int i = first; i < argc; ++i) {
        if (i > first) command += ' ';
        command += argv[i];
    }
    return command;
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
    const Capture spinning = [](const std::string& c) {
        return tunlatch::bench::SpinningRunCaptured(c, true);
    };
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
