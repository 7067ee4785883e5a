#pragma once
#include "system/processes.h"

namespace tunlatch::win32 {

// Child processes, pauses and shell hand-offs on the program's only thread. Every wait keeps
// the thread's window messages flowing, so the tray's handlers run in the middle of a step.
class Win32Processes final : public Processes {
public:
    std::string RunCaptured(const std::string& commandLine, bool hideWindow) override;
    void WaitMs(std::int32_t milliseconds) override;
    bool IsProcessActive(std::int32_t processId) override;
    void ShellOpen(const std::string& target, std::int32_t showCommand) override;
    LaunchResult LaunchDetached(const std::string& commandLine, std::int32_t showCommand) override;
};

}  // namespace tunlatch::win32
