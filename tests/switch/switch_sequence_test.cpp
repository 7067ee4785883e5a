#include "switch/switch_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "components/outside_components.h"
#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Events = std::vector<std::string>;
const std::string kSupportUrl = "https://support.microsoft.com/kb/311272/en-us";
const std::string kOfferRest =
    " Tunlatch can download the DEVCON archive and extract the correct version (32Bit or 64Bit) "
    "for your Windows.\r\n\r\nIf you press \"Yes\", Tunlatch automaticaly does all steps for "
    "you.\r\nIf you press \"No\", Tunlatch opens your standard internet browser with the "
    "download url for devcon.exe.";

struct SequenceRun : fixture::StepRun {
    void SetClientOn() {
        sys.services.status = ServiceStatus::Running;
        sys.services.startType = StartType::Automatic;
        adapter.enabled = true;
        sys.registry.Put(outside::kAutorunKey, outside::kAutorunValue, ctx.REG_uiexe);
    }
    // As Main runs it: inside the life of the run's icon. The journal comes back with DevCon's
    // command lines shortened to "devcon VERB".
    Events Switch(ServiceStatus state) {
        {
            TrayIcon tray(sys.tray, sys.processes, ctx);
            SwitchSequence(run, state, tray);
        }
        Events events;
        const std::string devcon = "RunCaptured \"C:\\Tools\\Tunlatch\\devcon.exe\" ";
        for (std::string event : sys.journal.events) {
            if (event.rfind(devcon, 0) == 0)
                event = "devcon " +
                        event.substr(devcon.size(), event.find(' ', devcon.size()) - devcon.size());
            events.push_back(event);
        }
        return events;
    }
};

std::string Balloon(const std::string& sound, const std::string& text) {
    return "Tray Balloon " + sound + " " + text + " [Tunlatch V1.2.1]";
}

TEST(SwitchSequenceTest, StartSwitchesEachPartOnInItsOrderWithTheIconFollowing) {
    SequenceRun t;
    t.ctx.INI_balloon_tips = true;
    t.ctx.UacActive = true;
    EXPECT_EQ(
        t.Switch(ServiceStatus::Stopped),
        (Events{"Tray Add grey Tunlatch", "Tray Picture red",
                Balloon("silent", "Start Hamachi: Network adapter"), "WaitMs 500", "devcon status",
                "devcon enable", "devcon status", "Tray Picture green-red",
                Balloon("silent", "Start Hamachi: Service"), "WaitMs 1000", "ServiceSetStartType 2",
                "ServiceStart Hamachi2Svc", "RegValueSet LogMeIn Hamachi Ui",
                "Launch " + fixture::kUiCommand, "Tray Picture green",
                Balloon("silent", "Hamachi started"), "WaitMs 1500", "Tray Delete"}));
    EXPECT_TRUE(t.Logged("Start UI EXE: begin"));
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

TEST(SwitchSequenceTest, StopSwitchesEachPartOffInItsOrderWithTheIconFollowing) {
    SequenceRun t;
    t.SetClientOn();
    t.ctx.INI_balloon_tips = true;
    t.ctx.UacActive = true;
    EXPECT_EQ(t.Switch(ServiceStatus::Running),
              (Events{"Tray Add grey Tunlatch", "Tray Picture green",
                      Balloon("silent", "Stop Hamachi: Service"), "WaitMs 500",
                      "RegValueDelete LogMeIn Hamachi Ui", "ServiceSetStartType 3",
                      "ServiceStop Hamachi2Svc", "Tray Picture green-red",
                      Balloon("silent", "Stop Hamachi: Network adapter"), "WaitMs 1000",
                      "devcon status", "devcon disable", "devcon status", "Tray Picture red",
                      Balloon("audible", "Hamachi stopped"), "WaitMs 1500", "Tray Delete"}));
    EXPECT_FALSE(t.adapter.enabled);
}

// On demand the client stays off after a reboot; without the icon only the pause that lets the
// adapter settle is left.
TEST(SwitchSequenceTest, OnDemandWithoutTheIconKeepsTheAdapterOnAndTheValueAway) {
    const Events start = {"devcon status",
                          "devcon enable",
                          "devcon status",
                          "WaitMs 1000",
                          "ServiceSetStartType 3",
                          "ServiceStart Hamachi2Svc",
                          "RegValueDelete LogMeIn Hamachi Ui"};
    const Events stop = {"RegValueDelete LogMeIn Hamachi Ui", "ServiceSetStartType 3",
                         "ServiceStop Hamachi2Svc", "WaitMs 1000", "devcon status"};
    for (const bool on : {true, false}) {
        SequenceRun t;
        if (!on) t.SetClientOn();
        t.ctx.INI_on_demand = true;
        t.ctx.INI_tray_icon = false;
        t.ctx.INI_balloon_tips = true;
        t.sys.services.startType = StartType::Automatic;
        t.sys.registry.Put(outside::kAutorunKey, outside::kAutorunValue, "x");
        EXPECT_EQ(t.Switch(on ? ServiceStatus::Stopped : ServiceStatus::Running),
                  on ? start : stop);
        EXPECT_TRUE(t.adapter.enabled);
    }
}

TEST(SwitchSequenceTest, AnyOtherStateIsAnErrorThatNamesItAndSwitchesNothing) {
    const std::pair<ServiceStatus, const char*> cases[] = {
        {ServiceStatus::StartPending, "Start Pending"},
        {ServiceStatus::ServiceNotOpened, "OpenService fail!"},
        {ServiceStatus::Unknown, ""}};
    for (const auto& [state, text] : cases) {
        SequenceRun t;
        t.ctx.INI_tray_icon = false;
        EXPECT_TRUE(t.Switch(state).empty());
        EXPECT_EQ(t.Texts(), Events{std::string("ERROR: unexpected state: ") + text});
    }
}

TEST(DevconGateTest, DeclinedOfferOpensTheSupportArticleAndSwitchesNothing) {
    const struct {
        std::size_t devcon;  // 0: none
        Answer answer;
        const char* lead;
    } cases[] = {{0, Answer::No, "devcon.exe not found!"},
                 {92672, Answer::No, "devcon.exe hasn't the correct version!"},
                 {0, Answer::None, "devcon.exe not found!"},
                 {0, Answer::Cancel, "devcon.exe not found!"}};
    for (const auto& c : cases) {
        SequenceRun t;
        t.ctx.INI_tray_icon = false;
        t.sys.files.files.erase(fixture::kDevconPath);
        if (c.devcon) t.sys.files.files[fixture::kDevconPath] = std::string(c.devcon, 'M');
        t.sys.dialogs.answers = {c.answer};
        EXPECT_EQ(t.Switch(ServiceStatus::Stopped),
                  (Events{"MessageBox", "ShellOpen " + kSupportUrl}));
        EXPECT_EQ(t.sys.dialogs.questions, Events{c.lead + kOfferRest + "|Tunlatch V1.2.1"});
        EXPECT_EQ(t.Texts(), Events{"-choice: open download url"});
    }
}

TEST(DevconGateTest, AcceptedOfferDownloadsAndThenSwitchesWhateverItAchieved) {
    for (const ServiceStatus state : {ServiceStatus::Stopped, ServiceStatus::StartPending}) {
        SequenceRun t;
        t.ctx.INI_tray_icon = false;
        t.sys.files.files.erase(fixture::kDevconPath);
        t.sys.dialogs.answers = {Answer::Yes};
        const Events journal = t.Switch(state);
        const Events texts = t.Texts();
        EXPECT_EQ(texts[0], "-choice: download devcon archive");
        EXPECT_EQ(texts[1], "Download devcon.exe: begin");
        const bool started = state == ServiceStatus::Stopped;
        EXPECT_EQ(std::count(journal.begin(), journal.end(), "ServiceStart Hamachi2Svc"), started);
        EXPECT_EQ(texts.back(),
                  started ? "Add registry autorun: end" : "ERROR: unexpected state: Start Pending");
    }
}

TEST(DevconGateTest, UnknownArchitectureIsAnErrorWithoutTheOfferAndTheSwitchGoesOn) {
    SequenceRun t;
    t.ctx.OsInfo.Architecture = "Itanium";
    t.ctx.INI_tray_icon = false;
    const Events journal = t.Switch(ServiceStatus::Stopped);
    EXPECT_TRUE(t.sys.dialogs.questions.empty());
    EXPECT_EQ(t.Texts()[0], "ERROR: unknown os architecture: Itanium");
    EXPECT_EQ(t.Texts()[2], "ERROR: devcon.exe hasn't the correct version!");
    EXPECT_NE(std::find(journal.begin(), journal.end(), "ServiceStart Hamachi2Svc"), journal.end());
}

}  // namespace
}  // namespace tunlatch
