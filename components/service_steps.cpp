#include "components/service_steps.h"

#include <cmath>

#include "components/outside_components.h"
#include "components/quoted.h"

namespace tunlatch {
namespace {

// The number of polls after which the service counts as timed out. The waits are counted
// exactly in whole polls: summing 0.1 s steps in single precision lands just above the limit
// on the last poll of a whole number of polls (300 for 30 s), which is the same as reaching
// the exact count. At least one poll is always made.
std::int32_t PollLimit(float timeoutSeconds) {
    const double polls = std::round(double{timeoutSeconds} * 1000.0 / kServicePollMs);
    if (!(polls >= 1.0)) return 1;
    if (polls > 1e6) return 1000000;
    return static_cast<std::int32_t>(polls);
}

}  // namespace

void SwitchService(Run& run, bool start) {
    ServiceControl& services = run.sys.services;
    const std::string service = outside::kServiceName;
    const std::string action = start ? "Start" : "Stop";
    const std::string target = start ? "Running" : "Stopped";

    run.WriteLog(action + " service " + Quoted(service) + ": begin");
    run.WriteLog("-status: " + services.ServiceGetStatus("", service));
    if (start) {
        services.ServiceStart("", service);
        run.WriteLog("-ServiceStart API done");
    } else {
        services.ServiceStop("", service);
        run.WriteLog("-ServiceStop API done");
    }

    const std::int32_t limit = PollLimit(run.ctx.ServiceTimeout);
    std::int32_t polls = 0;
    std::string state = services.ServiceGetStatus("", service);
    for (;;) {
        run.WriteLog("-status: " + state);
        if (state == target || polls >= limit) break;
        run.sys.processes.WaitMs(kServicePollMs);
        ++polls;
        state = services.ServiceGetStatus("", service);
    }
    // The verdict looks only at the time spent, so a state reached on the very last poll still
    // reports the time-out.
    if (polls >= limit) run.WriteLog("ERROR: timeout! last state: " + state);
    run.WriteLog(action + " service: end");
}

void ChangeStartType(Run& run, bool automatic) {
    ServiceControl& services = run.sys.services;
    const std::string service = outside::kServiceName;
    const std::int32_t target = automatic ? kStartTypeAutomatic : kStartTypeOnDemand;

    run.WriteLog("Change starttype " + Quoted(service) + " to " + StartTypeName(target) +
                 ": begin ");
    const std::int32_t before = services.ServiceGetStartType("", service);
    if (before == target) {
        run.WriteLog("-status correct, skip...");
    } else {
        run.WriteLog("-status before: " + StartTypeName(before));
        services.ServiceSetStartType("", service, target);
        run.WriteLog("-ServiceSetStartType API done");
        const std::int32_t now = services.ServiceGetStartType("", service);
        run.WriteLog("-status now: " + StartTypeName(now));
        if (now != target)
            run.WriteLog("ERROR: change starttype fail! last state: " + std::to_string(now));
    }
    run.WriteLog("Change starttype: end");
}

std::string StartTypeName(std::int32_t code) {
    switch (code) {
        case 0:
            return "SERVICE_BOOT_START";
        case 1:
            return "SERVICE_SYSTEM_START";
        case 2:
            return "SERVICE_AUTO_START";
        case 3:
            return "SERVICE_DEMAND_START";
        case 4:
            return "SERVICE_DISABLED";
        default:
            return "UNKNOWN!";
    }
}

}  // namespace tunlatch
