#pragma once
// Processes and waits (modAPIcalls): child processes with captured output, pauses that keep
// window messages flowing, process liveness, shell "Open", and detached launches.
#include <cstdint>
#include <string>

namespace tunlatch {

inline constexpr const char* kCreatePipeFailed = "ERROR: CreatePipe failed Error!";
inline constexpr const char* kStartProcessFailed = "ERROR: Error while starting process!";
inline constexpr const char* kReadFileFailed = "ERROR: ReadFile failed!";

// Outcome of starting a program without waiting for it.
struct LaunchResult {
    bool started = false;
    std::uint32_t processId = 0;
    std::uint32_t error = 0;  // the Windows error code when not started
};

class Processes {
public:
    virtual ~Processes() = default;
    // The child's whole standard output in arrival order, or one of the three error texts.
    virtual std::string RunCaptured(const std::string& commandLine, bool hideWindow) = 0;
    virtual void WaitMs(std::int32_t milliseconds) = 0;
    virtual bool IsProcessActive(std::int32_t processId) = 0;
    virtual void ShellOpen(const std::string& target, std::int32_t showCommand) = 0;
    // Starts the command line as a new process that inherits no handles, its window shown
    // with showCommand, and does not wait for it.
    virtual LaunchResult LaunchDetached(const std::string& commandLine,
                                        std::int32_t showCommand) = 0;
};

}  // namespace tunlatch
