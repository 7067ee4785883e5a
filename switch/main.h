#pragma once
// The frame of every run: refuse a second copy, fill the run context, write the log header,
// show the tray icon, decide the action, run the switch sequence and close the run.
#include "run/program_files.h"
#include "run/system_modules.h"

namespace tunlatch {

// The program's exit code: always 0, also for a refused second copy.
int Main(SystemModules& sys);

}  // namespace tunlatch
