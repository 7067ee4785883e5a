#pragma once
// The run's notification-area icon: one owner that reads the settings once, adds the icon when
// it is made and deletes it when it goes, so no path out of a run leaves an icon behind.
#include <cstdint>
#include <string>

#include "run/run_context.h"
#include "system/processes.h"
#include "system/tray.h"

namespace tunlatch {

// The icon's tip is the bare program name, without the version.
inline constexpr const char* kTrayTip = "Tunlatch";

class TrayIcon {
public:
    // With the icon setting on, adds the grey icon; otherwise the whole object stays silent.
    TrayIcon(Tray& tray, Processes& processes, const RunContext& context);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void Picture(TrayPicture picture);
    // Titled with the run's title; shown only when balloons are wanted too.
    void Balloon(const std::string& text, BalloonKind kind);
    // Shown whenever the icon is, balloons wanted or not: a run that went wrong must not look
    // like one that went right.
    void Warning(const std::string& text);
    // The pauses exist so that a person can see the icon change; without the icon they would
    // only slow the run down.
    void IconPause(std::int32_t milliseconds);

private:
    Tray& tray_;
    Processes& processes_;
    const bool shown_;
    const bool balloons_;
    const std::string title_;
};

}  // namespace tunlatch
