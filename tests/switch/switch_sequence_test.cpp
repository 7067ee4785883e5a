#include "switch/switch_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "components/outside_components.h"
#include "tests/components/step_run.h"

namespace tunlatch {
namespace {

using fixture::Stamped;
using fixture::StepRun;
using ::testing::TestWithParam;
using ::testing::Values;
using Events = std::vector<std::string>;

const std::string kUiPath = "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe";
const std::string kSupportUrl = "https://support.microsoft.com/kb/311272/en-us";

// A machine with the VPN client installed; the adapter follows devcon's enable and disable.
struct SequenceRun : StepRun {
    fixture::DevconAdapter adapter;

    SequenceRun() {
        ctx.REG_uiexe = "\"" + kUiPath + "\" --auto-start";
        sys.files.files[kUiPath] = "MZ";
        sys.processes.onRun = [this](const std::string& command) {
            return adapter.Answer(command);
        };
    }
    void SetClientOn() {
        sys.services.status = ServiceStatus::Running;
        sys.services.startType = StartType::Automatic;
        adapter.enabled = true;
        sys.registry.Put(outside::kAutorunKey, outside::kAutorunValue, ctx.REG_uiexe);
    }
    // The journal with devcon's command lines shortened to "devcon VERB".
    Events Journal() const {
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

// As Main runs the sequence: inside the life of the run's icon.
void SwitchSequence(Run& run, ServiceStatus state) {
    TrayIcon tray(run.sys.tray, run.sys.processes, run.ctx);
    tunlatch::SwitchSequence(run, state, tray);
}

Events Balloon(const std::string& sound, const std::string& text) {
    return {"Tray Balloon " + sound + " " + text + " [Tunlatch V1.2.1]"};
}

Events Join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Events kEnableAdapter = {"devcon status", "devcon enable", "devcon status"};
const Events kDisableAdapter = {"devcon status", "devcon disable", "devcon status"};

TEST(SwitchSequenceTest, StartWithTrayIconAndNoBalloons) {
    SequenceRun t;
    SwitchSequence(t.run, ServiceStatus::Stopped);
    EXPECT_EQ(t.Journal(),
              Join({{"Tray Picture red", "WaitMs 500"},
                    kEnableAdapter,
                    {"Tray Picture green-red", "WaitMs 1000", "ServiceSetStartType 2",
                     "ServiceStart", "RegValueGet LogMeIn Hamachi Ui",
                     "RegValueSet LogMeIn Hamachi Ui", "Tray Picture green", "WaitMs 1500"}}));
    EXPECT_EQ(t.sys.processes.waits, (std::vector<std::int32_t>{500, 1000, 1500}));
    EXPECT_EQ(t.log.ErrorCount(), 0);
    EXPECT_EQ(t.sys.services.status, ServiceStatus::Running);
}

TEST(SwitchSequenceTest, StartWithTrayIconAndBalloons) {
    SequenceRun t;
    t.ctx.INI_balloon_tips = true;
    SwitchSequence(t.run, ServiceStatus::Stopped);
    EXPECT_EQ(t.Journal(), Join({{"Tray Picture red"},
                                 Balloon("silent", "Start Hamachi: Network adapter"),
                                 {"WaitMs 500"},
                                 kEnableAdapter,
                                 {"Tray Picture green-red"},
                                 Balloon("silent", "Start Hamachi: Service"),
                                 {"WaitMs 1000", "ServiceSetStartType 2", "ServiceStart",
                                  "RegValueGet LogMeIn Hamachi Ui",
                                  "RegValueSet LogMeIn Hamachi Ui", "Tray Picture green"},
                                 Balloon("silent", "Hamachi started"),
                                 {"WaitMs 1500"}}));
}

TEST(SwitchSequenceTest, StartWithoutTrayIconKeepsOnlyTheMiddlePauseAndNoBalloon) {
    SequenceRun t;
    t.ctx.INI_tray_icon = false;
    t.ctx.INI_balloon_tips = true;
    t.ctx.UacActive = true;
    SwitchSequence(t.run, ServiceStatus::Stopped);
    EXPECT_EQ(t.Journal(),
              Join({kEnableAdapter,
                    {"WaitMs 1000", "ServiceSetStartType 2", "ServiceStart",
                     "RegValueGet LogMeIn Hamachi Ui", "RegValueSet LogMeIn Hamachi Ui",
                     "Launch \"" + kUiPath + "\" --auto-start"}}));
}

TEST(SwitchSequenceTest, StartOnDemandSetsOnDemandAndRemovesTheAutorunValue) {
    SequenceRun t;
    t.ctx.INI_on_demand = true;
    t.ctx.INI_tray_icon = false;
    t.sys.services.startType = StartType::Disabled;
    t.sys.registry.Put(outside::kAutorunKey, outside::kAutorunValue, "x");
    SwitchSequence(t.run, ServiceStatus::Stopped);
    EXPECT_EQ(t.Journal(),
              Join({kEnableAdapter,
                    {"WaitMs 1000", "ServiceSetStartType 3", "ServiceStart",
                     "RegValueGet LogMeIn Hamachi Ui", "RegValueGet LogMeIn Hamachi Ui",
                     "RegValueDelete LogMeIn Hamachi Ui"}}));
}

TEST(SwitchSequenceTest, StopWithTrayIconAndBalloons) {
    SequenceRun t;
    t.SetClientOn();
    t.ctx.INI_balloon_tips = true;
    SwitchSequence(t.run, ServiceStatus::Running);
    EXPECT_EQ(t.Journal(),
              Join({{"Tray Picture green"},
                    Balloon("silent", "Stop Hamachi: Service"),
                    {"WaitMs 500", "RegValueGet LogMeIn Hamachi Ui",
                     "RegValueGet LogMeIn Hamachi Ui", "RegValueDelete LogMeIn Hamachi Ui",
                     "ServiceSetStartType 3", "ServiceStop", "Tray Picture green-red"},
                    Balloon("silent", "Stop Hamachi: Network adapter"),
                    {"WaitMs 1000"},
                    kDisableAdapter,
                    {"Tray Picture red"},
                    Balloon("audible", "Hamachi stopped"),
                    {"WaitMs 1500"}}));
    EXPECT_FALSE(t.adapter.enabled);
    EXPECT_EQ(t.sys.services.status, ServiceStatus::Stopped);
    EXPECT_TRUE(t.sys.processes.launched.empty());
}

TEST(SwitchSequenceTest, StopOnDemandLeavesTheAdapterEnabled) {
    SequenceRun t;
    t.SetClientOn();
    t.ctx.INI_on_demand = true;
    t.ctx.INI_tray_icon = false;
    SwitchSequence(t.run, ServiceStatus::Running);
    EXPECT_EQ(t.Journal(),
              (Events{"RegValueGet LogMeIn Hamachi Ui", "RegValueGet LogMeIn Hamachi Ui",
                      "RegValueDelete LogMeIn Hamachi Ui", "ServiceSetStartType 3", "ServiceStop",
                      "WaitMs 1000", "devcon status"}));
    EXPECT_TRUE(t.adapter.enabled);
    EXPECT_EQ(t.sys.services.startType, StartType::OnDemand);
}

TEST(UnexpectedStateTest, IsAnErrorThatNamesTheStateAndSwitchesNothing) {
    const std::pair<ServiceStatus, const char*> cases[] = {
        {ServiceStatus::StartPending, "Start Pending"},
        {ServiceStatus::Paused, "Paused"},
        {ServiceStatus::ServiceNotOpened, "OpenService fail!"},
        {ServiceStatus::ManagerNotOpened, "OpenSCManager fail!"},
        {ServiceStatus::Unknown, ""}};
    for (const auto& [state, text] : cases) {
        SequenceRun t;
        SwitchSequence(t.run, state);
        EXPECT_EQ(t.Logged(), Stamped({std::string("ERROR: unexpected state: ") + text}));
        EXPECT_TRUE(t.sys.journal.events.empty());
        EXPECT_EQ(t.log.ErrorCount(), 1);
    }
}

TEST(DevconOfferTextTest, NamesTheProblemAndBothChoices) {
    const std::string rest =
        " Tunlatch can download the DEVCON archive and extract the correct version (32Bit or "
        "64Bit) for your Windows.\r\n\r\nIf you press \"Yes\", Tunlatch automaticaly does all "
        "steps for you.\r\nIf you press \"No\", Tunlatch opens your standard internet browser "
        "with the download url for devcon.exe.";
    EXPECT_EQ(DevconOfferText(DevconCheck::Missing), "devcon.exe not found!" + rest);
    EXPECT_EQ(DevconOfferText(DevconCheck::WrongBuild),
              "devcon.exe hasn't the correct version!" + rest);
}

struct DeclineCase {
    std::size_t devconSize;  // 0: no file
    Answer answer;
    DevconCheck check;
};
class DevconDeclinedTest : public TestWithParam<DeclineCase> {};

TEST_P(DevconDeclinedTest, OpensTheSupportArticleAndSwitchesNothing) {
    SequenceRun t;
    t.sys.files.files.erase(fixture::kDevconPath);
    if (GetParam().devconSize)
        t.sys.files.files[fixture::kDevconPath] = std::string(GetParam().devconSize, 'M');
    t.sys.dialogs.answers = {GetParam().answer};
    SwitchSequence(t.run, ServiceStatus::Stopped);
    using Box = std::pair<std::string, std::string>;
    EXPECT_EQ(t.sys.dialogs.questions,
              (std::vector<Box>{{DevconOfferText(GetParam().check), "Tunlatch V1.2.1"}}));
    EXPECT_EQ(t.Journal(), (Events{"MessageBox", "ShellOpen " + kSupportUrl}));
    EXPECT_EQ(t.Logged(), Stamped({"-choice: open download url"}));
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, DevconDeclinedTest,
                         Values(DeclineCase{0, Answer::No, DevconCheck::Missing},
                                DeclineCase{92672, Answer::No, DevconCheck::WrongBuild},
                                DeclineCase{0, Answer::None, DevconCheck::Missing},
                                DeclineCase{0, Answer::Cancel, DevconCheck::Missing}));

TEST(DevconGateTest, YesDownloadsAndThenSwitchesWhateverTheDownloadAchieved) {
    SequenceRun t;
    t.sys.files.files.erase(fixture::kDevconPath);
    t.ctx.WorkFolder = "C:\\Temp\\tunlatch.tmp";
    t.ctx.DevconArchiveUrl = "http://127.0.0.1:1/devcon.exe";
    t.sys.dialogs.answers = {Answer::Yes};
    SwitchSequence(t.run, ServiceStatus::Stopped);
    const Events journal = t.Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front(), "MessageBox");
    const auto download =
        std::find(journal.begin(), journal.end(), "Download http://127.0.0.1:1/devcon.exe");
    const auto start = std::find(journal.begin(), journal.end(), "ServiceStart");
    EXPECT_LT(download, start);
    EXPECT_NE(start, journal.end());
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(texts.front(), "-choice: download devcon archive");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "ERROR: devcon.exe not found!"), texts.end());
    EXPECT_TRUE(t.sys.processes.opened.empty() || t.sys.processes.opened.front() != kSupportUrl);
}

TEST(DevconGateTest, PendingStateAfterTheDownloadStillEndsInTheStateError) {
    SequenceRun t;
    t.sys.files.files.erase(fixture::kDevconPath);
    t.sys.dialogs.answers = {Answer::Yes};
    SwitchSequence(t.run, ServiceStatus::StartPending);
    EXPECT_EQ(t.Journal().front(), "MessageBox");
    EXPECT_EQ(t.Texts().front(), "-choice: download devcon archive");
    EXPECT_EQ(t.Texts().back(), "ERROR: unexpected state: Start Pending");
    EXPECT_EQ(t.sys.services.statusQueries, 0);
}

TEST(DevconGateTest, UnknownArchitectureIsAnErrorWithoutTheOffer) {
    SequenceRun t;
    t.ctx.OsInfo.Architecture = "Itanium";
    t.ctx.INI_tray_icon = false;
    SwitchSequence(t.run, ServiceStatus::Stopped);
    EXPECT_TRUE(t.sys.dialogs.questions.empty());
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(texts.front(), "ERROR: unknown os architecture: Itanium");
    EXPECT_EQ(texts[1], "Enable network adapter \"hamachi\": begin");
    EXPECT_EQ(texts[2], "ERROR: devcon.exe hasn't the correct version!");
    const Events journal = t.Journal();
    EXPECT_NE(std::find(journal.begin(), journal.end(), "ServiceStart"), journal.end());
}

}  // namespace
}  // namespace tunlatch
