#include "switch/switch_sequence.h"

#include "components/adapter_steps.h"
#include "components/service_steps.h"
#include "components/ui_steps.h"
#include "run/result_texts.h"
#include "switch/devcon_gate.h"
#include "tray/end_notice.h"

namespace tunlatch {
namespace {

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
    ShowEnd(run, tray, adapter, service, "Hamachi started", BalloonKind::Silent);
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
    ShowEnd(run, tray, adapter, service, "Hamachi stopped", BalloonKind::Audible);
}

// Whatever the run found before switching, the tray tells of its errors.
SequenceEnd NotSwitched(Run& run, TrayIcon& tray) {
    ShowNotSwitched(run, tray);
    return SequenceEnd::NotSwitched;
}

}  // namespace

bool SwitchesOff(Request request, const Result<ServiceStatus>& state) {
    if (request != Request::Toggle) return request == Request::Off;
    return state && *state == ServiceStatus::Running;
}

SequenceEnd SwitchSequence(Run& run, const Result<ServiceStatus>& state, TrayIcon& tray) {
    // Nothing is offered, fetched or opened for a client that cannot be switched.
    const bool stopped = state && *state == ServiceStatus::Stopped;
    if (!stopped && !(state && *state == ServiceStatus::Running)) {
        run.log.Error("unexpected state: " + ServiceStatusText(state));
        return NotSwitched(run, tray);
    }
    const std::optional<AdapterWay> way = DevconGate(run);
    if (!way) return NotSwitched(run, tray);
    if (SwitchesOff(run.ctx.Requested, state))
        StopSteps(run, tray, *way);
    else
        StartSteps(run, tray, *way);
    return SequenceEnd::Switched;
}

}  // namespace tunlatch
