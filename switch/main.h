#pragma once
// The frame of every run: refuse a second copy, fill the run context, write the log header,
// show the tray icon, decide the action, run the switch sequence and close the run.
#include <string>

#include "run/program_files.h"
#include "run/system_modules.h"

namespace tunlatch {

// The program's exit code, for scripts and scheduled tasks.
enum class ExitCode {
    Clean = 0,        // switched, or found switched already, without an error
    WithErrors = 1,   // switched, and the run counted error lines (also where none are written)
    NotSwitched = 2,  // the run ended before its first switching step, whatever it logged
};

// arguments: the command line after the program's name ("on", "off" or nothing). The exit code
// as a number: ExitCode's.
int Main(SystemModules& sys, const std::string& arguments);

}  // namespace tunlatch
