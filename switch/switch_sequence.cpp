#include "switch/switch_sequence.h"

#include <optional>

#include "components/adapter_devices.h"
#include "components/adapter_steps.h"
#include "components/service_steps.h"
#include "components/ui_steps.h"
#include "provisioning/devcon_archive.h"
#include "provisioning/download_devcon.h"
#include "run/devcon_check.h"
#include "run/result_texts.h"
#include "system/dialogs.h"

namespace tunlatch {
namespace {

void StartSteps(Run& run, TrayIcon& tray, AdapterWay way) {
    const bool onDemand = run.ctx.INI_on_demand;
    tray.Picture(TrayPicture::Red);
    tray.Balloon("Start Hamachi: Network adapter", BalloonSound::Silent);
    tray.IconPause(kFirstIconPauseMs);
    SwitchNetworkAdapter(run, true, way);
    tray.Picture(TrayPicture::GreenRed);
    tray.Balloon("Start Hamachi: Service", BalloonSound::Silent);
    run.sys.processes.WaitMs(kMiddlePauseMs);
    ChangeStartType(run, !onDemand);
    SwitchService(run, true);
    SwitchRegistryAutorun(run, !onDemand);
    SwitchUiExe(run, true);
    tray.Picture(TrayPicture::Green);
    tray.Balloon("Hamachi started", BalloonSound::Silent);
    tray.IconPause(kLastIconPauseMs);
}

void StopSteps(Run& run, TrayIcon& tray, AdapterWay way) {
    tray.Picture(TrayPicture::Green);
    tray.Balloon("Stop Hamachi: Service", BalloonSound::Silent);
    tray.IconPause(kFirstIconPauseMs);
    SwitchRegistryAutorun(run, false);
    ChangeStartType(run, false);
    SwitchService(run, false);
    tray.Picture(TrayPicture::GreenRed);
    tray.Balloon("Stop Hamachi: Network adapter", BalloonSound::Silent);
    run.sys.processes.WaitMs(kMiddlePauseMs);
    // On demand the adapter stays enabled, so the client can be started without this tool.
    SwitchNetworkAdapter(run, run.ctx.INI_on_demand, way);
    tray.Picture(TrayPicture::Red);
    // The one balloon with a sound: the client is off now.
    tray.Balloon("Hamachi stopped", BalloonSound::Audible);
    tray.IconPause(kLastIconPauseMs);
}

// The adapter steps' way; none when the user chose the browser instead of the download: nothing
// is switched then.
std::optional<AdapterWay> DevconGate(Run& run) {
    const DevconCheck check = CheckDevcon(run.ctx, run.sys.files);
    if (DeviceApiServes(run, check)) {
        // The offer cannot help here: the archive holds no 64-bit DevCon.
        run.log.Detail(
            "no 64-bit devcon.exe beside the program: the adapter is switched through Windows' "
            "device API");
        return AdapterWay::DeviceApi;
    }
    if (check == DevconCheck::Missing || check == DevconCheck::WrongBuild) {
        if (run.sys.dialogs.AskYesNo(DevconOfferText(check), run.ctx.Title) != Answer::Yes) {
            run.log.Detail("choice: open download url");
            run.sys.processes.ShellOpen(outside::kDevconSupportUrl);
            return std::nullopt;
        }
        run.log.Detail("choice: download devcon archive");
        DownloadDevcon(run);
    } else if (check == DevconCheck::NoBuildForArch) {
        run.log.Error("unknown os architecture: " + run.ctx.OsInfo.Architecture);
    }
    return AdapterWay::Devcon;
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

void SwitchSequence(Run& run, ServiceStatus state, TrayIcon& tray) {
    const std::optional<AdapterWay> way = DevconGate(run);
    if (!way) return;
    if (state == ServiceStatus::Stopped)
        StartSteps(run, tray, *way);
    else if (state == ServiceStatus::Running)
        StopSteps(run, tray, *way);
    else
        run.log.Error("unexpected state: " + ServiceStatusText(state));
}

}  // namespace tunlatch
