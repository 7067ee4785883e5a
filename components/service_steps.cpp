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

PartState PartOf(const Result<ServiceStatus>& state) {
    if (state && *state == ServiceStatus::Running) return PartState::On;
    if (state && *state == ServiceStatus::Stopped) return PartState::Off;
    return PartState::Unknown;
}

// A request refused because the service is already where it was sent has done its job.
bool Refused(const Result<>& request, bool start) {
    return !request && request.error().code != (start ? kServiceAlreadyRunning : kServiceNotActive);
}

// Polls until the service reaches target or the run's time-out; the last state read.
Result<ServiceStatus> AwaitState(Run& run, ServiceStatus target) {
    const std::int32_t limit = PollLimit(run.ctx.ServiceTimeout);
    std::int32_t polls = 0;
    Result<ServiceStatus> state = run.sys.services.ServiceGetStatus(outside::kServiceName);
    for (;;) {
        run.log.Detail("status: " + ServiceStatusText(state));
        if ((state && *state == target) || polls >= limit) break;
        run.sys.processes.WaitMs(kServicePollMs);
        ++polls;
        state = run.sys.services.ServiceGetStatus(outside::kServiceName);
    }
    // The verdict goes by the polls spent (see the README's notes on compatibility).
    if (polls >= limit) run.log.Error("timeout! last state: " + ServiceStatusText(state));
    return state;
}

}  // namespace

PartState SwitchService(Run& run, bool start) {
    ServiceControl& services = run.sys.services;
    const std::string service = outside::kServiceName;
    const std::string action = start ? "Start" : "Stop";
    const std::string call = start ? "ServiceStart" : "ServiceStop";

    const ServiceStatus target = start ? ServiceStatus::Running : ServiceStatus::Stopped;

    run.log.Main(action + " service " + Quoted(service) + ": begin");
    Result<ServiceStatus> state = services.ServiceGetStatus(service);
    run.log.Detail("status: " + ServiceStatusText(state));
    if (state && *state == target) {
        // Only "on" and "off" find it so: the toggle chose the direction by this state.
        run.log.Detail("status correct, skip...");
        run.log.Main(action + " service: end");
        return PartOf(state);
    }
    const Result<> request = start ? services.ServiceStart(service) : services.ServiceStop(service);
    if (Refused(request, start)) {
        run.log.Error(CallFailedText(call, request.error()));
    } else {
        run.log.Detail(call + " API done");
        state = AwaitState(run, target);
    }
    run.log.Main(action + " service: end");
    return PartOf(state);
}

void ChangeStartType(Run& run, bool automatic) {
    ServiceControl& services = run.sys.services;
    const std::string service = outside::kServiceName;
    const StartType target = automatic ? StartType::Automatic : StartType::OnDemand;

    run.log.Main("Change starttype " + Quoted(service) + " to " + StartTypeName(target) +
                 ": begin ");
    const Result<StartType> before = services.ServiceGetStartType(service);
    if (before && *before == target) {
        run.log.Detail("status correct, skip...");
    } else {
        run.log.Detail("status before: " + StartTypeName(before));
        if (const Result<> set = services.ServiceSetStartType(service, target); !set) {
            run.log.Error(CallFailedText("ServiceSetStartType", set.error()));
        } else {
            run.log.Detail("ServiceSetStartType API done");
            const Result<StartType> now = services.ServiceGetStartType(service);
            run.log.Detail("status now: " + StartTypeName(now));
            if (!now || *now != target)
                run.log.Error("change starttype fail! last state: " + StartTypeNumber(now));
        }
    }
    run.log.Main("Change starttype: end");
}

}  // namespace tunlatch
