#pragma once
// Opening a file or an address for the user with its registered program.
#include <string>

#include "run/run.h"

namespace tunlatch {

// A refusal is an error line naming what was to be opened.
void OpenForUser(Run& run, const std::string& target);

}  // namespace tunlatch
