#include "components/ui_steps.h"

#include <optional>

#include "components/outside_components.h"
#include "components/quoted.h"
#include "components/reg_value_text.h"
#include "components/ui_command.h"
#include "run/open_for_user.h"
#include "run/program_files.h"
#include "run/result_texts.h"
#include "system/files.h"

namespace tunlatch {
namespace {

std::string NotFoundText() {
    return std::string("UI EXE not found in ") + kSettingsFileName + " nor in registry!";
}

// The detail text of the cause that asks for the launch, or empty when none applies.
std::string LaunchCause(const RunContext& context) {
    if (context.INI_force_uiexe) return "cause: ini_force_uiexe detected";
    if (context.UacActive) return "cause: UAC detected";
    return {};
}

// The command line to write or launch, its program path in quotes; nothing, after an error line,
// when that path is not full or names no file.
std::optional<std::string> CheckedCommand(Run& run, const std::string& commandLine) {
    const UiCommand command = SplitUiCommand(commandLine);
    if (!IsFullPath(command.program))
        run.log.Error("UI EXE (" + command.program + ") is not a full path!");
    else if (!run.sys.files.FileExists(command.program))
        run.log.Error("UI EXE (" + command.program + ") not found!");
    else
        return JoinedUiCommand(command);
    return std::nullopt;
}

struct AutorunValue {
    RegResult result;
    std::string text;  // empty when nothing was read, or when the value is no text
};

AutorunValue ReadAutorun(Registry& registry) {
    const RegRead read = registry.RegValueGet(outside::kAutorunKey, outside::kAutorunValue);
    return {read.result, RegText(read.value).value_or("")};
}

// Without an installation folder in the registry the autorun value may be the only record of
// where the UI lives: false when it should be kept but could not be saved for a later switch-on.
// Nothing is saved from an empty value, so it never replaces a command line the settings hold.
bool SavedOrNotNeeded(Run& run, const std::string& text) {
    if (!run.ctx.REG_uiexe.empty() || text.empty() || text == run.ctx.INI_uiexe) return true;
    const std::string path = run.ctx.ProgramDir + kSettingsFileName;
    const Result<> written = run.sys.settings.WriteINI(path, kUiExeSection, kUiExeKey, text);
    run.log.Detail("inivalueset rc: " + IniWriteCodeText(written.ok()));
    if (written) return true;
    if (IsWriteRefused(written.error())) run.log.Error(WriteRefusedText(path));
    run.log.Error("ini write fail! uiexe not saved, autorun value kept");
    return false;
}

void RemoveAutorun(Run& run) {
    Registry& registry = run.sys.registry;
    const AutorunValue autorun = ReadAutorun(registry);
    run.log.Detail("UI EXE (reg autostart): " + autorun.text);
    run.log.Detail("regvalueget rc: " + RegCodeText(autorun.result));
    if (autorun.result.outcome == RegOutcome::Failed)
        run.log.Error("reg read fail! returncode: " + RegCodeText(autorun.result));
    if (autorun.result.outcome != RegOutcome::Done || !SavedOrNotNeeded(run, autorun.text)) return;
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
    const std::optional<std::string> checked = CheckedCommand(run, command);
    if (!checked) return;
    const RegResult set =
        run.sys.registry.RegValueSet(outside::kAutorunKey, outside::kAutorunValue, *checked);
    run.log.Detail("regvalueset rc: " + RegCodeText(set));
    if (set.outcome != RegOutcome::Done)
        run.log.Error("reg set fail! returncode: " + RegCodeText(set));
}

// As the signed-in user where the desktop shell can be reached: the elevated run's own token
// would make the client's UI an administrator's program. Else as the run itself.
Result<std::uint32_t> Started(Run& run, const std::string& command) {
    const Result<std::uint32_t, UserStartFailure> asUser = run.sys.processes.LaunchAsUser(command);
    if (asUser) return *asUser;
    NoteUserStartFailure(run, "UI EXE start as user", asUser.error());
    return run.sys.processes.LaunchDetached(command);
}

void Launch(Run& run, const std::string& command) {
    const Result<std::uint32_t> launched = Started(run, command);
    if (!launched) {
        run.log.Error(CallFailedText("UI EXE start", launched.error()));
        return;
    }
    const bool active = run.sys.processes.IsProcessActive(*launched);
    run.log.Detail("pid: " + std::to_string(*launched) + " taskactive: " + Flag(active));
}

}  // namespace

std::string UiCommandLine(const RunContext& context) {
    // A command line from a file that others may change would run elevated at every logon.
    const bool fromSettings = !context.INI_uiexe.empty() && context.Trusted.settings;
    return fromSettings ? context.INI_uiexe : context.REG_uiexe;
}

void SwitchUiExe(Run& run, bool start) {
    const std::string cause = LaunchCause(run.ctx);
    if (cause.empty()) return;
    const std::string command = UiCommandLine(run.ctx);
    const std::string action = start ? "Start" : "Stop";

    run.log.Main(action + " UI EXE: begin");
    run.log.Detail(cause);
    if (command.empty())
        run.log.Error(NotFoundText());
    else if (const std::optional<std::string> checked = CheckedCommand(run, command))
        Launch(run, *checked);
    run.log.Main(action + " UI EXE: end");
}

void SwitchRegistryAutorun(Run& run, bool add) {
    const std::string action = add ? "Add" : "Remove";

    run.log.Main(action + " registry autorun " + Quoted(outside::kAutorunValue) + ": begin");
    const AutorunValue autorun = ReadAutorun(run.sys.registry);
    // Any existing text counts as right: the user may have pointed it elsewhere on purpose. A
    // value that is no text is no command line, as good as absent.
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
