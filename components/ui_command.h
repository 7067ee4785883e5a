#pragma once
// The UI program's command line taken apart one way for the file check, the autorun value and
// the launch alike, so that the program checked is the program that runs.
#include <string>

namespace tunlatch {

struct UiCommand {
    std::string program;    // the program file's path, without quotes
    std::string arguments;  // all that follows it, as written
};

// A quoted program path ends at its closing quote. Unquoted, the whole command line is the path,
// blanks included, less the client's own argument at its end: never its first word, which
// Windows would try first (C:\Program for C:\Program Files\...), wherever anyone put a program.
UiCommand SplitUiCommand(const std::string& commandLine);

// The command line for Windows: the program path in quotes, then the arguments.
std::string JoinedUiCommand(const UiCommand& command);

// Whether path names its place without the current drive or folder: "C:\..." or "\\server\...".
// "\x" lies in the current drive's root, "C:x" and "x" in a current folder.
bool IsFullPath(const std::string& path);

}  // namespace tunlatch
