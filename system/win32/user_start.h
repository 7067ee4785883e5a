#pragma once
// Programs started for the signed-in user from the elevated run: through the desktop shell's
// token, or by the desktop shell itself.
#include <windows.h>

#include <cstdint>
#include <string>

#include "system/processes.h"

namespace tunlatch::win32 {

// Starts the command line (in the ANSI code page) with a primary copy of the token of the
// process that owns window, its window minimized, inheriting no handles; the new process's ID.
// NoShell when there is no window or it has no process.
Result<std::uint32_t, UserStartFailure> LaunchWithTokenOf(HWND window,
                                                          const std::string& commandLine);

// Hands the target to the ShellExecute of the desktop shell's own dispatch object, so that the
// shell's process opens it in a normal window. The thread must be in a COM apartment. NoShell
// when no shell serves its windows or it has no desktop among them; past that every failure is
// the shell's and comes with its HRESULT (the hand-off itself is asynchronous: a target that
// cannot be opened is the shell's to report).
Result<Done, UserStartFailure> OpenThroughDesktopShell(const std::string& target);

}  // namespace tunlatch::win32
