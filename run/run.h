#pragma once
// What every step of a run works with: the run context, the system modules and the run log.
#include <string>

#include "run/run_context.h"
#include "run/run_log.h"
#include "run/system_modules.h"

namespace tunlatch {

struct Run {
    RunContext& ctx;
    SystemModules& sys;
    RunLog& log;

    void WriteLog(const std::string& text) { log.WriteLog(text); }
};

}  // namespace tunlatch
