#include "tray/form_main.h"

#include <optional>

namespace tunlatch {

// The form's window exists only to own the icon. Without the tray setting nothing would ever
// use it, and creating a window is not free (it costs a run a noticeable share of its start-up),
// so the form then stays a form on paper: no window, no icon, nothing to delete.
void FormMain::Form_Load() {
    if (!context_.INI_tray_icon) return;
    tray_.Load();
    tray_.TrayIconShow(true, TrayPicture::Grey, kTrayTip);
}

void FormMain::Form_Unload() {
    if (!context_.INI_tray_icon) return;
    tray_.TrayIconShow(false, std::nullopt, "");
    tray_.Unload();
}

}  // namespace tunlatch
