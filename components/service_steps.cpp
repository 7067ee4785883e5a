#include "components/service_steps.h"

#include <cmath>

#include "components/outside_components.h"
#include "components/quoted.h"
#include "run/result_texts.h"

namespace tunlatch {
namespace {

// The number of polls after which the service counts as timed out (300 for 30 s), counted in
// whole polls so that no sum of fractions can drift.
std::int32_t PollLimit(float timeoutSeconds) {
    return static_cast<std::int32_t>(std::lround(double{timeoutSeconds} * 1000.0 / kServicePollMs));
}

}  // namespace

void SwitchService(Run& run, bool start) {
    ServiceControl& services = run.sys.services;
    const std::string service = outside::kServiceName;
    const std::string action = start ? "Start" : "Stop";
    const ServiceStatus target = start ? ServiceStatus::Running : ServiceStatus::Stopped;

    run.log.Main(action + " service " + Quoted(service) + ": begin");
    run.log.Detail("status: " + ServiceStatusText(services.ServiceGetStatus(service)));
    if (start) {
        services.ServiceStart(service);
        run.log.Detail("ServiceStart API done");
    } else {
        services.ServiceStop(service);
        run.log.Detail("ServiceStop API done");
    }

    const std::int32_t limit = PollLimit(run.ctx.ServiceTimeout);
    std::int32_t polls = 0;
    ServiceStatus state = services.ServiceGetStatus(service);
    for (;;) {
        run.log.Detail("status: " + ServiceStatusText(state));
        if (state == target || polls >= limit) break;
        run.sys.processes.WaitMs(kServicePollMs);
        ++polls;
        state = services.ServiceGetStatus(service);
    }
    // The verdict goes by the polls spent (see the README's notes on compatibility).
    if (polls >= limit) run.log.Error("timeout! last state: " + ServiceStatusText(state));
    run.log.Main(action + " service: end");
}

void ChangeStartType(Run& run, bool automatic) {
    ServiceControl& services = run.sys.services;
    const std::string service = outside::kServiceName;
    const StartType target = automatic ? StartType::Automatic : StartType::OnDemand;

    run.log.Main("Change starttype " + Quoted(service) + " to " + StartTypeName(target) +
                 ": begin ");
    const std::optional<StartType> before = services.ServiceGetStartType(service);
    if (before == target) {
        run.log.Detail("status correct, skip...");
    } else {
        run.log.Detail("status before: " + StartTypeName(before));
        services.ServiceSetStartType(service, target);
        run.log.Detail("ServiceSetStartType API done");
        const std::optional<StartType> now = services.ServiceGetStartType(service);
        run.log.Detail("status now: " + StartTypeName(now));
        if (now != target)
            run.log.Error("change starttype fail! last state: " + StartTypeNumber(now));
    }
    run.log.Main("Change starttype: end");
}

}  // namespace tunlatch
