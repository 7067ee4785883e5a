#pragma once
// The working half of a run: make sure devcon.exe is usable, then switch the VPN client on
// (service stopped) or off (service running) step by step.
#include <string>

#include "run/devcon_check.h"
#include "run/run.h"
#include "tray/tray_icon.h"

namespace tunlatch {

// The pauses of the sequence, in milliseconds.
inline constexpr std::int32_t kFirstIconPauseMs = 500;
inline constexpr std::int32_t kMiddlePauseMs = 1000;
inline constexpr std::int32_t kLastIconPauseMs = 1500;

// The message box text offered when devcon.exe is missing or of the wrong build.
std::string DevconOfferText(DevconCheck check);

// state is the service's state as read at start-up: Stopped switches on, Running off; tray
// shows the progress.
void SwitchSequence(Run& run, ServiceStatus state, TrayIcon& tray);

}  // namespace tunlatch
