#include "system/win32/win32_tray.h"

#include "system/notify_text.h"

namespace tunlatch::win32 {
namespace {

DWORD InfoFlags(BalloonKind kind) noexcept {
    switch (kind) {
        case BalloonKind::Silent:
            return NIIF_INFO | NIIF_NOSOUND;
        case BalloonKind::Audible:
            return NIIF_INFO;
        case BalloonKind::Warning:
            break;
    }
    return NIIF_WARNING;
}

bool Notify(DWORD message, NOTIFYICONDATAA& record) noexcept {
    return ::Shell_NotifyIconA(message, &record) != FALSE;
}

}  // namespace

// A fresh record for each request: fields of an earlier one (an old balloon) are never sent
// again by accident.
NOTIFYICONDATAA Win32Tray::Record(UINT flags) const noexcept {
    NOTIFYICONDATAA record{};
    record.cbSize = kNotifyRecordSize;
    record.hWnd = OwnerWindow();
    record.uID = 0;
    record.uFlags = flags;
    return record;
}

bool Win32Tray::AddIcon(TrayPicture picture, const std::string& tip) {
    picture_ = picture;
    tip_ = tip;
    // The window stays even when the shell refuses the icon: a taskbar that starts later
    // announces itself to the window, which adds the icon then.
    if (!window_) window_ = TrayWindow::Create(instance_, [this] { Add(); });
    return window_ && Add();
}

bool Win32Tray::Add() noexcept {
    // Also the window's callback, which could in principle run before Create has returned.
    if (!window_) return false;
    NOTIFYICONDATAA record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = window_->Picture(picture_);
    CopyNotifyText(tip_, record.szTip);
    return Notify(NIM_ADD, record);
}

bool Win32Tray::ChangePicture(TrayPicture picture) {
    if (!window_) return false;
    picture_ = picture;
    NOTIFYICONDATAA record = Record(NIF_ICON);
    record.hIcon = window_->Picture(picture);
    return Notify(NIM_MODIFY, record);
}

bool Win32Tray::ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) {
    if (!window_) return false;
    NOTIFYICONDATAA record = Record(NIF_INFO);
    CopyNotifyText(title, record.szInfoTitle);
    CopyNotifyText(text, record.szInfo);
    record.dwInfoFlags = InfoFlags(kind);
    return Notify(NIM_MODIFY, record);
}

bool Win32Tray::DeleteIcon() {
    if (!window_) return false;
    NOTIFYICONDATAA record = Record(0);
    const bool deleted = Notify(NIM_DELETE, record);
    window_.reset();
    return deleted;
}

}  // namespace tunlatch::win32
