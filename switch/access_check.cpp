#include "switch/access_check.h"

#include <string>
#include <vector>

#include "run/devcon_check.h"
#include "run/program_files.h"
#include "run/result_texts.h"

namespace tunlatch {

void CheckWhoMayWrite(Run& run) {
    const std::string& folder = run.ctx.ProgramDir;
    std::vector<std::string> paths{folder};
    for (const char* name : {outside::kDevconExe, kSettingsFileName, kZipLibraryName})
        if (run.sys.files.FileExists(folder + name)) paths.push_back(folder + name);
    for (const std::string& path : paths) {
        const WriteAccess access = run.sys.access.WhoMayWrite(path);
        if (access == WriteAccess::OthersMayWrite) run.log.Error(WriteAccessText(access, path));
        if (access == WriteAccess::Unknown) run.log.Detail(WriteAccessText(access, path));
    }
}

}  // namespace tunlatch
