#include "switch/access_check.h"

#include <string>
#include <vector>

#include "run/devcon_check.h"
#include "run/program_files.h"
#include "run/result_texts.h"

namespace tunlatch {
namespace {

// Where the folders above folder end: after "C:\" or after "\\server\share\".
std::size_t RootLength(const std::string& folder) {
    if (!folder.starts_with("\\\\")) return 3;
    const std::size_t share = folder.find('\\', 2);
    const std::size_t end = share == std::string::npos ? share : folder.find('\\', share + 1);
    return end == std::string::npos ? folder.size() : end + 1;
}

// The folders above folder (which ends with "\"), from its drive's or share's root down.
std::vector<std::string> FoldersAbove(const std::string& folder) {
    std::vector<std::string> above;
    const std::size_t root = RootLength(folder);
    for (std::size_t end = folder.size() - 1; end > root;) {
        end = folder.rfind('\\', end - 1);
        if (end == std::string::npos || end + 1 < root) break;
        above.insert(above.begin(), folder.substr(0, end + 1));
    }
    return above;
}

// False when others may change path.
bool Checked(Run& run, const std::string& path, AccessReach reach) {
    const WriteAccess access = run.sys.access.WhoMayWrite(path, reach);
    if (access == WriteAccess::OthersMayWrite) run.log.Error(WriteAccessText(access, path));
    if (access == WriteAccess::Unknown) run.log.Detail(WriteAccessText(access, path));
    return access != WriteAccess::OthersMayWrite;
}

// A file is as trustworthy as the folder it lies in, which others could otherwise fill.
bool FileChecked(Run& run, const std::string& name, bool folderTrusted) {
    const std::string path = run.ctx.ProgramDir + name;
    if (!run.sys.files.FileExists(path)) return folderTrusted;
    return Checked(run, path, AccessReach::Object) && folderTrusted;
}

}  // namespace

RunContext::TrustedFiles CheckWhoMayWrite(Run& run) {
    const std::string& folder = run.ctx.ProgramDir;
    for (const std::string& above : FoldersAbove(folder))
        Checked(run, above, AccessReach::Ancestor);
    const bool folderTrusted = Checked(run, folder, AccessReach::Object);
    RunContext::TrustedFiles trusted;
    trusted.devcon = FileChecked(run, outside::kDevconExe, folderTrusted);
    trusted.settings = FileChecked(run, kSettingsFileName, folderTrusted);
    trusted.zipLibrary = FileChecked(run, kZipLibraryName, folderTrusted);
    if (!trusted.settings && !run.ctx.INI_uiexe.empty())
        run.log.Detail(std::string("uiexe of ") + kSettingsFileName +
                       " not used: not only administrators may change it");
    return trusted;
}

}  // namespace tunlatch
