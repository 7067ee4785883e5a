#pragma once
// Programs for the user: opening a file or an address with its registered program, and the
// log's note when such a program could not be started as the signed-in user.
#include <string>

#include "run/run.h"
#include "system/processes.h"

namespace tunlatch {

// Opened by the desktop shell where it can be reached, so that the browser or editor runs as the
// signed-in user; else by the run itself, as administrator. A refusal of that last way is an
// error line naming what was to be opened.
void OpenForUser(Run& run, const std::string& target);

// For a start as the signed-in user that did not happen and falls back to the run's own start:
// a detail line naming the call and Windows' code when the shell was there and the start failed
// all the same; nothing when there was no shell, so that such a run's log reads as before.
void NoteUserStartFailure(Run& run, const std::string& call, const UserStartFailure& failure);

}  // namespace tunlatch
