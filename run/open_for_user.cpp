#include "run/open_for_user.h"

#include "run/result_texts.h"

namespace tunlatch {

void OpenForUser(Run& run, const std::string& target) {
    const Result<Done, UserStartFailure> asUser = run.sys.processes.ShellOpenAsUser(target);
    if (asUser) return;
    NoteUserStartFailure(run, "open " + target + " as user", asUser.error());
    const Result<> opened = run.sys.processes.ShellOpen(target);
    if (!opened) run.log.Error(CallFailedText("open " + target, opened.error()));
}

void NoteUserStartFailure(Run& run, const std::string& call, const UserStartFailure& failure) {
    // A failed start as the user falls back to the start as administrator rather than being an
    // error of its own: that is how every earlier version started these programs, and a machine
    // whose Secondary Logon service is disabled (a common hardening) would otherwise never get
    // its UI program or browser and count an error at every run. The line says why the program
    // runs elevated after all.
    if (failure.kind == UserStartFailure::Kind::Failed)
        run.log.Detail(CallFailedText(call, failure.error));
}

}  // namespace tunlatch
