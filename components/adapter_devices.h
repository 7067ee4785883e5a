#pragma once
// The adapter through Windows' device API rather than devcon.exe: the way for the 64-bit program
// on 64-bit Windows, where Microsoft's only 64-bit DevCon comes with its driver kit.
#include <string>

#include "run/devcon_check.h"
#include "run/part_state.h"
#include "run/run.h"

namespace tunlatch {

// Whether the adapter steps go through the device API: on 64-bit Windows, in the 64-bit
// program, with devcon.exe missing or of another build (check), and a device matching the
// adapter. The 32-bit program keeps DevCon: Windows refuses it device changes there.
bool DeviceApiServes(Run& run, DevconCheck check);

// The adapter step's work through the device API, logged in the shape of the DevCon way for each
// matching device: its name, its status, its change and the status after it.
PartState SwitchAdapterDevices(Run& run, bool enable, const std::string& match);

}  // namespace tunlatch
