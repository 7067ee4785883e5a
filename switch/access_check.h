#pragma once
// Whether others than the administrators may change what the elevated run takes from its own
// folder: DevCon and the zip library, which it runs, and the settings, whose UI command line
// it writes into the machine-wide autorun value; and the folders above, whose holders could put
// another folder in its place.
#include "run/run.h"

namespace tunlatch {

// An error line for each folder above the program folder that others may replace, and for the
// program folder and each present file that others may change; a detail line for one that
// cannot be checked. The run goes on with what it can trust: the files that others may change
// (or that lie in a folder others may change) are not used. A folder above makes nothing
// untrusted by itself, and neither does a list that cannot be read.
RunContext::TrustedFiles CheckWhoMayWrite(Run& run);

}  // namespace tunlatch
