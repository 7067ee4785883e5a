#pragma once
// The steps for the VPN client's UI program: launching it after a switch-on, and its autorun
// value that starts it at logon.
#include <string>

#include "run/run.h"

namespace tunlatch {

// The UI command line in force: the one from the settings file wins over the registry's.
std::string UiCommandLine(const RunContext& context);

// Launches the UI program when a cause applies (forced by the settings, or User Account
// Control); start only chooses the words of the log lines.
void SwitchUiExe(Run& run, bool start);

// add true makes the autorun value present, false removes it.
void SwitchRegistryAutorun(Run& run, bool add);

}  // namespace tunlatch
