#pragma once
// Fetches the vendor's DevCon archive, extracts it and installs beside the program the build
// that fits the machine, with its licence text, which it then opens for the user.
#include "run/run.h"

namespace tunlatch {

// Reports through the run log and what it installs; a failing step ends only that step.
void DownloadDevcon(Run& run);

}  // namespace tunlatch
