#pragma once
// What the start-up needs to know about the running program itself.
#include <optional>
#include <string>

#include "system/result.h"

namespace tunlatch {

// Why the program has no folder to work from.
enum class FolderTrouble {
    Unknown,      // Windows names no program file
    Unspellable,  // the program's ANSI code page cannot spell the folder's path
};

struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    unsigned revision = 0;
};

class ProgramHost {
public:
    virtual ~ProgramHost() = default;
    // True when another copy of the program runs; the first copy keeps its claim until it ends.
    virtual bool AnotherCopyRunning() = 0;
    // The folder of the program file in the program's ANSI code page, up to the backslash
    // before the file's name ("C:" for a program in a drive's root).
    virtual Result<std::string, FolderTrouble> ProgramFolder() = 0;
    virtual VersionNumbers ProgramVersion() = 0;
    // Windows' folder for temporary files as it reports it (from TMP, TEMP, the user's profile
    // or the Windows folder), with its trailing backslash; nullopt when it reports none.
    virtual std::optional<std::string> TempFolder() = 0;
    // 64 for the x64 build, 32 for the x86 one, whatever Windows it runs on.
    virtual unsigned ProgramBits() = 0;
};

}  // namespace tunlatch
