#include "switch/switch_sequence.h"

#include "components/adapter_steps.h"
#include "components/outside_components.h"
#include "components/service_steps.h"
#include "components/ui_steps.h"
#include "provisioning/devcon_archive.h"
#include "provisioning/download_devcon.h"
#include "run/devcon_check.h"
#include "run/result_texts.h"
#include "system/dialogs.h"

namespace tunlatch {
namespace {

// The tray steps happen only with the icon on; without it the sequence runs as fast as the
// steps allow, keeping only the middle pause that gives the adapter time to settle.
class TrayProgress {
public:
    explicit TrayProgress(Run& run) : run_(run) {}

    void Picture(TrayPicture picture) {
        if (run_.ctx.INI_tray_icon) run_.sys.tray.TrayIconModify(picture, std::nullopt);
    }
    // With the icon on and balloons wanted.
    void IconBalloon(const char* text, std::int32_t flags) {
        if (run_.ctx.INI_tray_icon) Balloon(text, flags);
    }
    // Balloons wanted, whether the icon is shown or not.
    void Balloon(const char* text, std::int32_t flags) {
        if (run_.ctx.INI_balloon_tips) run_.sys.tray.TrayBalloon(run_.ctx.Title, text, flags, 0);
    }
    void IconPause(std::int32_t milliseconds) {
        if (run_.ctx.INI_tray_icon) run_.sys.processes.WaitMs(milliseconds);
    }

private:
    Run& run_;
};

void StartSteps(Run& run) {
    TrayProgress tray(run);
    const bool onDemand = run.ctx.INI_on_demand;
    tray.Picture(TrayPicture::Red);
    tray.IconBalloon("Start Hamachi: Network adapter", kBalloonInfoSilent);
    tray.IconPause(kFirstIconPauseMs);
    SwitchNetworkAdapter(run, true);
    tray.Picture(TrayPicture::GreenRed);
    tray.Balloon("Start Hamachi: Service", kBalloonInfoSilent);
    run.sys.processes.WaitMs(kMiddlePauseMs);
    ChangeStartType(run, !onDemand);
    SwitchService(run, true);
    SwitchRegistryAutorun(run, !onDemand);
    SwitchUiExe(run, true);
    tray.Picture(TrayPicture::Green);
    tray.IconBalloon("Hamachi started", kBalloonInfoSilent);
    tray.IconPause(kLastIconPauseMs);
}

void StopSteps(Run& run) {
    TrayProgress tray(run);
    tray.Picture(TrayPicture::Green);
    tray.IconBalloon("Stop Hamachi: Service", kBalloonInfoSilent);
    tray.IconPause(kFirstIconPauseMs);
    SwitchRegistryAutorun(run, false);
    ChangeStartType(run, false);
    SwitchService(run, false);
    tray.Picture(TrayPicture::GreenRed);
    tray.Balloon("Stop Hamachi: Network adapter", kBalloonInfoSilent);
    run.sys.processes.WaitMs(kMiddlePauseMs);
    // On demand the adapter stays enabled, so the client can be started without this tool.
    SwitchNetworkAdapter(run, run.ctx.INI_on_demand);
    tray.Picture(TrayPicture::Red);
    // The one balloon with a sound: the client is off now.
    tray.IconBalloon("Hamachi stopped", kBalloonInfo);
    tray.IconPause(kLastIconPauseMs);
}

// false when the user chose the browser instead of the download: nothing is switched then.
bool DevconGate(Run& run) {
    const DevconCheck check = CheckDevcon(run.ctx, run.sys.files);
    if (check == DevconCheck::Missing || check == DevconCheck::WrongBuild) {
        if (run.sys.dialogs.AskYesNo(DevconOfferText(check), run.ctx.Title) != Answer::Yes) {
            run.log.Detail("choice: open download url");
            run.sys.processes.ShellOpen(outside::kDevconSupportUrl);
            return false;
        }
        run.log.Detail("choice: download devcon archive");
        DownloadDevcon(run);
    } else if (check == DevconCheck::NoBuildForArch) {
        run.log.Error("unknown os architecture: " + run.ctx.OsInfo.Architecture);
    }
    return true;
}

}  // namespace

std::string DevconOfferText(DevconCheck check) {
    const std::string lead = check == DevconCheck::Missing
                                 ? "devcon.exe not found!"
                                 : "devcon.exe hasn't the correct version!";
    return lead +
           " Tunlatch can download the DEVCON archive and extract the correct version (32Bit or "
           "64Bit) for your Windows.\r\n\r\n"
           "If you press \"Yes\", Tunlatch automaticaly does all steps for you.\r\n"
           "If you press \"No\", Tunlatch opens your standard internet browser with the download "
           "url for devcon.exe.";
}

void SwitchSequence(Run& run, ServiceStatus state) {
    if (!DevconGate(run)) return;
    if (state == ServiceStatus::Stopped)
        StartSteps(run);
    else if (state == ServiceStatus::Running)
        StopSteps(run);
    else
        run.log.Error("unexpected state: " + ServiceStatusText(state));
}

}  // namespace tunlatch
