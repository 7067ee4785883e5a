#pragma once
// How the icon ends a run: its last picture shows what the switching steps found, and a run that
// counted errors ends on a warning balloon, balloons wanted or not.
#include <cstdint>
#include <string>

#include "run/part_state.h"
#include "run/run.h"
#include "tray/tray_icon.h"

namespace tunlatch {

// The pause after the last picture, in milliseconds: long enough to read the balloon.
inline constexpr std::int32_t kLastIconPauseMs = 1500;

// Green only when both parts are on, red only when both are off, red and green otherwise.
TrayPicture PictureOf(PartState adapter, PartState service);

// After the switching steps: the picture of what they found, then outcome ("Hamachi started")
// as a balloon of kind, or as a warning that counts the errors.
void ShowEnd(Run& run, TrayIcon& tray, PartState adapter, PartState service,
             const std::string& outcome, BalloonKind kind);

// A run that ended before switching: a warning when it counted errors, nothing otherwise.
void ShowNotSwitched(Run& run, TrayIcon& tray);

}  // namespace tunlatch
