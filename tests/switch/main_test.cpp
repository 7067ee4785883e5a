#include "switch/main.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "components/outside_components.h"
#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;
using fixture::kUiCommand;
const std::string kIni = "C:\\Tools\\Tunlatch\\tunlatch.ini";

// A whole machine: the client installed and off, a right devcon.exe, UAC off, the log at level
// 2. The fixture's run context is not Main's: Main fills its own from these fakes.
struct MainRun : fixture::StepRun {
    MainRun() {
        sys.os.info.FullText = "Windows 7 Professional (x64) [Service Pack 1]";
        sys.os.info.FullNumbers = "PID:2 MAV:6";
        sys.os.info.Architecture = "x86";
        sys.registry.Put(outside::kInstallDirKey, outside::kInstallDirValue,
                         std::string("C:\\Program Files\\Hamachi"));
        sys.files.files.erase(fixture::kLogPath);
        Set("log", "2");
    }
    void Set(const std::string& key, const std::string& value) {
        sys.settings.Put(kIni, "misc", key, value);
    }
    Lines Start() {
        EXPECT_EQ(Main(sys.modules), 0);
        return Texts();
    }
    bool Did(const std::string& event) const {
        return std::find(Journal().begin(), Journal().end(), event) != Journal().end();
    }
};

TEST(MainTest, HeaderActionAndEndFrameTheSwitch) {
    MainRun t;
    t.Set("balloon_tips", "1");
    t.sys.os.admin = false;
    const Lines lines = t.Start();
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 12),
              (Lines{"", "Tunlatch V1.2.1: begin",
                     "-GetOSInf.FullText: Windows 7 Professional (x64) [Service Pack 1]",
                     "-GetOSInf.FullNumbers: PID:2 MAV:6", "-User Account Control active: FALSE",
                     "-IsAdmin: FALSE", "-INI_tray_icon: TRUE", "-INI_balloon_tips: TRUE",
                     "-INI_on_demand: FALSE", "-INI_force_uiexe: FALSE", "ACTION: START",
                     "Enable network adapter \"hamachi\": begin"}));
    EXPECT_EQ(lines.back(), "Tunlatch: end (0 errors)");
    EXPECT_EQ(t.sys.services.status, ServiceStatus::Running);
    EXPECT_EQ(*t.sys.registry.Find(outside::kAutorunKey, outside::kAutorunValue),
              RegValue(kUiCommand));
    EXPECT_EQ(t.Journal().back(), "Tray Delete");
}

TEST(MainTest, StopOnDemandAtLevelOneKeepsEarlierRunsAndMainLinesAndCountsErrors) {
    MainRun t;
    t.Set("log", "1");
    t.Set("on_demand", "1");
    t.sys.files.files[fixture::kLogPath] = "earlier run\r\n";
    t.sys.services.status = ServiceStatus::Running;
    t.sys.registry
        .failures["delete " + FakeRegistry::Key(outside::kAutorunKey, outside::kAutorunValue)] = 5;
    t.sys.registry.Put(outside::kAutorunKey, outside::kAutorunValue, "x");
    const Lines lines = t.Start();
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4),
              (Lines{"earlier run", "", "Tunlatch V1.2.1: begin", "ACTION: STOP ON DEMAND"}));
    EXPECT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines.back(), "Tunlatch: end (1 errors)");
    EXPECT_EQ(t.sys.services.status, ServiceStatus::Stopped);
}

TEST(MainTest, SwitchHappensWhateverBecomesOfTheLog) {
    for (const int variant : {0, 1, 2, 3}) {
        MainRun t;
        const char* levels[] = {"0", "no level", "3", "2"};
        t.Set("log", levels[variant]);
        if (variant == 3) t.sys.files.unopenable.insert(fixture::kLogPath);
        t.Start();
        EXPECT_EQ(t.sys.services.status, ServiceStatus::Running) << variant;
        // Level 3 opens, so creates, the log but writes nothing to it.
        EXPECT_EQ(t.sys.files.FileExists(fixture::kLogPath), variant == 2) << variant;
        EXPECT_EQ(t.sys.files.files[fixture::kLogPath], "") << variant;
    }
}

TEST(MainTest, SecondCopyEndsAtOnceWithoutATrace) {
    MainRun t;
    t.sys.host.anotherCopy = true;
    t.Start();
    EXPECT_FALSE(t.sys.files.FileExists(fixture::kLogPath));
    EXPECT_TRUE(t.Journal().empty());
    EXPECT_EQ(t.sys.services.statusQueries, 0);
}

TEST(MainTest, UacFromTheRegistryAsksForTheUiProgram) {
    const std::pair<RegValue, bool> cases[] = {{std::int32_t{1}, true},
                                               {std::int32_t{0}, false},
                                               {std::monostate{}, false},
                                               {std::string("1"), true}};
    for (const auto& [value, active] : cases) {
        MainRun t;
        if (!std::holds_alternative<std::monostate>(value))
            t.sys.registry.Put(outside::kPolicySystemKey, outside::kEnableLuaValue, value);
        EXPECT_EQ(t.Start()[4],
                  std::string("-User Account Control active: ") + (active ? "TRUE" : "FALSE"));
        EXPECT_EQ(t.Did("Launch " + kUiCommand), active);
    }
}

TEST(MainTest, UiCommandLineFromInstallDirOrElseFromTheSettings) {
    const struct {
        std::optional<std::string> installDir;
        std::string launched;
    } cases[] = {{"\"C:\\Program Files\\Hamachi\\\"", kUiCommand},
                 {std::nullopt, "\"" + fixture::kUiPath + "\""}};
    for (const auto& c : cases) {
        MainRun t;
        t.Set("force_uiexe", "True");
        t.sys.registry.values.clear();
        if (c.installDir)
            t.sys.registry.Put(outside::kInstallDirKey, outside::kInstallDirValue, *c.installDir);
        t.sys.settings.Put(kIni, "DONT_CHANGE_ANYTHING_HERE", "uiexe",
                           c.installDir ? "" : "\"" + fixture::kUiPath + "\"");
        t.Start();
        EXPECT_TRUE(t.Did("Launch " + c.launched)) << c.launched;
    }
}

TEST(MainTest, ProgramInADrivesRootKeepsOneBackslash) {
    MainRun t;
    t.sys.host.folder = "C:\\";
    t.sys.settings.Put("C:\\tunlatch.ini", "misc", "log", "1");
    t.sys.files.files["C:\\devcon.exe"] = std::string(55808, 'M');
    t.Start();
    EXPECT_EQ(t.sys.files.Lines("C:\\tunlatch.log").back(),
              fixture::kStamp + "Tunlatch: end (0 errors)");
    EXPECT_TRUE(t.Did("RunCaptured \"C:\\devcon.exe\" status \"hamachi\""));
}

TEST(MainTest, DownloadFetchesTheArchiveIntoTheWorkFolderUnderTemp) {
    MainRun t;
    t.sys.host.version = {1, 0, 0, 0};
    t.sys.files.files.erase(fixture::kDevconPath);
    t.sys.dialogs.answers = {Answer::Yes};
    t.Start();
    EXPECT_TRUE(t.sys.dialogs.questions.at(0).ends_with("|Tunlatch V1.0.0"));
    EXPECT_TRUE(
        t.Did("Download https://web.archive.org/web/20050322060636id_/"
              "http://download.microsoft.com/download/1/1/f/"
              "11f7dd10-272d-4cd2-896f-9ce67f3e0240/devcon.exe "
              "C:\\Temp\\tunlatch.tmp\\devcon.exe"));
}

}  // namespace
}  // namespace tunlatch
