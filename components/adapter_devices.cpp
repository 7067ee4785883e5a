#include "components/adapter_devices.h"

#include <vector>

#include "components/adapter_steps.h"
#include "components/outside_components.h"
#include "run/result_texts.h"

namespace tunlatch {
namespace {

// A device's state in the words of DevCon's status report.
AdapterStatus StatusOf(const Device& device, const Result<DeviceState>& state) {
    if (state && state->kind == DeviceState::Kind::Running)
        return {AdapterStatus::State::Enabled, {}, {}};
    if (state && state->kind == DeviceState::Kind::Disabled)
        return {AdapterStatus::State::Disabled, {}, {}};
    return {AdapterStatus::State::Unknown, device.instanceId + " " + DeviceStateText(state), {}};
}

// The change is done only when it needs no restart; the state read afterwards is reported.
AdapterStatus ChangeDevice(Run& run, bool enable, const Device& device) {
    const Result<DeviceChange> change = run.sys.devices.SetDeviceEnabled(device.instanceId, enable);
    if (!change) {
        run.log.Error("device API fail! " + device.instanceId + " error " +
                      SystemErrorCode(change.error()));
    } else {
        run.log.Detail("device API done");
        if (*change == DeviceChange::NeedsRestart) LogRestartNeeded(run, device.instanceId);
    }
    const AdapterStatus now = StatusOf(device, run.sys.devices.GetDeviceState(device.instanceId));
    run.log.Detail("status now: " + AdapterStatusText(now));
    if (!change || *change != DeviceChange::Done)
        run.log.Error(enable ? "activation fail!" : "deactivation fail!");
    return now;
}

// Each device on its own: one already right is skipped, the others changed.
PartState SwitchDevice(Run& run, bool enable, const Device& device) {
    run.log.Detail("device: " + device.instanceId +
                   (device.name.empty() ? "" : " (" + device.name + ")"));
    const AdapterStatus before =
        StatusOf(device, run.sys.devices.GetDeviceState(device.instanceId));
    return PartOf(
        ChangeUnlessRight(run, before, enable, [&] { return ChangeDevice(run, enable, device); }));
}

}  // namespace

bool DeviceApiServes(Run& run, DevconCheck check) {
    if (check == DevconCheck::Right || check == DevconCheck::NoBuildForArch) return false;
    if (run.ctx.OsInfo.Architecture != "x64" || run.sys.host.ProgramBits() != 64) return false;
    const Result<std::vector<Device>> devices = run.sys.devices.FindDevices(outside::kAdapterMatch);
    return devices && !devices->empty();
}

PartState SwitchAdapterDevices(Run& run, bool enable, const std::string& match) {
    const Result<std::vector<Device>> devices = run.sys.devices.FindDevices(match);
    if (!devices) {
        run.log.Error("device API fail! error " + SystemErrorCode(devices.error()));
        return PartState::Unknown;
    }
    if (devices->empty()) {
        run.log.Error("no matching device found: " + match);
        return PartState::Unknown;
    }
    // The adapter is on or off only when every one of its devices is.
    bool allOn = true;
    bool allOff = true;
    for (const Device& device : *devices) {
        const PartState found = SwitchDevice(run, enable, device);
        allOn = allOn && found == PartState::On;
        allOff = allOff && found == PartState::Off;
    }
    if (allOn) return PartState::On;
    return allOff ? PartState::Off : PartState::Unknown;
}

}  // namespace tunlatch
