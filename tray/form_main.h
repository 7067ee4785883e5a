#pragma once
// frmMain: the hidden form that owns the notification-area icon for the length of a run.
#include "run/run_context.h"
#include "system/tray.h"

namespace tunlatch {

// The icon's tip is the bare program name, without the version.
inline constexpr const char* kTrayTip = "Tunlatch";

class FormMain {
public:
    FormMain(Tray& tray, const RunContext& context) : tray_(tray), context_(context) {}

    // With the tray setting on, creates the form's window and adds the grey icon.
    void Form_Load();
    // With the tray setting on, removes the icon and the window.
    void Form_Unload();

private:
    Tray& tray_;
    const RunContext& context_;
};

}  // namespace tunlatch
