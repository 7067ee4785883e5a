#include "run/open_for_user.h"

#include "run/result_texts.h"

namespace tunlatch {

void OpenForUser(Run& run, const std::string& target) {
    const Result<> opened = run.sys.processes.ShellOpen(target);
    if (!opened) run.log.Error(CallFailedText("open " + target, opened.error()));
}

}  // namespace tunlatch
