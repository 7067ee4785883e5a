#pragma once
// The values Main derives at start-up from what the host and the registry report.
#include <cstdint>
#include <optional>
#include <string>

#include "run/run_context.h"
#include "system/program_host.h"

namespace tunlatch {

// The request of the command line's arguments: none toggles, "on" or "off" in any letter case,
// also after "/" or "-"; nothing for any other argument.
std::optional<Request> RequestFromArguments(const std::string& arguments);

// major.minor.revision, each in plain decimal; the build number is not shown.
std::string VersionText(const VersionNumbers& version);

// folder with exactly one "\" at its end: a drive's root keeps its own.
std::string WithTrailingBackslash(std::string folder);

// Whether every file the program keeps in programDir (which ends with "\\") has a path that the
// ANSI calls take: MAX_PATH characters with the terminating NUL. Counted in bytes, which a
// multi-byte code page only makes stricter.
bool ReachableByAnsiCalls(const std::string& programDir);

// The download's work folder "tunlatch.tmp" in Windows' folder for temporary files; none when
// there is none, or when it is not absolute or a drive's or share's root, where every user may
// create the work folder (or a link of that name) first.
std::optional<std::string> WorkFolderIn(const std::optional<std::string>& tempFolder);

// The UI command line from the installation folder read from the registry: the quoted path of
// the UI program followed by its argument; empty when there is no folder: nothing read, or a
// text that is not a full path (an empty one would name the current drive's root).
std::string UiCommandFromInstallDir(const std::optional<std::string>& folderText);

// Whether the EnableLUA text means User Account Control is on: its leading number, rounded to
// the nearest whole number (ties to even), is odd.
bool UacActiveFromText(const std::string& text);

}  // namespace tunlatch
