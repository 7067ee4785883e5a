#include "provisioning/download_devcon.h"

#include <optional>
#include <string>

#include "provisioning/devcon_archive.h"
#include "run/devcon_check.h"
#include "run/open_for_user.h"
#include "run/pe_machine.h"
#include "run/program_files.h"
#include "run/result_texts.h"
#include "system/files.h"

namespace tunlatch {

namespace {

struct Paths {
    std::string work;
    std::string archive;
    std::string dll;
    std::string x86Member;
    std::string otherMember;
    std::string licence;
    std::string chosenMember;
    std::string stagedTool;
    std::string installedTool;
    std::string installedLicence;
};

Paths MakePaths(const RunContext& ctx, const std::string& work) {
    const std::string memberFolder = ctx.OsInfo.Architecture == "x86" ? "\\i386" : "\\ia64";
    const std::string tool = ctx.ProgramDir + outside::kDevconExe;
    return Paths{work,
                 work + "\\devcon.exe",
                 ctx.ProgramDir + kZipLibraryName,
                 work + "\\i386\\devcon.exe",
                 work + "\\ia64\\devcon.exe",
                 work + "\\eula.txt",
                 work + memberFolder + "\\devcon.exe",
                 tool + ".new",
                 tool,
                 ctx.ProgramDir + kDevconLicenceName};
}

// A fresh, empty work folder; false (with an error line) when there is none to be had. What lies
// in its place, a link included, is removed first: a link's target is never touched, and a link
// that cannot be removed leaves the folder unused.
bool MakeWorkFolder(Run& run) {
    const std::optional<std::string>& work = run.ctx.WorkFolder;
    if (!work) {
        run.log.Error("work folder fail! no temporary folder");
        return false;
    }
    // A file of that name may be an earlier run's remnant or anyone's: it goes, but not unsaid.
    if (run.sys.files.FileExists(*work))
        run.log.Detail("file removed from the work folder's place: " + *work);
    // Creating fails when something took the place again since the removal.
    if (run.sys.files.DeleteTree(*work) && run.sys.files.CreateFolder(*work)) return true;
    run.log.Error("work folder fail! " + *work);
    return false;
}

// False when the procedure ends here: nothing arrived, or not the archive's length.
bool Fetch(Run& run, const Paths& paths) {
    FileSystem& files = run.sys.files;
    const Result<> delivered =
        run.sys.download.UrlDownloadToFile(run.ctx.DevconArchiveUrl, paths.archive);
    if (!delivered) {
        run.log.Error(CallFailedText("download", delivered.error()));
        return false;
    }
    if (!files.FileExists(paths.archive)) {
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

// The library's own failure is logged as such; the member check below still judges the files,
// as a library may report success and still leave out a member, and it is what the install
// relies on.
void Extract(Run& run, const Paths& paths) {
    FileSystem& files = run.sys.files;
    if (!files.FileExists(paths.dll)) {
        run.log.Error("unzip32.dll not found!");
    } else if (!run.ctx.Trusted.zipLibrary) {
        run.log.Error("unzip32.dll not loaded: not only administrators may change it");
    } else if (const auto unzipped = run.sys.zip.UnzipArchive(paths.archive, paths.work);
               !unzipped) {
        run.log.Error(ZipFailureText(unzipped.error()));
    }

    if (files.FileExists(paths.x86Member) && files.FileExists(paths.otherMember) &&
        files.FileExists(paths.licence)) {
        if (files.FileLength(paths.x86Member) == outside::kDevconX86Size &&
            files.FileLength(paths.otherMember) == outside::kDevconIa64Size)
            run.log.Detail("unzip successfully");
    } else {
        run.log.Error("unzip fail!");
    }
}

// A write refused for the file's name being a link gets its error line; other failures show in
// the check that follows.
bool Written(Run& run, const Result<>& result, const std::string& path) {
    if (!result && IsWriteRefused(result.error())) run.log.Error(WriteRefusedText(path));
    return result.ok();
}

void Install(Run& run, const Paths& paths) {
    FileSystem& files = run.sys.files;
    // The member is checked as a copy in the program folder, where no user process can swap it
    // after the check, under a name of its own: a build for another processor (the archive's
    // "ia64" member is no x64 build) must not replace whatever the user had. A staged copy that
    // was not written is not deleted either: its name may be someone's link.
    const std::optional<std::uint16_t> wanted = MachineForArchitecture(run.ctx.OsInfo.Architecture);
    if (wanted && files.FileExists(paths.chosenMember) &&
        Written(run, files.CopyFileTo(paths.chosenMember, paths.stagedTool), paths.stagedTool)) {
        if (ReadPeMachine(files, paths.stagedTool) != wanted ||
            !Written(run, files.MoveFileTo(paths.stagedTool, paths.installedTool),
                     paths.installedTool))
            files.DeleteTree(paths.stagedTool);
    }
    if (files.FileExists(paths.licence))
        Written(run, files.CopyFileTo(paths.licence, paths.installedLicence),
                paths.installedLicence);

    if (CheckDevcon(run.ctx, files) == DevconCheck::Right) {
        run.log.Detail("filecopy successfully");
        if (files.FileExists(paths.installedLicence)) OpenForUser(run, paths.installedLicence);
    } else {
        run.log.Error("filecopy fail!");
    }
}

}  // namespace

void DownloadDevcon(Run& run) {
    run.log.Main("Download devcon.exe: begin");
    if (MakeWorkFolder(run)) {
        const Paths paths = MakePaths(run.ctx, *run.ctx.WorkFolder);
        if (Fetch(run, paths)) {
            Extract(run, paths);
            Install(run, paths);
            run.sys.files.DeleteTree(paths.work);
        }
    }
    run.log.Main("Download devcon.exe: end");
}

}  // namespace tunlatch
