#pragma once
// What is fixed about the two outside programs the switch drives: the VPN client (service,
// registry values, UI program, virtual adapter) and Microsoft's Device Console, devcon.exe.
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

// Device Console.
inline constexpr const char* kDevconExe = "devcon.exe";
inline constexpr std::uint64_t kDevconX86Size = 55808;
inline constexpr std::uint64_t kDevconIa64Size = 92672;
inline constexpr std::uint64_t kDevconArchiveSize = 79024;
inline constexpr const char* kDevconStatusEnabled = "Driver is running";
inline constexpr const char* kDevconStatusDisabled = "Device is disabled";
inline constexpr const char* kDevconEnabled = ": Enabled";
inline constexpr const char* kDevconDisabled = ": Disabled";

// The vendor's DevCon archive. Its original address,
// http://download.microsoft.com/download/1/1/f/11f7dd10-272d-4cd2-896f-9ce67f3e0240/devcon.exe ,
// is retired; the preserved copy of the same archive is served over https.
inline constexpr const char* kDevconArchiveUrl =
    "https://web.archive.org/web/20050322060636id_/http://download.microsoft.com/download/1/1/f/"
    "11f7dd10-272d-4cd2-896f-9ce67f3e0240/devcon.exe";
// The vendor's support article about DevCon, opened when the user declines the download.
inline constexpr const char* kDevconSupportUrl = "https://support.microsoft.com/kb/311272/en-us";

}  // namespace tunlatch::outside
