#include "components/ui_steps.h"

#include "components/outside_components.h"
#include "components/quoted.h"
#include "components/reg_value_text.h"
#include "run/program_files.h"

namespace tunlatch {
namespace {

// SW_SHOWMINIMIZED: the UI comes up minimized, out of the user's way.
constexpr std::int32_t kShowMinimized = 2;

void RemoveAll(std::string& text, const std::string& part) {
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
}

std::string NotFoundLine() {
    return std::string("ERROR: UI EXE not found in ") + kSettingsFileName + " nor in registry!";
}

// The log line of the cause that asks for the launch, or empty when none applies.
std::string LaunchCause(const RunContext& context) {
    if (context.INI_force_uiexe) return "-cause: ini_force_uiexe detected";
    if (context.OsInfo.VersionName == "2000") return "-cause: win 2000 detected";
    if (context.UacActive) return "-cause: UAC detected";
    return {};
}

// The autorun value's return code and text; the text stays empty when nothing was read.
std::int32_t ReadAutorun(Registry& registry, std::string& text) {
    RegValue value = std::string();
    std::string typeName;
    const std::int32_t rc = registry.RegValueGet(kHkeyLocalMachine, outside::kAutorunKey,
                                                 outside::kAutorunValue, value, typeName);
    text = RegValueText(value);
    return rc;
}

void RemoveAutorun(Run& run) {
    Registry& registry = run.sys.registry;
    std::string text;
    const std::int32_t rc = ReadAutorun(registry, text);
    run.WriteLog("-UI EXE (reg autostart): " + text);
    run.WriteLog("-regvalueget rc: " + std::to_string(rc));
    if (rc != kRegOk) return;
    // Without an installation folder in the registry this value may be the only record of
    // where the UI lives; keep it for a later switch-on.
    if (run.ctx.REG_uiexe.empty() && text != run.ctx.INI_uiexe) {
        const std::int32_t written = run.sys.settings.WriteINI(
            run.ctx.ProgramDir + kSettingsFileName, kUiExeSection, kUiExeKey, text);
        run.WriteLog("-inivalueset rc: " + std::to_string(written));
    }
    const std::int32_t deleted =
        registry.RegValueDelete(kHkeyLocalMachine, outside::kAutorunKey, outside::kAutorunValue);
    run.WriteLog("-regfielddelete rc: " + std::to_string(deleted));
    if (deleted != kRegOk)
        run.WriteLog("ERROR: reg delete fail! returncode: " + std::to_string(deleted));
}

void AddAutorun(Run& run, const std::string& command) {
    if (command.empty()) {
        run.WriteLog(NotFoundLine());
        return;
    }
    run.WriteLog("-UI EXE (ini): " + run.ctx.INI_uiexe);
    run.WriteLog("-UI EXE (reg config): " + run.ctx.REG_uiexe);
    std::string path;
    if (!UiExeFileExists(run.sys.files, command, path)) {
        run.WriteLog("ERROR: UI EXE (" + path + ") not found!");
        return;
    }
    const std::int32_t rc = run.sys.registry.RegValueSet(kHkeyLocalMachine, outside::kAutorunKey,
                                                         outside::kAutorunValue, command, false);
    run.WriteLog("-regvalueset rc: " + std::to_string(rc));
    if (rc != kRegOk) run.WriteLog("ERROR: reg set fail! returncode: " + std::to_string(rc));
}

}  // namespace

std::string UiCommandLine(const RunContext& context) {
    return context.INI_uiexe.empty() ? context.REG_uiexe : context.INI_uiexe;
}

bool UiExeFileExists(FileSystem& files, const std::string& command, std::string& path) {
    path = command;
    RemoveAll(path, outside::kUiExeArgument);
    RemoveAll(path, "\"");
    return files.FileExists(path);
}

void SwitchUiExe(Run& run, bool start) {
    const std::string cause = LaunchCause(run.ctx);
    if (cause.empty()) return;
    const std::string command = UiCommandLine(run.ctx);
    const std::string action = start ? "Start" : "Stop";

    run.WriteLog(action + " UI EXE: begin");
    run.WriteLog(cause);
    std::string path;
    if (command.empty()) {
        run.WriteLog(NotFoundLine());
    } else if (!UiExeFileExists(run.sys.files, command, path)) {
        run.WriteLog("ERROR: UI EXE (" + path + ") not found!");
    } else {
        const LaunchResult launch = run.sys.processes.LaunchDetached(command, kShowMinimized);
        if (launch.started) {
            const bool active =
                run.sys.processes.IsProcessActive(static_cast<std::int32_t>(launch.processId));
            run.WriteLog("-pid: " + std::to_string(launch.processId) +
                         " taskactive: " + (active ? "TRUE" : "FALSE"));
        } else {
            run.WriteLog("ERROR: UI EXE start fail! returncode: " + std::to_string(launch.error));
        }
    }
    run.WriteLog(action + " UI EXE: end");
}

void SwitchRegistryAutorun(Run& run, bool add) {
    const std::string command = UiCommandLine(run.ctx);
    const std::string action = add ? "Add" : "Remove";

    run.WriteLog(action + " registry autorun " + Quoted(outside::kAutorunValue) + ": begin");
    std::string text;
    const std::int32_t rc = ReadAutorun(run.sys.registry, text);
    // Any existing text counts as right: the user may have pointed it elsewhere on purpose.
    const bool correct = add ? rc == kRegOk && !text.empty() : rc == kRegNotFound && text.empty();
    if (correct)
        run.WriteLog("-status correct, skip...");
    else if (add)
        AddAutorun(run, command);
    else
        RemoveAutorun(run);
    run.WriteLog(action + " registry autorun: end");
}

}  // namespace tunlatch
