#include "switch/main.h"

#include "components/outside_components.h"
#include "components/reg_value_text.h"
#include "provisioning/devcon_archive.h"
#include "run/run.h"
#include "run/run_log.h"
#include "switch/settings.h"
#include "switch/startup_rules.h"
#include "switch/switch_sequence.h"
#include "tray/tray_icon.h"

namespace tunlatch {
namespace {

const char* Flag(bool value) {
    return value ? "TRUE" : "FALSE";
}

std::string ReadMachineValue(Registry& registry, const char* key, const char* name,
                             std::int32_t& rc) {
    RegValue value = std::string();
    std::string typeName;
    rc = registry.RegValueGet(kHkeyLocalMachine, key, name, value, typeName);
    return RegValueText(value);
}

void FillContext(SystemModules& sys, RunContext& ctx) {
    ctx.OsInfo = sys.os.GetOSInf();
    // TEMP is taken as it comes; the download step creates and removes the folder below it.
    ctx.ProgramDir = WithTrailingBackslash(sys.host.ProgramFolder());
    ctx.WorkFolder = sys.host.EnvironmentVariable("TEMP").value_or("") + "\\tunlatch.tmp";
    ctx.Version = VersionText(sys.host.ProgramVersion());
    ctx.Title = std::string(kProgramName) + " V" + ctx.Version;
    ctx.ServiceTimeout = 30.0f;
    ctx.DevconArchiveUrl = outside::kDevconArchiveUrl;
    ReadSettings(sys.settings, ctx.ProgramDir + kSettingsFileName, ctx);

    std::int32_t rc = 0;
    const std::string installDir =
        ReadMachineValue(sys.registry, outside::kInstallDirKey, outside::kInstallDirValue, rc);
    ctx.REG_uiexe = UiCommandFromInstallDir(rc, installDir);
    // Whether the read worked does not matter: a missing value leaves the text empty, which
    // means UAC is off.
    ctx.UacActive = UacActiveFromText(
        ReadMachineValue(sys.registry, outside::kPolicySystemKey, outside::kEnableLuaValue, rc));
}

void WriteHeader(Run& run) {
    const RunContext& ctx = run.ctx;
    run.WriteLog("");
    run.WriteLog(ctx.Title + ": begin");
    run.WriteLog("-GetOSInf.FullText: " + ctx.OsInfo.FullText);
    run.WriteLog("-GetOSInf.FullNumbers: " + ctx.OsInfo.FullNumbers);
    run.WriteLog(std::string("-User Account Control active: ") + Flag(ctx.UacActive));
    run.WriteLog(std::string("-IsAdmin: ") + Flag(run.sys.os.IsAdmin("")));
    run.WriteLog(std::string("-INI_tray_icon: ") + Flag(ctx.INI_tray_icon));
    run.WriteLog(std::string("-INI_balloon_tips: ") + Flag(ctx.INI_balloon_tips));
    run.WriteLog(std::string("-INI_on_demand: ") + Flag(ctx.INI_on_demand));
    run.WriteLog(std::string("-INI_force_uiexe: ") + Flag(ctx.INI_force_uiexe));
}

}  // namespace

int Main(SystemModules& sys) {
    // Two copies switching the same service at once would fight; the second one leaves
    // without a trace.
    if (sys.host.AnotherCopyRunning()) return 0;

    RunContext ctx;
    FillContext(sys, ctx);
    RunLog log(ctx, sys.clock);
    log.Open(sys.files, ctx.ProgramDir + kLogFileName);
    Run run{ctx, sys, log};
    WriteHeader(run);

    {
        // The icon is gone before the end line is written: deleting it can take seconds while a
        // balloon shows, and the end line's time should tell when the run really ended.
        TrayIcon tray(sys.tray, sys.processes, ctx);
        const std::string state = sys.services.ServiceGetStatus("", outside::kServiceName);
        run.WriteLog(std::string("ACTION: ") + (state == "Running" ? "STOP" : "START") +
                     (ctx.INI_on_demand ? " ON DEMAND" : ""));
        SwitchSequence(run, state, tray);
    }

    run.WriteLog(std::string(kProgramName) + ": end (" + std::to_string(ctx.ErrorCount) +
                 " errors)");
    log.Close();
    return 0;
}

}  // namespace tunlatch
