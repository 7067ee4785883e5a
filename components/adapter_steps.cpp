#include "components/adapter_steps.h"

#include <chrono>
#include <sstream>
#include <vector>

#include "components/adapter_devices.h"
#include "components/outside_components.h"
#include "components/quoted.h"
#include "run/devcon_check.h"
#include "run/result_texts.h"

namespace tunlatch {
namespace {

// A driver restart takes DevCon seconds; one that runs for a minute is not coming back, and the
// run must not wait for it with the single-instance lock held.
constexpr std::chrono::seconds kDevconTimeLimit{60};

// Runs devcon.exe from the program folder, never from the search path.
CaptureResult RunDevcon(Run& run, const std::string& verb, const std::string& match) {
    const std::string command =
        Quoted(run.ctx.ProgramDir + outside::kDevconExe) + " " + verb + " " + Quoted(match);
    return run.sys.processes.RunCaptured(command, kDevconTimeLimit);
}

bool Contains(const std::string& text, const char* phrase) {
    return text.find(phrase) != std::string::npos;
}

std::string FailureText(CaptureFailure failure) {
    return CaptureFailureText(outside::kDevconExe, failure, kDevconTimeLimit);
}

// The devices whose change DevCon's output puts off until the next restart, each named by the
// instance ID before the colon on its line.
std::vector<std::string> DeferredDevices(const std::string& output) {
    std::vector<std::string> ids;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!Contains(line, outside::kDevconOnReboot)) continue;
        std::string id = line.substr(0, line.find(':'));
        id.erase(id.find_last_not_of(" \t\r") + 1);
        ids.push_back(id);
    }
    return ids;
}

// Changes the adapter and reports on it; the tool's own answer is the verdict, the second
// status is only reported. A change put off until the next restart is not done.
AdapterStatus ChangeAdapter(Run& run, bool enable, const std::string& match) {
    const CaptureResult result = RunDevcon(run, enable ? "enable" : "disable", match);
    const auto* output = std::get_if<std::string>(&result);
    const auto* failure = std::get_if<CaptureFailure>(&result);
    const std::vector<std::string> deferred =
        output ? DeferredDevices(*output) : std::vector<std::string>();
    if (output)
        run.log.Detail("devcon.exe done");
    else
        run.log.Error(FailureText(*failure));
    for (const std::string& id : deferred) LogRestartNeeded(run, id);
    // A change that may still be under way has no verdict, and a second DevCon would only wait
    // for the first.
    if (failure && *failure == CaptureFailure::NoEndInTime) return {};
    const AdapterStatus now = GetNetworkAdapterStatus(run, match);
    if (now.failure == CaptureFailure::NoEndInTime)
        run.log.Error(AdapterStatusText(now));
    else
        run.log.Detail("status now: " + AdapterStatusText(now));
    const char* success = enable ? outside::kDevconEnabled : outside::kDevconDisabled;
    if (!output || !Contains(*output, success) || !deferred.empty())
        run.log.Error(enable ? "activation fail!" : "deactivation fail!");
    if (output) run.log.Detail("devcon.exe output: " + *output);
    return now;
}

}  // namespace

std::string AdapterStatusText(const AdapterStatus& status) {
    switch (status.state) {
        case AdapterStatus::State::Enabled:
            return "ENABLED";
        case AdapterStatus::State::Disabled:
            return "DISABLED";
        case AdapterStatus::State::DevconFailed:
            return FailureText(*status.failure);
        case AdapterStatus::State::Unknown:
            break;
    }
    return "UNKNOWN: " + status.output;
}

AdapterStatus GetNetworkAdapterStatus(Run& run, const std::string& match) {
    const CaptureResult result = RunDevcon(run, "status", match);
    if (const auto* failure = std::get_if<CaptureFailure>(&result))
        return {AdapterStatus::State::DevconFailed, {}, *failure};
    const std::string& output = std::get<std::string>(result);
    // A disabled device wins when both phrases occur.
    if (Contains(output, outside::kDevconStatusDisabled))
        return {AdapterStatus::State::Disabled, {}, {}};
    if (Contains(output, outside::kDevconStatusEnabled))
        return {AdapterStatus::State::Enabled, {}, {}};
    return {AdapterStatus::State::Unknown, output, {}};
}

PartState PartOf(const AdapterStatus& status) {
    if (status.state == AdapterStatus::State::Enabled) return PartState::On;
    if (status.state == AdapterStatus::State::Disabled) return PartState::Off;
    return PartState::Unknown;
}

AdapterStatus ChangeUnlessRight(Run& run, const AdapterStatus& before, bool enable,
                                const std::function<AdapterStatus()>& change) {
    const auto target = enable ? AdapterStatus::State::Enabled : AdapterStatus::State::Disabled;
    if (before.state != AdapterStatus::State::Enabled &&
        before.state != AdapterStatus::State::Disabled) {
        run.log.Error(AdapterStatusText(before));
        return before;
    }
    if (before.state == target) {
        run.log.Detail("status correct, skip...");
        return before;
    }
    run.log.Detail("status before: " + AdapterStatusText(before));
    return change();
}

void LogRestartNeeded(Run& run, const std::string& instanceId) {
    run.log.Detail("restart needed to finish the change: " + instanceId);
}

PartState SwitchNetworkAdapter(Run& run, bool enable, AdapterWay way) {
    const std::string match = outside::kAdapterMatch;
    const std::string action = enable ? "Enable" : "Disable";

    run.log.Main(action + " network adapter " + Quoted(match) + ": begin");
    PartState found = PartState::Unknown;
    if (way == AdapterWay::DeviceApi) {
        found = SwitchAdapterDevices(run, enable, match);
    } else if (const DevconCheck devcon = CheckDevcon(run.ctx, run.sys.files);
               devcon == DevconCheck::Missing) {
        run.log.Error("devcon.exe not found!");
    } else if (devcon == DevconCheck::Untrusted) {
        run.log.Error("devcon.exe not run: not only administrators may change it");
    } else if (devcon != DevconCheck::Right) {
        run.log.Error("devcon.exe hasn't the correct version!");
    } else {
        found = PartOf(ChangeUnlessRight(run, GetNetworkAdapterStatus(run, match), enable,
                                         [&] { return ChangeAdapter(run, enable, match); }));
    }
    run.log.Main(action + " network adapter: end");
    return found;
}

}  // namespace tunlatch
