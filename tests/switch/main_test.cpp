#include "switch/main.h"

#include <gtest/gtest.h>

#include "components/outside_components.h"
#include "provisioning/devcon_archive.h"
#include "tests/components/step_run.h"

namespace tunlatch {
namespace {

using fixture::Stamped;
using ::testing::TestWithParam;
using ::testing::Values;

const std::string kIni = "C:\\Tools\\Tunlatch\\tunlatch.ini";
const std::string kLog = fixture::kLogPath;
const std::string kUiPath = "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe";
const std::string kUiCommand = "\"" + kUiPath + "\" --auto-start";

// A whole machine: the client installed and off, a right devcon.exe, UAC off.
struct MainRun {
    FakeSystem sys;
    fixture::DevconAdapter adapter;

    MainRun() {
        sys.os.info.Architecture = "x86";
        sys.files.files[fixture::kDevconPath] = std::string(55808, 'M');
        sys.files.files[kUiPath] = "MZ";
        sys.registry.Put(outside::kInstallDirKey, outside::kInstallDirValue,
                         std::string("C:\\Program Files\\Hamachi"));
        sys.processes.onRun = [this](const std::string& command) {
            return adapter.Answer(command);
        };
    }
    void Set(const std::string& key, const std::string& value) {
        sys.settings.Put(kIni, "misc", key, value);
    }
    void SetEnableLua(RegValue value) {
        sys.registry.Put(outside::kPolicySystemKey, outside::kEnableLuaValue, std::move(value));
    }
    int Start() { return Main(sys.modules); }
    std::vector<std::string> Logged() const { return sys.files.Lines(kLog); }
    bool LogExists() const { return sys.files.files.count(kLog) > 0; }
};

const std::vector<std::string> kHeaderDetails = {
    "-GetOSInf.FullText: Windows 7 Professional (x64) [Service Pack 1]",
    "-GetOSInf.FullNumbers: PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service Pack 1 PRTY:1 RSVD:0 SPMA:1 "
    "SPMI:0 MASK:256 PRIN:48 OSA:x64"};

TEST(MainTest, SwitchesOnWithTheWholeLogAtLevelTwo) {
    MainRun t;
    t.Set("log", "2");
    EXPECT_EQ(t.Start(), 0);
    EXPECT_EQ(t.Logged(), Stamped({"",
                                   "Tunlatch V1.2.1: begin",
                                   kHeaderDetails[0],
                                   kHeaderDetails[1],
                                   "-User Account Control active: FALSE",
                                   "-IsAdmin: TRUE",
                                   "-INI_tray_icon: TRUE",
                                   "-INI_balloon_tips: FALSE",
                                   "-INI_on_demand: FALSE",
                                   "-INI_force_uiexe: FALSE",
                                   "ACTION: START",
                                   "Enable network adapter \"hamachi\": begin",
                                   "-status before: DISABLED",
                                   "-devcon.exe done",
                                   "-status now: ENABLED",
                                   "-devcon.exe output: ROOT\\NET\\0000: Enabled~",
                                   "Enable network adapter: end",
                                   "Change starttype \"Hamachi2Svc\" to SERVICE_AUTO_START: begin ",
                                   "-status before: SERVICE_DEMAND_START",
                                   "-ServiceSetStartType API done",
                                   "-status now: SERVICE_AUTO_START",
                                   "Change starttype: end",
                                   "Start service \"Hamachi2Svc\": begin",
                                   "-status: Stopped",
                                   "-ServiceStart API done",
                                   "-status: Running",
                                   "Start service: end",
                                   "Add registry autorun \"LogMeIn Hamachi Ui\": begin",
                                   "-UI EXE (ini): ",
                                   "-UI EXE (reg config): " + kUiCommand,
                                   "-regvalueset rc: 0",
                                   "Add registry autorun: end",
                                   "Tunlatch: end (0 errors)"}));
    EXPECT_EQ(t.sys.tray.calls,
              (std::vector<std::string>{"Add grey Tunlatch", "Picture red", "Picture green-red",
                                        "Picture green", "Delete"}));
    EXPECT_EQ(t.sys.processes.waits, (std::vector<std::int32_t>{500, 1000, 1500}));
    EXPECT_EQ(t.sys.os.adminQueries, 1);
    EXPECT_EQ(t.sys.services.lastService, "Hamachi2Svc");
}

TEST(MainTest, LevelOneKeepsMainLinesAndTheEarlierRuns) {
    MainRun t;
    t.Set("log", "1");
    t.Set("on_demand", "1");
    t.sys.files.files[kLog] = "earlier run\r\n";
    t.sys.services.status = ServiceStatus::Running;
    t.adapter.enabled = true;
    t.Start();
    std::vector<std::string> expected = Stamped(
        {"", "Tunlatch V1.2.1: begin", "ACTION: STOP ON DEMAND",
         "Remove registry autorun \"LogMeIn Hamachi Ui\": begin", "Remove registry autorun: end",
         "Change starttype \"Hamachi2Svc\" to SERVICE_DEMAND_START: begin ",
         "Change starttype: end", "Stop service \"Hamachi2Svc\": begin", "Stop service: end",
         "Enable network adapter \"hamachi\": begin", "Enable network adapter: end",
         "Tunlatch: end (0 errors)"});
    expected.insert(expected.begin(), "earlier run");
    EXPECT_EQ(t.Logged(), expected);
    EXPECT_TRUE(t.adapter.enabled);
    EXPECT_EQ(t.sys.services.status, ServiceStatus::Stopped);
}

TEST(MainTest, PendingStateIsRefusedAndCounted) {
    MainRun t;
    t.Set("log", "1");
    t.sys.services.status = ServiceStatus::StartPending;
    t.Start();
    EXPECT_EQ(t.Logged(),
              Stamped({"", "Tunlatch V1.2.1: begin", "ACTION: START",
                       "ERROR: unexpected state: Start Pending", "Tunlatch: end (1 errors)"}));
    EXPECT_EQ(t.sys.tray.calls, (std::vector<std::string>{"Add grey Tunlatch", "Delete"}));
}

struct SilentCase {
    const char* level;
    bool opened;
};
class SilentLevelTest : public TestWithParam<SilentCase> {};

TEST_P(SilentLevelTest, NoLineReachesTheFileButTheSwitchHappens) {
    MainRun t;
    t.Set("log", GetParam().level);
    t.Start();
    EXPECT_EQ(t.sys.services.status, ServiceStatus::Running);
    EXPECT_TRUE(t.adapter.enabled);
    if (GetParam().opened) {
        // The log is opened, so created, but gets nothing.
        ASSERT_TRUE(t.LogExists());
        EXPECT_EQ(t.sys.files.files[kLog], "");
    } else {
        EXPECT_FALSE(t.LogExists());
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, SilentLevelTest,
                         Values(SilentCase{"0", false}, SilentCase{"no level", false},
                                SilentCase{"3", true}));

TEST(MainTest, LogThatCannotBeOpenedOrWrittenDoesNotStopTheSwitch) {
    for (const bool unopenable : {true, false}) {
        MainRun t;
        t.Set("log", "2");
        if (unopenable)
            t.sys.files.unopenable.insert(kLog);
        else
            t.sys.files.appendFails = true;
        t.Start();
        EXPECT_EQ(t.sys.services.status, ServiceStatus::Running) << unopenable;
        EXPECT_TRUE(t.adapter.enabled) << unopenable;
        EXPECT_EQ(t.sys.tray.calls.back(), "Delete") << unopenable;
    }
}

TEST(MainTest, SecondCopyEndsAtOnceWithoutATrace) {
    MainRun t;
    t.Set("log", "2");
    t.sys.host.anotherCopy = true;
    EXPECT_EQ(t.Start(), 0);
    EXPECT_FALSE(t.LogExists());
    EXPECT_TRUE(t.sys.tray.calls.empty());
    EXPECT_TRUE(t.sys.journal.events.empty());
    EXPECT_EQ(t.sys.services.statusQueries, 0);
    EXPECT_EQ(t.sys.os.adminQueries, 0);
}

struct UacCase {
    RegValue value;
    const char* line;
};
class MainUacTest : public TestWithParam<UacCase> {};

TEST_P(MainUacTest, LogsTheUacFlagAndLaunchesTheUi) {
    MainRun t;
    t.Set("log", "2");
    if (!std::holds_alternative<std::monostate>(GetParam().value)) t.SetEnableLua(GetParam().value);
    t.Start();
    const std::vector<std::string> lines = t.Logged();
    EXPECT_EQ(lines.at(4), fixture::kPrefix + std::string(GetParam().line));
    const bool active = std::string(GetParam().line).ends_with("TRUE");
    EXPECT_EQ(t.sys.processes.launched.size(), active ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Values, MainUacTest,
                         Values(UacCase{std::int32_t{1}, "-User Account Control active: TRUE"},
                                UacCase{std::int32_t{0}, "-User Account Control active: FALSE"},
                                UacCase{std::monostate{}, "-User Account Control active: FALSE"},
                                UacCase{std::string("1"), "-User Account Control active: TRUE"}));

TEST(MainTest, InstallDirWithQuotesAndBackslashGivesOneCleanCommandLine) {
    MainRun t;
    t.Set("force_uiexe", "True");
    t.sys.registry.Put(outside::kInstallDirKey, outside::kInstallDirValue,
                       std::string("\"C:\\Program Files\\Hamachi\\\""));
    t.Start();
    EXPECT_EQ(t.sys.processes.launched, std::vector<std::string>{kUiCommand});
    EXPECT_EQ(*t.sys.registry.Find(outside::kAutorunKey, outside::kAutorunValue),
              RegValue(kUiCommand));
}

TEST(MainTest, WithoutInstallDirTheSettingsCommandLineIsUsed) {
    MainRun t;
    t.sys.registry.values.clear();
    t.sys.settings.Put(kIni, "DONT_CHANGE_ANYTHING_HERE", "uiexe", "\"" + kUiPath + "\"");
    t.Set("force_uiexe", "1");
    t.Start();
    EXPECT_EQ(t.sys.processes.launched, std::vector<std::string>{"\"" + kUiPath + "\""});
}

TEST(MainTest, ProgramInADrivesRootKeepsOneBackslash) {
    MainRun t;
    t.sys.host.folder = "C:\\";
    t.sys.settings.Put("C:\\tunlatch.ini", "misc", "log", "1");
    t.sys.files.files["C:\\devcon.exe"] = std::string(55808, 'M');
    t.Start();
    EXPECT_EQ(t.sys.files.Lines("C:\\tunlatch.log").back(),
              fixture::kPrefix + std::string("Tunlatch: end (0 errors)"));
    EXPECT_EQ(t.sys.processes.commands.front(), "\"C:\\devcon.exe\" status \"hamachi\"");
}

TEST(MainTest, DownloadUsesTheArchiveAddressAndTheWorkFolderUnderTemp) {
    MainRun t;
    t.sys.host.version = {1, 0, 0, 0};
    t.sys.files.files.erase(fixture::kDevconPath);
    t.sys.dialogs.answers = {Answer::Yes};
    t.Start();
    ASSERT_EQ(t.sys.dialogs.questions.size(), 1u);
    EXPECT_EQ(t.sys.dialogs.questions[0].second, "Tunlatch V1.0.0");
    ASSERT_EQ(t.sys.download.downloads.size(), 1u);
    EXPECT_EQ(t.sys.download.downloads[0],
              (std::pair<std::string, std::string>{outside::kDevconArchiveUrl,
                                                   "C:\\Temp\\tunlatch.tmp\\devcon.exe"}));
}

TEST(MainTest, DeclinedDownloadEndsTheRunWithTheEndLineOnly) {
    MainRun t;
    t.Set("log", "1");
    t.sys.files.files.erase(fixture::kDevconPath);
    t.Start();
    EXPECT_EQ(t.Logged(),
              Stamped({"", "Tunlatch V1.2.1: begin", "ACTION: START", "Tunlatch: end (0 errors)"}));
    EXPECT_EQ(t.sys.services.status, ServiceStatus::Stopped);
    EXPECT_EQ(t.sys.tray.calls, (std::vector<std::string>{"Add grey Tunlatch", "Delete"}));
}

}  // namespace
}  // namespace tunlatch
