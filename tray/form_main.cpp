#include "tray/form_main.h"

#include <optional>

namespace tunlatch {

void FormMain::Form_Load() {
    tray_.Load();
    if (context_.INI_tray_icon) tray_.TrayIconShow(true, TrayPicture::Grey, kTrayTip);
}

void FormMain::Form_Unload() {
    // Without the setting the icon was never added, so there is nothing to delete either.
    if (context_.INI_tray_icon) tray_.TrayIconShow(false, std::nullopt, "");
    tray_.Unload();
}

}  // namespace tunlatch
