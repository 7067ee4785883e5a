#pragma once
// What every step of a run works with: the run context, the system modules and the run log.
#include "run/run_context.h"
#include "run/run_log.h"
#include "run/system_modules.h"

namespace tunlatch {

struct Run {
    const RunContext& ctx;
    SystemModules& sys;
    RunLog& log;
};

}  // namespace tunlatch
