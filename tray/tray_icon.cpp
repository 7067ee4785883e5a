#include "tray/tray_icon.h"

namespace tunlatch {

// Without the icon setting the tray is never touched: the Win32 tray would otherwise create a
// window, which costs a run a noticeable share of its start-up.
TrayIcon::TrayIcon(Tray& tray, Processes& processes, const RunContext& context)
    : tray_(tray),
      processes_(processes),
      shown_(context.INI_tray_icon),
      balloons_(context.INI_tray_icon && context.INI_balloon_tips),
      title_(context.Title) {
    if (shown_) tray_.AddIcon(TrayPicture::Grey, kTrayTip);
}

TrayIcon::~TrayIcon() {
    if (shown_) tray_.DeleteIcon();
}

void TrayIcon::Picture(TrayPicture picture) {
    if (shown_) tray_.ChangePicture(picture);
}

void TrayIcon::Balloon(const std::string& text, BalloonKind kind) {
    if (balloons_) tray_.ShowBalloon(title_, text, kind);
}

void TrayIcon::Warning(const std::string& text) {
    if (shown_) tray_.ShowBalloon(title_, text, BalloonKind::Warning);
}

void TrayIcon::IconPause(std::int32_t milliseconds) {
    if (shown_) processes_.WaitMs(milliseconds);
}

}  // namespace tunlatch
