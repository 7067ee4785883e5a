#pragma once
// What the start-up needs to know about the running program itself.
#include <optional>
#include <string>

namespace tunlatch {

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
    // The folder of the program file, as Windows reports it.
    virtual std::string ProgramFolder() = 0;
    virtual VersionNumbers ProgramVersion() = 0;
    // 64 for the x64 build, 32 for the x86 one, whatever Windows it runs on.
    virtual unsigned ProgramBits() = 0;
    virtual std::optional<std::string> EnvironmentVariable(const std::string& name) = 0;
};

}  // namespace tunlatch
