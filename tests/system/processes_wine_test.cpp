// Win32Processes against real child processes (tl_test_child beside this program), real
// timers and a real message queue.
#include "system/win32/processes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "system/win32/unique_handle.h"
#include "testbed/common/process_times.h"

namespace tunlatch::win32 {
namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path, length);
    return full.substr(0, full.find_last_of('\\') + 1);
}

std::string ChildPath() {
    return ProgramFolder() + "tl_test_child.exe";
}

// Built by appending: g++ 12 gives a false -Wrestrict on "literal" + std::string temporaries.
std::string Quoted(const std::string& path) {
    std::string quoted(1, '"');
    quoted += path;
    quoted += '"';
    return quoted;
}

std::string Child(const std::string& arguments) {
    return Quoted(ChildPath()) + " " + arguments;
}

// A message-only window of this thread (it needs no display) that counts what it receives,
// standing in for the tray's window whose handlers must keep running while a step waits.
class CountingWindow {
public:
    static constexpr UINT kPing = WM_APP + 1;

    CountingWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassA(&windowClass);
        window_ = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&counts_));
    }
    ~CountingWindow() {
        ::DestroyWindow(window_);
        ::UnregisterClassA(kClassName, ::GetModuleHandleA(nullptr));
    }
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;

    bool Post() const { return window_ != nullptr && ::PostMessageA(window_, kPing, 0, 0); }
    // WM_TIMER every periodMs, generated only while the thread looks at its queue.
    bool StartTimer(UINT periodMs) const {
        return window_ != nullptr && ::SetTimer(window_, 1, periodMs, nullptr) != 0;
    }
    int pings() const { return counts_.pings; }
    int ticks() const { return counts_.ticks; }

private:
    static constexpr const char* kClassName = "TunlatchCountingWindow";
    struct Counts {
        int pings = 0;
        int ticks = 0;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* counts = reinterpret_cast<Counts*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == kPing && counts != nullptr) {
            ++counts->pings;
            return 0;
        }
        if (message == WM_TIMER && counts != nullptr) {
            ++counts->ticks;
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    Counts counts_;
};

// Ends when the process has ended; false if it still runs after the time-out.
bool AwaitExit(const UniqueKernelHandle& process, DWORD timeoutMs) {
    return ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
}

struct CaptureCase {
    const char* name;
    const char* arguments;
    const char* expected;
};

class RunCapturedOutput : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(RunCapturedOutput, ReturnsExactlyWhatTheChildWrote) {
    Win32Processes processes;
    EXPECT_EQ(processes.RunCaptured(Child(GetParam().arguments)),
              CaptureResult(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Children, RunCapturedOutput,
    ::testing::Values(
        // Bursts arrive on separate passes; they are joined in order, line ends untouched.
        CaptureCase{"Bursts", "bursts 4 150", "burst 1\r\nburst 2\r\nburst 3\r\nburst 4\r\n"},
        // Silence is an empty capture, not a failure.
        CaptureCase{"Silent", "silent", ""},
        // 259 is also what a running process reports as its exit code.
        CaptureCase{"ExitCode259", "exit 259", "exit 259\r\n"},
        CaptureCase{"ExitCode7", "exit 7", "exit 7\r\n"},
        // A child silent for over a second is still waited for.
        CaptureCase{"LateOutput", "late 1200", "late line\r\n"}),
    [](const ::testing::TestParamInfo<CaptureCase>& info) { return info.param.name; });

TEST(RunCaptured, TakesMoreThanAPipeBufferWrittenAtOnce) {
    constexpr std::size_t kBytes = 300000;
    Win32Processes processes;
    const std::string output =
        std::get<std::string>(processes.RunCaptured(Child("big " + std::to_string(kBytes))));
    ASSERT_EQ(output.size(), kBytes);
    std::size_t firstWrong = 0;
    while (firstWrong < kBytes && output[firstWrong] == static_cast<char>(firstWrong % 251)) {
        ++firstWrong;
    }
    EXPECT_EQ(firstWrong, kBytes) << "first byte that differs from the pattern";
}

TEST(RunCaptured, MissingProgramIsAStartFailure) {
    Win32Processes processes;
    EXPECT_EQ(processes.RunCaptured(Quoted(ProgramFolder() + "no_such_program.exe") + " x"),
              CaptureResult(CaptureFailure::NotStarted));
}

TEST(RunCaptured, ServesWindowMessagesWhileTheChildRuns) {
    CountingWindow window;
    ASSERT_TRUE(window.Post());
    Win32Processes processes;
    EXPECT_EQ(processes.RunCaptured(Child("late 300")), CaptureResult("late line\r\n"));
    EXPECT_EQ(window.pings(), 1);
}

// Waiting for a silent child must sleep, not spin: a loop that only peeks costs several times
// this limit even when a loaded machine starves it.
TEST(RunCaptured, SilentChildCostsLittleCpu) {
    Win32Processes processes;
    const double cpuBefore = testbed::CpuSeconds();
    const double wallBefore = testbed::WallSeconds();
    EXPECT_EQ(processes.RunCaptured(Child("late 1000")), CaptureResult("late line\r\n"));
    const double wall = testbed::WallSeconds() - wallBefore;
    const double cpu = testbed::CpuSeconds() - cpuBefore;
    EXPECT_GE(wall, 1.0);
    EXPECT_LT(cpu, 0.05 * wall) << "CPU " << cpu << " s over " << wall << " s";
}

class WaitMsDuration : public ::testing::TestWithParam<int> {};

TEST_P(WaitMsDuration, LastsAsLongAsAsked) {
    const int requested = GetParam();
    Win32Processes processes;
    const double before = testbed::WallSeconds();
    processes.WaitMs(requested);
    const double elapsedMs = (testbed::WallSeconds() - before) * 1000.0;
    EXPECT_GE(elapsedMs, requested - 5);
    EXPECT_LE(elapsedMs, requested + 150);
}

INSTANTIATE_TEST_SUITE_P(Durations, WaitMsDuration, ::testing::Values(0, 100, 1500));

TEST(WaitMs, NegativeDurationReturnsAtOnce) {
    Win32Processes processes;
    const double before = testbed::WallSeconds();
    processes.WaitMs(-1000);
    EXPECT_LE(testbed::WallSeconds() - before, 0.15);
}

// Both what was queued before the pause and what arrives during it are handled, and neither
// cuts the pause short.
TEST(WaitMs, ServesWindowMessagesDuringThePause) {
    CountingWindow window;
    ASSERT_TRUE(window.Post());
    ASSERT_TRUE(window.StartTimer(50));
    Win32Processes processes;
    const double before = testbed::WallSeconds();
    processes.WaitMs(300);
    EXPECT_GE((testbed::WallSeconds() - before) * 1000.0, 295.0);
    EXPECT_EQ(window.pings(), 1);
    EXPECT_GE(window.ticks(), 2);
}

TEST(IsProcessActive, FollowsALaunchedChildUntilItEnds) {
    Win32Processes processes;
    const LaunchResult launched = processes.LaunchDetached(Child("sleep 1000"));
    ASSERT_TRUE(launched.started) << "error " << launched.error;
    // Holding a handle keeps the id from being reused by another process after the end.
    const UniqueKernelHandle child(::OpenProcess(SYNCHRONIZE, FALSE, launched.processId));
    ASSERT_TRUE(child);
    EXPECT_TRUE(processes.IsProcessActive(launched.processId));
    ASSERT_TRUE(AwaitExit(child, 10000));
    EXPECT_FALSE(processes.IsProcessActive(launched.processId));
}

TEST(IsProcessActive, IdsOfNoProcessAreInactive) {
    Win32Processes processes;
    EXPECT_FALSE(processes.IsProcessActive(0));
    EXPECT_FALSE(processes.IsProcessActive(0x7FFFFFF0));
}

TEST(LaunchDetached, AnswersTheIdOfTheStartedProgram) {
    Win32Processes processes;
    const LaunchResult launched = processes.LaunchDetached(Child("sleep 500"));
    ASSERT_TRUE(launched.started) << "error " << launched.error;
    const UniqueKernelHandle child(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, launched.processId));
    ASSERT_TRUE(child);
    char image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    ASSERT_TRUE(::QueryFullProcessImageNameA(child.get(), 0, image, &length));
    EXPECT_EQ(std::string(image, length), ChildPath());
    EXPECT_TRUE(AwaitExit(child, 10000));
}

TEST(LaunchDetached, MissingProgramGivesTheWindowsError) {
    Win32Processes processes;
    const LaunchResult launched =
        processes.LaunchDetached(Quoted(ProgramFolder() + "no_such_program.exe"));
    EXPECT_FALSE(launched.started);
    EXPECT_EQ(launched.processId, 0u);
    EXPECT_EQ(launched.error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(ShellOpen, MissingPathReturnsWithoutWaiting) {
    Win32Processes processes;
    const double before = testbed::WallSeconds();
    processes.ShellOpen(ProgramFolder() + "no_such_document.txt");
    EXPECT_LT(testbed::WallSeconds() - before, 10.0);
}

}  // namespace
}  // namespace tunlatch::win32
