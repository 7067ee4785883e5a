#pragma once
// What is fixed about the VPN client (service, registry values, UI program, virtual adapter) and
// the phrases by which Microsoft's Device Console, devcon.exe, reports on the adapter.
#include <cstdint>

namespace tunlatch::outside {

// The VPN client.
inline constexpr const char* kServiceName = "Hamachi2Svc";
inline constexpr const char* kInstallDirKey = "Software\\LogMeIn Hamachi";
inline constexpr const char* kInstallDirValue = "InstallDir";
inline constexpr const char* kUiExeName = "hamachi-2-ui.exe";
inline constexpr const char* kUiExeArgument = " --auto-start";
inline constexpr const char* kAutorunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kAutorunValue = "LogMeIn Hamachi Ui";
inline constexpr const char* kAdapterMatch = "hamachi";

// Windows' User Account Control switch.
inline constexpr const char* kPolicySystemKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char* kEnableLuaValue = "EnableLUA";

// Device Console's phrases (its program file and builds are the run core's, run/devcon_check.h).
inline constexpr const char* kDevconStatusEnabled = "Driver is running";
inline constexpr const char* kDevconStatusDisabled = "Device is disabled";
inline constexpr const char* kDevconEnabled = ": Enabled";
inline constexpr const char* kDevconDisabled = ": Disabled";
// Ends the line of a device whose class installer put the change off until the next restart.
inline constexpr const char* kDevconOnReboot = "on reboot";

}  // namespace tunlatch::outside
