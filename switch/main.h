#pragma once
// The frame of every run: refuse a second copy, fill the run context, write the log header,
// show the tray icon, decide the action, run the switch sequence and close the run.
#include "switch/system_modules.h"

namespace tunlatch {

inline constexpr const char* kProgramName = "Tunlatch";
inline constexpr const char* kLogFileName = "tunlatch.log";

// The program's exit code: always 0, also for a refused second copy.
int Main(SystemModules& sys);

}  // namespace tunlatch
