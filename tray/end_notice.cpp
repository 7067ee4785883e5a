#include "tray/end_notice.h"

#include "run/program_files.h"

namespace tunlatch {
namespace {

// "Hamachi started with 2 errors: see tunlatch.log"; where the log holds no error lines, how to
// get them.
std::string WarningText(const std::string& outcome, const Run& run) {
    const std::int16_t errors = run.log.ErrorCount();
    const bool logged = run.ctx.INI_log == 1 || run.ctx.INI_log == 2;
    return outcome + " with " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
           (logged ? std::string(": see ") + kLogFileName
                   : std::string(": set log=1 in ") + kSettingsFileName + " to see why");
}

}  // namespace

TrayPicture PictureOf(PartState adapter, PartState service) {
    if (adapter == PartState::On && service == PartState::On) return TrayPicture::Green;
    if (adapter == PartState::Off && service == PartState::Off) return TrayPicture::Red;
    return TrayPicture::GreenRed;
}

void ShowEnd(Run& run, TrayIcon& tray, PartState adapter, PartState service,
             const std::string& outcome, BalloonKind kind) {
    tray.Picture(PictureOf(adapter, service));
    if (run.log.ErrorCount() == 0)
        tray.Balloon(outcome, kind);
    else
        tray.Warning(WarningText(outcome, run));
    tray.IconPause(kLastIconPauseMs);
}

void ShowNotSwitched(Run& run, TrayIcon& tray) {
    // Shown for as long as a switch's end would be, or the icon would take it along at once.
    if (run.log.ErrorCount() == 0) return;
    tray.Warning(WarningText("Hamachi not switched", run));
    tray.IconPause(kLastIconPauseMs);
}

}  // namespace tunlatch
