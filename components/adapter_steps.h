#pragma once
// The steps that act on the VPN client's virtual network adapter through devcon.exe, or through
// Windows' device API where no usable devcon.exe is there (components/adapter_devices.h).
#include <functional>
#include <optional>
#include <string>

#include "run/part_state.h"
#include "run/run.h"
#include "system/processes.h"

namespace tunlatch {

// What devcon.exe's status report says of the adapter.
struct AdapterStatus {
    enum class State { Enabled, Disabled, Unknown, DevconFailed };
    State state = State::Unknown;
    std::string output;                     // the report on one line, for an unknown state
    std::optional<CaptureFailure> failure;  // why devcon.exe gave no report
};

// "ENABLED", "DISABLED", or "UNKNOWN: " followed by the tool's whole output on one line.
std::string AdapterStatusText(const AdapterStatus& status);

// Asks devcon.exe for the status of the devices that match.
AdapterStatus GetNetworkAdapterStatus(Run& run, const std::string& match);

// Enabled is On, Disabled Off.
PartState PartOf(const AdapterStatus& status);

// The step's course once the adapter's status is known: an unknown status is an error, the
// target state is skipped, and otherwise change switches the adapter and tells what it found
// afterwards.
AdapterStatus ChangeUnlessRight(Run& run, const AdapterStatus& before, bool enable,
                                const std::function<AdapterStatus()>& change);

// The detail line of a device whose change waits for the next restart.
void LogRestartNeeded(Run& run, const std::string& instanceId);

enum class AdapterWay { Devcon, DeviceApi };

// enable true enables the adapter, false disables it; what the step found at its end.
PartState SwitchNetworkAdapter(Run& run, bool enable, AdapterWay way);

}  // namespace tunlatch
