#pragma once
// The program's own name and the files it keeps beside itself.

namespace tunlatch {

inline constexpr const char* kProgramName = "Tunlatch";
inline constexpr const char* kLogFileName = "tunlatch.log";
inline constexpr const char* kSettingsFileName = "tunlatch.ini";
// Info-ZIP's library, which the DevCon download loads from the program folder.
inline constexpr const char* kZipLibraryName = "unzip32.dll";
// DevCon's licence text, installed with it.
inline constexpr const char* kDevconLicenceName = "devcon_eula.txt";
// Where a switch-off keeps the UI program's command line for the next switch-on.
inline constexpr const char* kUiExeSection = "DONT_CHANGE_ANYTHING_HERE";
inline constexpr const char* kUiExeKey = "uiexe";

}  // namespace tunlatch
