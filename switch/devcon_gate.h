#pragma once
// Before the switching steps: which way the adapter is switched, and what happens where
// devcon.exe cannot be used: the download offer, or a run that ends there.
#include <optional>
#include <string>

#include "components/adapter_steps.h"
#include "run/devcon_check.h"
#include "run/run.h"

namespace tunlatch {

// The message box text offered when devcon.exe is missing or of the wrong build.
std::string DevconOfferText(DevconCheck check);

// The adapter steps' way; none when the run ends before switching: the user chose the browser
// instead of the download, no one is there to be asked (a script's "on" or "off"), or the
// 32-bit program on 64-bit Windows has no DevCon it can use.
std::optional<AdapterWay> DevconGate(Run& run);

}  // namespace tunlatch
