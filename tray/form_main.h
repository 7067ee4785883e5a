#pragma once
// frmMain: the hidden form that owns the notification-area icon for the length of a run.
#include "switch/run_context.h"
#include "tray/tray.h"

namespace tunlatch {

// The icon's tip is the bare program name, without the version.
inline constexpr const char* kTrayTip = "Tunlatch";

class FormMain {
public:
    FormMain(Tray& tray, const RunContext& context) : tray_(tray), context_(context) {}

    // Creates the form and, with the tray setting on, adds the grey icon.
    void Form_Load();
    // With the tray setting on, removes the icon; then the form goes away.
    void Form_Unload();

private:
    Tray& tray_;
    const RunContext& context_;
};

}  // namespace tunlatch
