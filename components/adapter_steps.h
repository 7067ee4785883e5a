#pragma once
// The steps that act on the VPN client's virtual network adapter through devcon.exe.
#include <optional>
#include <string>

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

// enable true enables the adapter, false disables it.
void SwitchNetworkAdapter(Run& run, bool enable);

}  // namespace tunlatch
