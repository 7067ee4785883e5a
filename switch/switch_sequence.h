#pragma once
// The working half of a run: make sure the adapter can be switched, then switch the VPN client on
// or off step by step, and show how it ended.
#include <cstdint>

#include "run/run.h"
#include "system/result.h"
#include "system/service_control.h"
#include "tray/tray_icon.h"

namespace tunlatch {

// The pauses of the sequence, in milliseconds (the last one is the tray's end notice's).
inline constexpr std::int32_t kFirstIconPauseMs = 500;
inline constexpr std::int32_t kMiddlePauseMs = 1000;

// Whether the run switches off: as the command line asks, or, toggling, when the service runs.
// Every state but Running toggles to START, also those the sequence then refuses.
bool SwitchesOff(Request request, const Result<ServiceStatus>& state);

// Whether the run got as far as its first switching step.
enum class SequenceEnd { NotSwitched, Switched };

// state is the service's state as read at start-up: Stopped switches on, Running off (or the
// direction the command line asks for), anything else nothing; tray shows the progress and, at
// the end, what the steps found.
SequenceEnd SwitchSequence(Run& run, const Result<ServiceStatus>& state, TrayIcon& tray);

}  // namespace tunlatch
