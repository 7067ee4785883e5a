#include "run/devcon_check.h"

#include "run/pe_machine.h"

namespace tunlatch {

DevconCheck CheckDevcon(const RunContext& ctx, FileSystem& files) {
    const std::string path = ctx.ProgramDir + outside::kDevconExe;
    if (!files.FileExists(path)) return DevconCheck::Missing;
    if (!ctx.Trusted.devcon) return DevconCheck::Untrusted;
    const std::string& arch = ctx.OsInfo.Architecture;
    if (arch == "x86")
        return files.FileLength(path) == outside::kDevconX86Size ? DevconCheck::Right
                                                                 : DevconCheck::WrongBuild;
    // The archive's 92,672-byte build for this slot is the Itanium one, which x64 Windows cannot
    // run; only the machine word tells an x64 build apart.
    if (arch == "x64")
        return ReadPeMachine(files, path) == kMachineAmd64 ? DevconCheck::Right
                                                           : DevconCheck::WrongBuild;
    return DevconCheck::NoBuildForArch;
}

}  // namespace tunlatch
