#include "components/ui_steps.h"

#include "components/outside_components.h"
#include "components/quoted.h"
#include "components/reg_value_text.h"
#include "run/program_files.h"
#include "run/result_texts.h"

namespace tunlatch {
namespace {

void RemoveAll(std::string& text, const std::string& part) {
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
}

std::string NotFoundText() {
    return std::string("UI EXE not found in ") + kSettingsFileName + " nor in registry!";
}

// The detail text of the cause that asks for the launch, or empty when none applies.
std::string LaunchCause(const RunContext& context) {
    if (context.INI_force_uiexe) return "cause: ini_force_uiexe detected";
    if (context.UacActive) return "cause: UAC detected";
    return {};
}

struct AutorunValue {
    RegResult result;
    std::string text;  // empty when nothing was read
};

AutorunValue ReadAutorun(Registry& registry) {
    const RegRead read = registry.RegValueGet(outside::kAutorunKey, outside::kAutorunValue);
    return {read.result, RegValueText(read.value)};
}

void RemoveAutorun(Run& run) {
    Registry& registry = run.sys.registry;
    const AutorunValue autorun = ReadAutorun(registry);
    run.log.Detail("UI EXE (reg autostart): " + autorun.text);
    run.log.Detail("regvalueget rc: " + RegCodeText(autorun.result));
    if (autorun.result.outcome != RegOutcome::Done) return;
    // Without an installation folder in the registry this value may be the only record of
    // where the UI lives; keep it for a later switch-on.
    if (run.ctx.REG_uiexe.empty() && autorun.text != run.ctx.INI_uiexe) {
        const bool written = run.sys.settings.WriteINI(run.ctx.ProgramDir + kSettingsFileName,
                                                       kUiExeSection, kUiExeKey, autorun.text);
        run.log.Detail("inivalueset rc: " + IniWriteCodeText(written));
    }
    const RegResult deleted = registry.RegValueDelete(outside::kAutorunKey, outside::kAutorunValue);
    run.log.Detail("regfielddelete rc: " + RegCodeText(deleted));
    if (deleted.outcome != RegOutcome::Done)
        run.log.Error("reg delete fail! returncode: " + RegCodeText(deleted));
}

void AddAutorun(Run& run, const std::string& command) {
    if (command.empty()) {
        run.log.Error(NotFoundText());
        return;
    }
    run.log.Detail("UI EXE (ini): " + run.ctx.INI_uiexe);
    run.log.Detail("UI EXE (reg config): " + run.ctx.REG_uiexe);
    std::string path;
    if (!UiExeFileExists(run.sys.files, command, path)) {
        run.log.Error("UI EXE (" + path + ") not found!");
        return;
    }
    const RegResult set =
        run.sys.registry.RegValueSet(outside::kAutorunKey, outside::kAutorunValue, command);
    run.log.Detail("regvalueset rc: " + RegCodeText(set));
    if (set.outcome != RegOutcome::Done)
        run.log.Error("reg set fail! returncode: " + RegCodeText(set));
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

    run.log.Main(action + " UI EXE: begin");
    run.log.Detail(cause);
    std::string path;
    if (command.empty()) {
        run.log.Error(NotFoundText());
    } else if (!UiExeFileExists(run.sys.files, command, path)) {
        run.log.Error("UI EXE (" + path + ") not found!");
    } else if (const LaunchResult launch = run.sys.processes.LaunchDetached(command);
               launch.started) {
        const bool active = run.sys.processes.IsProcessActive(launch.processId);
        run.log.Detail("pid: " + std::to_string(launch.processId) + " taskactive: " + Flag(active));
    } else {
        run.log.Error("UI EXE start fail! returncode: " + std::to_string(launch.error));
    }
    run.log.Main(action + " UI EXE: end");
}

void SwitchRegistryAutorun(Run& run, bool add) {
    const std::string action = add ? "Add" : "Remove";

    run.log.Main(action + " registry autorun " + Quoted(outside::kAutorunValue) + ": begin");
    const AutorunValue autorun = ReadAutorun(run.sys.registry);
    // Any existing text counts as right: the user may have pointed it elsewhere on purpose.
    const bool correct = add ? autorun.result.outcome == RegOutcome::Done && !autorun.text.empty()
                             : autorun.result.outcome == RegOutcome::Absent;
    if (correct)
        run.log.Detail("status correct, skip...");
    else if (add)
        AddAutorun(run, UiCommandLine(run.ctx));
    else
        RemoveAutorun(run);
    run.log.Main(action + " registry autorun: end");
}

}  // namespace tunlatch
