#include "switch/main.h"

#include "components/outside_components.h"
#include "components/reg_value_text.h"
#include "provisioning/devcon_archive.h"
#include "run/result_texts.h"
#include "run/run.h"
#include "switch/access_check.h"
#include "switch/settings.h"
#include "switch/startup_rules.h"
#include "switch/switch_sequence.h"
#include "tray/tray_icon.h"

namespace tunlatch {
namespace {

constexpr const char* kMoveText =
    " Nothing has been switched.\r\n\r\n"
    "Move tunlatch.exe and its files to a folder such as C:\\Program Files\\Tunlatch\\ and "
    "start it from there.";

constexpr const char* kFolderNotSpelledText =
    "Tunlatch cannot work from this folder: its path has characters outside the code page for "
    "non-Unicode programs of this Windows, so Tunlatch would find neither its settings nor "
    "devcon.exe.";

constexpr const char* kFolderTooLongText =
    "Tunlatch cannot work from this folder: its path is too long for the Windows calls that "
    "Tunlatch makes, so Tunlatch would find neither its settings nor devcon.exe.";

constexpr const char* kUsageText =
    "Usage: tunlatch.exe [on | off]\r\n\r\n"
    "Without an argument Tunlatch switches the VPN client on when it is off and off when it is "
    "on. With \"on\" it switches the client on, with \"off\" off, whatever its state; each step "
    "skips what is already right. Nothing has been switched.\r\n\r\n"
    "Exit codes: 0 switched, 1 switched with errors (see tunlatch.log), 2 nothing switched.";

int Code(ExitCode code) {
    return static_cast<int>(code);
}

// The folder the run works from; none when there is none Tunlatch can use, after telling the
// user why where someone may be there to read it.
std::optional<std::string> UsableProgramDir(SystemModules& sys, Request request) {
    const auto refuse = [&](const char* why) {
        if (request == Request::Toggle)
            sys.dialogs.ShowError(std::string(why) + kMoveText, kProgramName);
        return std::nullopt;
    };
    const Result<std::string, FolderTrouble> folder = sys.host.ProgramFolder();
    // Windows before 10 1903 ignores the manifest's UTF-8 code page: rather than a run that
    // finds none of its files and leaves no trace, the user is told.
    if (!folder && folder.error() == FolderTrouble::Unspellable)
        return refuse(kFolderNotSpelledText);
    if (!folder) return std::nullopt;
    const std::string programDir = WithTrailingBackslash(*folder);
    if (!ReachableByAnsiCalls(programDir)) return refuse(kFolderTooLongText);
    return programDir;
}

RunContext FillContext(SystemModules& sys, const std::string& programDir, Request request) {
    RunContext ctx;
    ctx.Requested = request;
    ctx.OsInfo = sys.os.GetOSInf();
    ctx.ProgramDir = programDir;
    ctx.WorkFolder = WorkFolderIn(sys.host.TempFolder());
    ctx.Version = VersionText(sys.host.ProgramVersion());
    ctx.Title = std::string(kProgramName) + " V" + ctx.Version;
    ctx.ServiceTimeout = 30.0f;
    ctx.DevconArchiveUrl = outside::kDevconArchiveUrl;
    ReadSettings(sys.settings, ctx.ProgramDir + kSettingsFileName, ctx);

    const RegRead installDir =
        sys.registry.RegValueGet(outside::kInstallDirKey, outside::kInstallDirValue);
    // Only a text names a folder.
    ctx.REG_uiexe = UiCommandFromInstallDir(
        installDir.result.outcome == RegOutcome::Done ? RegText(installDir.value) : std::nullopt);
    // Whether the read worked does not matter: a missing value leaves the text empty, which
    // means UAC is off.
    ctx.UacActive = UacActiveFromText(RegValueText(
        sys.registry.RegValueGet(outside::kPolicySystemKey, outside::kEnableLuaValue).value));
    return ctx;
}

void WriteHeader(Run& run) {
    const RunContext& ctx = run.ctx;
    run.log.Separator();
    run.log.Main(ctx.Title + ": begin");
    run.log.Detail("GetOSInf.FullText: " + ctx.OsInfo.FullText);
    run.log.Detail("GetOSInf.FullNumbers: " + ctx.OsInfo.FullNumbers);
    run.log.Detail("User Account Control active: " + Flag(ctx.UacActive));
    run.log.Detail("IsAdmin: " + Flag(run.sys.os.IsAdmin()));
    run.log.Detail("INI_tray_icon: " + Flag(ctx.INI_tray_icon));
    run.log.Detail("INI_balloon_tips: " + Flag(ctx.INI_balloon_tips));
    run.log.Detail("INI_on_demand: " + Flag(ctx.INI_on_demand));
    run.log.Detail("INI_force_uiexe: " + Flag(ctx.INI_force_uiexe));
}

}  // namespace

int Main(SystemModules& sys, const std::string& arguments) {
    // Two copies switching the same service at once would fight; the second one leaves
    // without a trace.
    if (sys.host.AnotherCopyRunning()) return Code(ExitCode::NotSwitched);
    // The program has no console to print the usage to.
    const std::optional<Request> request = RequestFromArguments(arguments);
    if (!request) {
        sys.dialogs.ShowError(kUsageText, kProgramName);
        return Code(ExitCode::NotSwitched);
    }

    const std::optional<std::string> programDir = UsableProgramDir(sys, *request);
    if (!programDir) return Code(ExitCode::NotSwitched);
    RunContext ctx = FillContext(sys, *programDir, *request);
    RunLog log(ctx.INI_log, sys.clock);
    log.Open(sys.files, ctx.ProgramDir + kLogFileName);
    Run run{ctx, sys, log};
    WriteHeader(run);
    // The check's lines follow the header; from here on the context is only read.
    ctx.Trusted = CheckWhoMayWrite(run);

    SequenceEnd end = SequenceEnd::NotSwitched;
    {
        // The icon is gone before the end line is written: deleting it can take seconds while a
        // balloon shows, and the end line's time should tell when the run really ended.
        TrayIcon tray(sys.tray, sys.processes, ctx);
        const Result<ServiceStatus> state = sys.services.ServiceGetStatus(outside::kServiceName);
        log.Main(std::string("ACTION: ") + (SwitchesOff(ctx.Requested, state) ? "STOP" : "START") +
                 (ctx.INI_on_demand ? " ON DEMAND" : ""));
        end = SwitchSequence(run, state, tray);
    }

    log.Main(std::string(kProgramName) + ": end (" + std::to_string(log.ErrorCount()) + " errors)");
    log.Close();
    if (end == SequenceEnd::NotSwitched) return Code(ExitCode::NotSwitched);
    return Code(log.ErrorCount() > 0 ? ExitCode::WithErrors : ExitCode::Clean);
}

}  // namespace tunlatch
