#pragma once
// The run context: program-wide values that start-up fills once; from then on every step only
// reads them.
#include <cstdint>
#include <optional>
#include <string>

#include "system/os_info.h"

namespace tunlatch {

// What the command line asks for: the switch the service's state calls for, or one direction
// whatever the state (a script's "on" or "off", which no one may be there to answer for).
enum class Request { Toggle, On, Off };

struct RunContext {
    Request Requested = Request::Toggle;
    std::string ProgramDir;  // always ends with "\"
    // "tunlatch.tmp" in Windows' folder for temporary files; none when that is a drive's root
    // or unknown.
    std::optional<std::string> WorkFolder;
    std::string Version;  // major.minor.revision
    std::string Title;    // "Tunlatch V" + Version
    float ServiceTimeout = 30.0f;
    OsInformation OsInfo;
    bool INI_tray_icon = true;
    bool INI_balloon_tips = false;
    bool INI_on_demand = false;
    bool INI_force_uiexe = false;
    std::int16_t INI_log = 0;
    std::string INI_uiexe;
    std::string REG_uiexe;
    bool UacActive = false;
    // The files beside the program that the run may use: none that others than the
    // administrators may change (the access check at start-up decides). A missing file is as
    // trustworthy as the folder it would lie in.
    struct TrustedFiles {
        bool settings = true;
        bool devcon = true;
        bool zipLibrary = true;
    } Trusted;
    // Where DownloadDevcon fetches the DevCon archive: the fixed address of the outside
    // component facts; tests hand in a loopback address instead.
    std::string DevconArchiveUrl;
};

}  // namespace tunlatch
