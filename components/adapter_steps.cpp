#include "components/adapter_steps.h"

#include <chrono>

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

// Changes the adapter and reports on it; the tool's own answer is the verdict, the second
// status is only reported.
void ChangeAdapter(Run& run, bool enable, const std::string& match) {
    const CaptureResult result = RunDevcon(run, enable ? "enable" : "disable", match);
    const auto* output = std::get_if<std::string>(&result);
    const auto* failure = std::get_if<CaptureFailure>(&result);
    if (output)
        run.log.Detail("devcon.exe done");
    else
        run.log.Error(FailureText(*failure));
    // A change that may still be under way has no verdict, and a second DevCon would only wait
    // for the first.
    if (failure && *failure == CaptureFailure::NoEndInTime) return;
    const AdapterStatus now = GetNetworkAdapterStatus(run, match);
    if (now.failure == CaptureFailure::NoEndInTime)
        run.log.Error(AdapterStatusText(now));
    else
        run.log.Detail("status now: " + AdapterStatusText(now));
    const char* success = enable ? outside::kDevconEnabled : outside::kDevconDisabled;
    if (!output || !Contains(*output, success))
        run.log.Error(enable ? "activation fail!" : "deactivation fail!");
    if (output) run.log.Detail("devcon.exe output: " + *output);
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

void ChangeUnlessRight(Run& run, const AdapterStatus& before, bool enable,
                       const std::function<void()>& change) {
    const auto target = enable ? AdapterStatus::State::Enabled : AdapterStatus::State::Disabled;
    if (before.state != AdapterStatus::State::Enabled &&
        before.state != AdapterStatus::State::Disabled) {
        run.log.Error(AdapterStatusText(before));
    } else if (before.state == target) {
        run.log.Detail("status correct, skip...");
    } else {
        run.log.Detail("status before: " + AdapterStatusText(before));
        change();
    }
}

void SwitchNetworkAdapter(Run& run, bool enable, AdapterWay way) {
    const std::string match = outside::kAdapterMatch;
    const std::string action = enable ? "Enable" : "Disable";

    run.log.Main(action + " network adapter " + Quoted(match) + ": begin");
    if (way == AdapterWay::DeviceApi) {
        SwitchAdapterDevices(run, enable, match);
    } else if (const DevconCheck devcon = CheckDevcon(run.ctx, run.sys.files);
               devcon == DevconCheck::Missing) {
        run.log.Error("devcon.exe not found!");
    } else if (devcon != DevconCheck::Right) {
        run.log.Error("devcon.exe hasn't the correct version!");
    } else {
        ChangeUnlessRight(run, GetNetworkAdapterStatus(run, match), enable,
                          [&] { ChangeAdapter(run, enable, match); });
    }
    run.log.Main(action + " network adapter: end");
}

}  // namespace tunlatch
