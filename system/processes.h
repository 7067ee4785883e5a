#pragma once
// Processes and waits: child processes with captured output, pauses that keep window messages
// flowing, process liveness, shell "Open", and detached launches, by the run's own process or
// as the signed-in user.
#include <chrono>
#include <cstdint>
#include <string>
#include <variant>

#include "system/result.h"

namespace tunlatch {

// Why a child's output could not be captured. NoEndInTime: the child was still running at the
// time limit, and was left running.
enum class CaptureFailure { PipeNotCreated, NotStarted, ReadFailed, NoEndInTime };

// The child's whole standard output in arrival order, or why there is none.
using CaptureResult = std::variant<std::string, CaptureFailure>;

// Why a program was not started as the signed-in user: no desktop shell to start it from (no one
// signed in on this desktop, a shell that is not Explorer, or one not serving yet), or a start
// that failed with Windows' code although the shell was there.
struct UserStartFailure {
    enum class Kind { NoShell, Failed };
    Kind kind = Kind::NoShell;
    SystemError error;

    bool operator==(const UserStartFailure&) const = default;
};

class Processes {
public:
    virtual ~Processes() = default;
    // Runs the command line with its window hidden and waits until it ends, or until the time
    // limit is up.
    virtual CaptureResult RunCaptured(const std::string& commandLine,
                                      std::chrono::milliseconds timeLimit) = 0;
    virtual void WaitMs(std::int32_t milliseconds) = 0;
    virtual bool IsProcessActive(std::uint32_t processId) = 0;
    // Opens a file or an address with its registered program, in a normal window.
    virtual Result<> ShellOpen(const std::string& target) = 0;
    // Starts the command line as a new process that inherits no handles, its window minimized,
    // and does not wait for it; the new process's ID.
    virtual Result<std::uint32_t> LaunchDetached(const std::string& commandLine) = 0;
    // As LaunchDetached, with the token of the desktop shell's process: the program runs as the
    // signed-in user, not as the elevated run.
    virtual Result<std::uint32_t, UserStartFailure> LaunchAsUser(
        const std::string& commandLine) = 0;
    // As ShellOpen, done by the desktop shell itself, so that the program that opens the target
    // runs as the signed-in user.
    virtual Result<Done, UserStartFailure> ShellOpenAsUser(const std::string& target) = 0;
};

}  // namespace tunlatch
