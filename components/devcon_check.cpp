#include "components/devcon_check.h"

#include "components/outside_components.h"
#include "components/pe_machine.h"

namespace tunlatch {

std::int16_t CheckDevcon(const RunContext& ctx, FileSystem& files) {
    const std::string path = ctx.ProgramDir + outside::kDevconExe;
    if (!files.FileExists(path)) return kDevconMissing;
    const std::string& arch = ctx.OsInfo.Architecture;
    if (arch == "x86")
        return files.FileLength(path) == outside::kDevconX86Size ? kDevconRight : kDevconWrongBuild;
    // The archive's 92,672-byte build for this slot is the Itanium one, which x64 Windows cannot
    // run; only the machine word tells an x64 build apart.
    if (arch == "x64")
        return ReadPeMachine(files, path) == kMachineAmd64 ? kDevconRight : kDevconWrongBuild;
    return kDevconNoBuildForArch;
}

}  // namespace tunlatch
