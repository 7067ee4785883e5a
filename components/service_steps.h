#pragma once
// The steps that act on the VPN client's service: start or stop it and wait until it gets there,
// and set its start type.
#include <cstdint>
#include <string>

#include "run/run.h"

namespace tunlatch {

inline constexpr std::int32_t kStartTypeAutomatic = 2;
inline constexpr std::int32_t kStartTypeOnDemand = 3;

// Polling step while waiting for the service to reach its state.
inline constexpr std::int32_t kServicePollMs = 100;

// start true starts the service and waits for "Running", false stops it and waits for
// "Stopped", at most the run's service time-out.
void SwitchService(Run& run, bool start);

// automatic true sets the automatic start type (2), false the on-demand start type (3).
void ChangeStartType(Run& run, bool automatic);

// The log name of a start-type code; "UNKNOWN!" outside 0 to 4.
std::string StartTypeName(std::int32_t code);

}  // namespace tunlatch
