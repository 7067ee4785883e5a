#pragma once
// The steps that act on the VPN client's virtual network adapter through devcon.exe.
#include <string>

#include "run/run.h"

namespace tunlatch {

// "ENABLED", "DISABLED", or "UNKNOWN: " followed by the tool's whole output on one line.
std::string GetNetworkAdapterStatus(Run& run, const std::string& match);

// enable true enables the adapter, false disables it.
void SwitchNetworkAdapter(Run& run, bool enable);

}  // namespace tunlatch
