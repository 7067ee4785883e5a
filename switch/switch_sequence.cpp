#include "switch/switch_sequence.h"

#include <optional>

#include "components/adapter_devices.h"
#include "components/adapter_steps.h"
#include "components/service_steps.h"
#include "components/ui_steps.h"
#include "provisioning/devcon_archive.h"
#include "provisioning/download_devcon.h"
#include "run/devcon_check.h"
#include "run/open_for_user.h"
#include "run/program_files.h"
#include "run/result_texts.h"
#include "system/dialogs.h"

namespace tunlatch {
namespace {

constexpr const char* kUse64BitText =
    "the 32-bit Tunlatch cannot switch the network adapter of 64-bit Windows without a 64-bit "
    "devcon.exe: use the 64-bit Tunlatch";

constexpr const char* kUse64BitBoxText =
    "This is the 32-bit Tunlatch, and this Windows is 64-bit: Windows lets only 64-bit programs "
    "change devices, and no 64-bit devcon.exe lies beside Tunlatch, so the network adapter "
    "cannot be switched. Nothing has been switched.\r\n\r\n"
    "Use the 64-bit Tunlatch, which switches the adapter itself.";

// What is wrong with devcon.exe, as the offer and the error lines begin.
std::string DevconLead(DevconCheck check) {
    return check == DevconCheck::Missing ? "devcon.exe not found!"
                                         : "devcon.exe hasn't the correct version!";
}

// Green only when both parts are on, red only when both are off.
TrayPicture PictureOf(PartState adapter, PartState service) {
    if (adapter == PartState::On && service == PartState::On) return TrayPicture::Green;
    if (adapter == PartState::Off && service == PartState::Off) return TrayPicture::Red;
    return TrayPicture::GreenRed;
}

// "Hamachi started with 2 errors: see tunlatch.log"; where the log holds no error lines, how to
// get them.
std::string WarningText(const std::string& outcome, const Run& run) {
    const std::int16_t errors = run.log.ErrorCount();
    const bool logged = run.ctx.INI_log == 1 || run.ctx.INI_log == 2;
    return outcome + " with " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
           (logged ? std::string(": see ") + kLogFileName
                   : std::string(": set log=1 in ") + kSettingsFileName + " to see why");
}

// The last picture shows what the steps found; a run with errors ends on a warning.
void EndNotice(Run& run, TrayIcon& tray, PartState adapter, PartState service,
               const std::string& outcome, BalloonKind kind) {
    tray.Picture(PictureOf(adapter, service));
    if (run.log.ErrorCount() == 0)
        tray.Balloon(outcome, kind);
    else
        tray.Warning(WarningText(outcome, run));
    tray.IconPause(kLastIconPauseMs);
}

void StartSteps(Run& run, TrayIcon& tray, AdapterWay way) {
    const bool onDemand = run.ctx.INI_on_demand;
    tray.Picture(TrayPicture::Red);
    tray.Balloon("Start Hamachi: Network adapter", BalloonKind::Silent);
    tray.IconPause(kFirstIconPauseMs);
    const PartState adapter = SwitchNetworkAdapter(run, true, way);
    tray.Picture(TrayPicture::GreenRed);
    tray.Balloon("Start Hamachi: Service", BalloonKind::Silent);
    run.sys.processes.WaitMs(kMiddlePauseMs);
    ChangeStartType(run, !onDemand);
    const PartState service = SwitchService(run, true);
    SwitchRegistryAutorun(run, !onDemand);
    SwitchUiExe(run, true);
    EndNotice(run, tray, adapter, service, "Hamachi started", BalloonKind::Silent);
}

void StopSteps(Run& run, TrayIcon& tray, AdapterWay way) {
    tray.Picture(TrayPicture::Green);
    tray.Balloon("Stop Hamachi: Service", BalloonKind::Silent);
    tray.IconPause(kFirstIconPauseMs);
    SwitchRegistryAutorun(run, false);
    ChangeStartType(run, false);
    const PartState service = SwitchService(run, false);
    tray.Picture(TrayPicture::GreenRed);
    tray.Balloon("Stop Hamachi: Network adapter", BalloonKind::Silent);
    run.sys.processes.WaitMs(kMiddlePauseMs);
    // On demand the adapter stays enabled, so the client can be started without this tool.
    const PartState adapter = SwitchNetworkAdapter(run, run.ctx.INI_on_demand, way);
    // The one balloon with a sound: the client is off now.
    EndNotice(run, tray, adapter, service, "Hamachi stopped", BalloonKind::Audible);
}

// The adapter steps' way; none when the run ends before switching: the user chose the browser
// instead of the download, or the 32-bit program on 64-bit Windows has no DevCon it can use.
std::optional<AdapterWay> DevconGate(Run& run) {
    const DevconCheck check = CheckDevcon(run.ctx, run.sys.files);
    if (DeviceApiServes(run, check)) {
        // The offer cannot help here: the archive holds no 64-bit DevCon.
        run.log.Detail(
            "no 64-bit devcon.exe beside the program: the adapter is switched through Windows' "
            "device API");
        return AdapterWay::DeviceApi;
    }
    const bool offered = check == DevconCheck::Missing || check == DevconCheck::WrongBuild;
    const bool unusable = offered || check == DevconCheck::Untrusted;
    const bool attended = run.ctx.Requested == Request::Toggle;
    if (unusable && run.ctx.OsInfo.Architecture == "x64" && run.sys.host.ProgramBits() == 32) {
        // Nor can the download: it would switch the service with the adapter left as it is.
        run.log.Error(kUse64BitText);
        if (attended) run.sys.dialogs.ShowError(kUse64BitBoxText, run.ctx.Title);
        return std::nullopt;
    }
    if (offered && !attended) {
        // A scheduled task has no one to answer the offer, and half a switch is no repair.
        run.log.Error(DevconLead(check) + " Start Tunlatch without arguments once to fetch DevCon");
        return std::nullopt;
    }
    // A devcon.exe that others may change is not replaced either: the adapter step says why.
    if (offered) {
        if (run.sys.dialogs.AskYesNo(DevconOfferText(check), run.ctx.Title) != Answer::Yes) {
            run.log.Detail("choice: open download url");
            OpenForUser(run, outside::kDevconSupportUrl);
            return std::nullopt;
        }
        run.log.Detail("choice: download devcon archive");
        DownloadDevcon(run);
    } else if (check == DevconCheck::NoBuildForArch) {
        run.log.Error("unknown os architecture: " + run.ctx.OsInfo.Architecture);
    }
    return AdapterWay::Devcon;
}

// A run that ends before switching with errors says so, for as long as a switch's end would.
SequenceEnd NotSwitched(Run& run, TrayIcon& tray) {
    if (run.log.ErrorCount() > 0) {
        tray.Warning(WarningText("Hamachi not switched", run));
        tray.IconPause(kLastIconPauseMs);
    }
    return SequenceEnd::NotSwitched;
}

}  // namespace

std::string DevconOfferText(DevconCheck check) {
    return DevconLead(check) +
           " Tunlatch can download the DEVCON archive and extract the correct version (32Bit or "
           "64Bit) for your Windows.\r\n\r\n"
           "If you press \"Yes\", Tunlatch automaticaly does all steps for you.\r\n"
           "If you press \"No\", Tunlatch opens your standard internet browser with the download "
           "url for devcon.exe.";
}

SequenceEnd SwitchSequence(Run& run, const Result<ServiceStatus>& state, TrayIcon& tray) {
    // Nothing is offered, fetched or opened for a client that cannot be switched.
    const bool stopped = state && *state == ServiceStatus::Stopped;
    if (!stopped && !(state && *state == ServiceStatus::Running)) {
        run.log.Error("unexpected state: " + ServiceStatusText(state));
        return NotSwitched(run, tray);
    }
    const Request request = run.ctx.Requested;
    const bool start = request == Request::On || (request == Request::Toggle && stopped);
    const std::optional<AdapterWay> way = DevconGate(run);
    if (!way) return NotSwitched(run, tray);
    if (start)
        StartSteps(run, tray, *way);
    else
        StopSteps(run, tray, *way);
    return SequenceEnd::Switched;
}

}  // namespace tunlatch
