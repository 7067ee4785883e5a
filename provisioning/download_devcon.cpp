#include "provisioning/download_devcon.h"

#include <optional>
#include <string>

#include "provisioning/devcon_archive.h"
#include "run/devcon_check.h"
#include "run/pe_machine.h"
#include "run/program_files.h"

namespace tunlatch {

namespace {

struct Paths {
    std::string archive;
    std::string dll;
    std::string x86Member;
    std::string otherMember;
    std::string licence;
    std::string chosenMember;
    std::string installedTool;
    std::string installedLicence;
};

Paths MakePaths(const RunContext& ctx) {
    const std::string& work = ctx.WorkFolder;
    const std::string memberFolder = ctx.OsInfo.Architecture == "x86" ? "\\i386" : "\\ia64";
    return Paths{work + "\\devcon.exe",
                 ctx.ProgramDir + kZipLibraryName,
                 work + "\\i386\\devcon.exe",
                 work + "\\ia64\\devcon.exe",
                 work + "\\eula.txt",
                 work + memberFolder + "\\devcon.exe",
                 ctx.ProgramDir + outside::kDevconExe,
                 ctx.ProgramDir + "devcon_eula.txt"};
}

void RemoveWorkFolder(Run& run) {
    if (run.sys.files.FolderExists(run.ctx.WorkFolder))
        run.sys.files.ShellDelete(run.ctx.WorkFolder);
}

// False when the procedure ends here: nothing arrived, or not the archive's length.
bool Fetch(Run& run, const Paths& paths) {
    FileSystem& files = run.sys.files;
    RemoveWorkFolder(run);
    files.CreateFolder(run.ctx.WorkFolder);
    const bool delivered =
        run.sys.download.UrlDownloadToFile(run.ctx.DevconArchiveUrl, paths.archive);
    if (!delivered || !files.FileExists(paths.archive)) {
        run.log.Error("download fail!");
        return false;
    }
    if (files.FileLength(paths.archive) != outside::kDevconArchiveSize) {
        run.log.Error("download fail, devcon.exe corrupt!");
        return false;
    }
    run.log.Detail("download successfully");
    return true;
}

void Extract(Run& run, const Paths& paths) {
    FileSystem& files = run.sys.files;
    if (files.FileExists(paths.dll))
        run.sys.zip.UnzipArchive(paths.archive, run.ctx.WorkFolder);
    else
        run.log.Error("unzip32.dll not found!");

    if (files.FileExists(paths.x86Member) && files.FileExists(paths.otherMember) &&
        files.FileExists(paths.licence)) {
        if (files.FileLength(paths.x86Member) == outside::kDevconX86Size &&
            files.FileLength(paths.otherMember) == outside::kDevconIa64Size)
            run.log.Detail("unzip successfully");
    } else {
        run.log.Error("unzip fail!");
    }
}

void Install(Run& run, const Paths& paths) {
    FileSystem& files = run.sys.files;
    // A member built for another processor would replace whatever the user had with a tool
    // that cannot start (the archive's "ia64" member is no x64 build), so it is left out.
    const std::optional<std::uint16_t> wanted = MachineForArchitecture(run.ctx.OsInfo.Architecture);
    if (files.FileExists(paths.chosenMember) && wanted &&
        ReadPeMachine(files, paths.chosenMember) == wanted)
        files.CopyFileTo(paths.chosenMember, paths.installedTool);
    if (files.FileExists(paths.licence)) files.CopyFileTo(paths.licence, paths.installedLicence);

    if (CheckDevcon(run.ctx, files) == DevconCheck::Right) {
        run.log.Detail("filecopy successfully");
        if (files.FileExists(paths.installedLicence))
            run.sys.processes.ShellOpen(paths.installedLicence);
    } else {
        run.log.Error("filecopy fail!");
    }
}

}  // namespace

void DownloadDevcon(Run& run) {
    const Paths paths = MakePaths(run.ctx);
    run.log.Main("Download devcon.exe: begin");
    if (Fetch(run, paths)) {
        Extract(run, paths);
        Install(run, paths);
        RemoveWorkFolder(run);
    }
    run.log.Main("Download devcon.exe: end");
}

}  // namespace tunlatch
