#pragma once
// Whether others than the administrators may change what the elevated run takes from its own
// folder: DevCon and the zip library, which it runs, and the settings, whose UI command line
// it writes into the machine-wide autorun value.
#include "run/run.h"

namespace tunlatch {

// An error line for the folder and for each present file that others may change, a detail line
// for one that cannot be checked. The run goes on: the switch is what the administrator asked.
void CheckWhoMayWrite(Run& run);

}  // namespace tunlatch
