#pragma once
// The steps that act on the VPN client's service: start or stop it and wait until it gets there,
// and set its start type.
#include <cstdint>

#include "run/part_state.h"
#include "run/run.h"

namespace tunlatch {

// Polling step while waiting for the service to reach its state.
inline constexpr std::int32_t kServicePollMs = 100;

// start true starts the service and waits for "Running", false stops it and waits for
// "Stopped", at most the run's service time-out. A request that Windows refuses is not waited
// for. Running is On, Stopped Off.
PartState SwitchService(Run& run, bool start);

// automatic true sets the automatic start type, false the on-demand start type.
void ChangeStartType(Run& run, bool automatic);

}  // namespace tunlatch
