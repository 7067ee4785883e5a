#pragma once
#include "system/processes.h"
#include "system/win32/com_apartment.h"

namespace tunlatch::win32 {

// Child processes, pauses and shell hand-offs on the program's only thread. Every wait keeps
// the thread's window messages flowing, so the tray's handlers run in the middle of a step.
class Win32Processes final : public Processes {
    // The run's apartment, entered at the first shell hand-off; null where the caller sees to
    // COM on this thread itself (tests and benches that open no shell).
    ComApartment* com_ = nullptr;

public:
    explicit Win32Processes(ComApartment* com = nullptr) : com_(com) {}
    CaptureResult RunCaptured(const std::string& commandLine,
                              std::chrono::milliseconds timeLimit) override;
    void WaitMs(std::int32_t milliseconds) override;
    bool IsProcessActive(std::uint32_t processId) override;
    Result<> ShellOpen(const std::string& target) override;
    Result<std::uint32_t> LaunchDetached(const std::string& commandLine) override;
    Result<std::uint32_t, UserStartFailure> LaunchAsUser(const std::string& commandLine) override;
    Result<Done, UserStartFailure> ShellOpenAsUser(const std::string& target) override;
};

}  // namespace tunlatch::win32
