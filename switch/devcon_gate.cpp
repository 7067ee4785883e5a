#include "switch/devcon_gate.h"

#include "components/adapter_devices.h"
#include "components/outside_components.h"
#include "provisioning/devcon_archive.h"
#include "provisioning/download_devcon.h"
#include "run/open_for_user.h"
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

}  // namespace

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

std::string DevconOfferText(DevconCheck check) {
    return DevconLead(check) +
           " Tunlatch can download the DEVCON archive and extract the correct version (32Bit or "
           "64Bit) for your Windows.\r\n\r\n"
           "If you press \"Yes\", Tunlatch automaticaly does all steps for you.\r\n"
           "If you press \"No\", Tunlatch opens your standard internet browser with the download "
           "url for devcon.exe.";
}

}  // namespace tunlatch
