#include "system/win32/win32_tray.h"

#include "system/notify_text.h"

namespace tunlatch::win32 {

void Win32Tray::Load() {
    if (!form_) form_ = std::make_unique<FormMainWindow>(instance_, [this] { AddAgain(); });
}

void Win32Tray::Unload() {
    // An icon whose owner is gone would linger in the shell until the mouse passes over it.
    if (shown_) TrayIconShow(false, std::nullopt, "");
    form_.reset();
}

void Win32Tray::SetOwner() {
    record_.cbSize = kNotifyRecordSize;
    record_.hWnd = OwnerWindow();
    record_.uID = 0;
}

bool Win32Tray::Notify(DWORD message) {
    // Without the form no icon can be meant; a null owner must not reach the shell.
    if (record_.hWnd == nullptr) return false;
    return ::Shell_NotifyIconA(message, &record_) != FALSE;
}

bool Win32Tray::TrayIconShow(bool show, std::optional<TrayPicture> icon, const std::string& tip) {
    SetOwner();
    if (!show) {
        shown_ = false;
        return Notify(NIM_DELETE);
    }
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = kTrayCallbackMessage;
    // The owner itself has no picture, so without one the icon is blank.
    record_.hIcon = icon && form_ ? form_->Picture(*icon) : nullptr;
    CopyNotifyText(tip, record_.szTip);
    // Remembered even when the shell refuses: a taskbar that comes later gets the icon then.
    shown_ = true;
    return Notify(NIM_ADD);
}

bool Win32Tray::TrayIconModify(std::optional<TrayPicture> icon, std::optional<std::string> tip) {
    SetOwner();
    record_.uFlags = 0;
    if (icon) {
        record_.hIcon = form_ ? form_->Picture(*icon) : nullptr;
        record_.uFlags |= NIF_ICON;
    }
    if (tip) {
        CopyNotifyText(*tip, record_.szTip);
        record_.uFlags |= NIF_TIP;
    }
    return Notify(NIM_MODIFY);
}

bool Win32Tray::TrayBalloon(const std::string& title, const std::string& text, std::int32_t flags,
                            std::int32_t timeout) {
    SetOwner();
    record_.uFlags = NIF_INFO;
    CopyNotifyText(title, record_.szInfoTitle);
    CopyNotifyText(text, record_.szInfo);
    record_.dwInfoFlags = static_cast<DWORD>(flags);
    record_.uTimeout = static_cast<UINT>(timeout);
    return Notify(NIM_MODIFY);
}

// A restarted shell has forgotten every icon: add ours again as it looks now. The record's
// balloon fields stay as they are but are not sent, so no old balloon reappears.
void Win32Tray::AddAgain() {
    if (!shown_) return;
    SetOwner();
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = kTrayCallbackMessage;
    Notify(NIM_ADD);
}

}  // namespace tunlatch::win32
