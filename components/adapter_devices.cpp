#include "components/adapter_devices.h"

#include <vector>

#include "components/adapter_steps.h"
#include "components/outside_components.h"
#include "run/result_texts.h"

namespace tunlatch {
namespace {

// Read as DevCon's status is read: a disabled device wins, then a running one; with neither the
// status is unknown and names each device's state.
AdapterStatus DevicesStatus(Run& run, const std::vector<Device>& devices) {
    bool running = false;
    std::string states;
    for (const Device& device : devices) {
        const DeviceState state = run.sys.devices.GetDeviceState(device.instanceId);
        if (state.kind == DeviceState::Kind::Disabled)
            return {AdapterStatus::State::Disabled, {}, {}};
        running = running || state.kind == DeviceState::Kind::Running;
        states += (states.empty() ? "" : "; ") + device.instanceId + " " + DeviceStateText(state);
    }
    if (running) return {AdapterStatus::State::Enabled, {}, {}};
    return {AdapterStatus::State::Unknown, states, {}};
}

// Every matching device is changed, as DevCon changes them all; the step succeeds only when
// each change is done without waiting for a restart.
void ChangeDevices(Run& run, bool enable, const std::vector<Device>& devices) {
    bool allDone = true;
    bool anyFailed = false;
    std::vector<std::string> restarts;
    for (const Device& device : devices) {
        const DeviceChange change = run.sys.devices.SetDeviceEnabled(device.instanceId, enable);
        allDone = allDone && change.outcome == DeviceChange::Outcome::Done;
        if (change.outcome == DeviceChange::Outcome::NeedsRestart)
            restarts.push_back(device.instanceId);
        if (change.outcome != DeviceChange::Outcome::Failed) continue;
        anyFailed = true;
        run.log.Error("device API fail! " + device.instanceId + " error " +
                      std::to_string(change.error));
    }
    if (!anyFailed) run.log.Detail("device API done");
    for (const std::string& id : restarts)
        run.log.Detail("restart needed to finish the change: " + id);
    run.log.Detail("status now: " + AdapterStatusText(DevicesStatus(run, devices)));
    if (!allDone) run.log.Error(enable ? "activation fail!" : "deactivation fail!");
    for (const Device& device : devices)
        run.log.Detail("device: " + device.instanceId +
                       (device.name.empty() ? "" : " (" + device.name + ")"));
}

}  // namespace

bool DeviceApiServes(Run& run, DevconCheck check) {
    return (check == DevconCheck::Missing || check == DevconCheck::WrongBuild) &&
           run.ctx.OsInfo.Architecture == "x64" && run.sys.host.ProgramBits() == 64 &&
           !run.sys.devices.FindDevices(outside::kAdapterMatch).empty();
}

void SwitchAdapterDevices(Run& run, bool enable, const std::string& match) {
    const std::vector<Device> devices = run.sys.devices.FindDevices(match);
    if (devices.empty()) {
        run.log.Error("no matching device found: " + match);
        return;
    }
    ChangeUnlessRight(run, DevicesStatus(run, devices), enable,
                      [&] { ChangeDevices(run, enable, devices); });
}

}  // namespace tunlatch
