#include "components/ui_steps.h"

#include <gtest/gtest.h>

#include "components/outside_components.h"
#include "tests/components/step_run.h"

namespace tunlatch {
namespace {

using fixture::Stamped;
using fixture::StepRun;
using ::testing::TestWithParam;
using ::testing::Values;

const std::string kUiPath = "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe";
const std::string kRegCommand = "\"" + kUiPath + "\" --auto-start";
const std::string kIniPath = "C:\\Tools\\Tunlatch\\tunlatch.ini";
const std::string kNotFound = "ERROR: UI EXE not found in tunlatch.ini nor in registry!";

struct UiRun : StepRun {
    UiRun() {
        ctx.REG_uiexe = kRegCommand;
        sys.files.files[kUiPath] = "MZ";
    }
    void PutAutorun(const std::string& text) {
        sys.registry.Put(outside::kAutorunKey, outside::kAutorunValue, text);
    }
    const RegValue* Autorun() const {
        return sys.registry.Find(outside::kAutorunKey, outside::kAutorunValue);
    }
    std::string AutorunKey() const {
        return FakeRegistry::Key(outside::kAutorunKey, outside::kAutorunValue);
    }
};

struct FileCase {
    const char* command;
    const char* path;
    bool exists;
};
class UiExeFileExistsTest : public TestWithParam<FileCase> {};

TEST_P(UiExeFileExistsTest, StripsArgumentAndQuotesOnly) {
    UiRun t;
    std::string path = "old";
    EXPECT_EQ(UiExeFileExists(t.sys.files, GetParam().command, path), GetParam().exists);
    EXPECT_EQ(path, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UiExeFileExistsTest,
    Values(FileCase{"\"C:\\Program Files\\Hamachi\\hamachi-2-ui.exe\" --auto-start",
                    "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe", true},
           FileCase{"C:\\Program Files\\Hamachi\\hamachi-2-ui.exe",
                    "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe", true},
           FileCase{"\"C:\\Program Files\\Hamachi\\hamachi-2-ui.exe\" --auto-start --auto-start",
                    "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe", true},
           FileCase{"\"C:\\Program Files\\Hamachi\\hamachi-2-ui.exe\" --AUTO-START",
                    "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe --AUTO-START", false},
           FileCase{"\"C:\\Program Files\\Hamachi\\hamachi-2-ui.exe\" --silent",
                    "C:\\Program Files\\Hamachi\\hamachi-2-ui.exe --silent", false},
           FileCase{"", "", false}));

TEST(SwitchUiExeTest, WithoutACauseNothingHappensAndNothingIsLogged) {
    UiRun t;
    SwitchUiExe(t.run, true);
    EXPECT_TRUE(t.Logged().empty());
    EXPECT_TRUE(t.sys.processes.launched.empty());
}

struct CauseCase {
    bool force;
    bool uac;
    const char* cause;
};
class UiCauseTest : public TestWithParam<CauseCase> {};

TEST_P(UiCauseTest, FirstMatchingCauseLaunchesMinimized) {
    UiRun t;
    t.ctx.INI_force_uiexe = GetParam().force;
    t.ctx.UacActive = GetParam().uac;
    t.sys.processes.activeProcesses = {4242};
    SwitchUiExe(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Start UI EXE: begin", GetParam().cause,
                                   "-pid: 4242 taskactive: TRUE", "Start UI EXE: end"}));
    EXPECT_EQ(t.sys.processes.launched, std::vector<std::string>{kRegCommand});
}

INSTANTIATE_TEST_SUITE_P(Causes, UiCauseTest,
                         Values(CauseCase{true, true, "-cause: ini_force_uiexe detected"},
                                CauseCase{true, false, "-cause: ini_force_uiexe detected"},
                                CauseCase{false, true, "-cause: UAC detected"}));

TEST(SwitchUiExeTest, ProcessGoneAtOnceIsOnlyReported) {
    UiRun t;
    t.ctx.UacActive = true;
    SwitchUiExe(t.run, false);
    EXPECT_EQ(t.Logged(), Stamped({"Stop UI EXE: begin", "-cause: UAC detected",
                                   "-pid: 4242 taskactive: FALSE", "Stop UI EXE: end"}));
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

TEST(SwitchUiExeTest, FailedLaunchReportsTheWindowsError) {
    UiRun t;
    t.ctx.UacActive = true;
    t.sys.processes.launchResult = {false, 0, 740};
    SwitchUiExe(t.run, true);
    EXPECT_EQ(t.Logged(),
              Stamped({"Start UI EXE: begin", "-cause: UAC detected",
                       "ERROR: UI EXE start fail! returncode: 740", "Start UI EXE: end"}));
    EXPECT_EQ(t.log.ErrorCount(), 1);
}

TEST(SwitchUiExeTest, NoCommandLineAnywhere) {
    UiRun t;
    t.ctx.UacActive = true;
    t.ctx.REG_uiexe.clear();
    SwitchUiExe(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Start UI EXE: begin", "-cause: UAC detected", kNotFound,
                                   "Start UI EXE: end"}));
    EXPECT_TRUE(t.sys.processes.launched.empty());
}

TEST(SwitchUiExeTest, SettingsCommandWinsWithoutFallBack) {
    UiRun t;
    t.ctx.UacActive = true;
    t.ctx.INI_uiexe = "\"D:\\Gone\\hamachi-2-ui.exe\" --auto-start";
    SwitchUiExe(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Start UI EXE: begin", "-cause: UAC detected",
                                   "ERROR: UI EXE (D:\\Gone\\hamachi-2-ui.exe) not found!",
                                   "Start UI EXE: end"}));
    EXPECT_TRUE(t.sys.processes.launched.empty());
}

TEST(SwitchRegistryAutorunTest, AddWritesTheCommandLine) {
    UiRun t;
    SwitchRegistryAutorun(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Add registry autorun \"LogMeIn Hamachi Ui\": begin",
                                   "-UI EXE (ini): ", "-UI EXE (reg config): " + kRegCommand,
                                   "-regvalueset rc: 0", "Add registry autorun: end"}));
    ASSERT_NE(t.Autorun(), nullptr);
    EXPECT_EQ(*t.Autorun(), RegValue(kRegCommand));
}

TEST(SwitchRegistryAutorunTest, AddKeepsAnyExistingText) {
    UiRun t;
    t.PutAutorun("\"E:\\elsewhere.exe\"");
    SwitchRegistryAutorun(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Add registry autorun \"LogMeIn Hamachi Ui\": begin",
                                   "-status correct, skip...", "Add registry autorun: end"}));
    EXPECT_EQ(*t.Autorun(), RegValue(std::string("\"E:\\elsewhere.exe\"")));
}

TEST(SwitchRegistryAutorunTest, AddFillsAnEmptyValue) {
    UiRun t;
    t.PutAutorun("");
    SwitchRegistryAutorun(t.run, true);
    EXPECT_EQ(*t.Autorun(), RegValue(kRegCommand));
}

TEST(SwitchRegistryAutorunTest, AddUsesTheSettingsCommandLine) {
    UiRun t;
    t.ctx.INI_uiexe = "\"" + kUiPath + "\"";
    SwitchRegistryAutorun(t.run, true);
    EXPECT_EQ(t.Texts()[1], "-UI EXE (ini): " + t.ctx.INI_uiexe);
    EXPECT_EQ(*t.Autorun(), RegValue(t.ctx.INI_uiexe));
}

TEST(SwitchRegistryAutorunTest, AddWithoutCommandLineOrFileWritesNothing) {
    UiRun t;
    t.ctx.REG_uiexe.clear();
    SwitchRegistryAutorun(t.run, true);
    t.ctx.REG_uiexe = kRegCommand;
    t.sys.files.files.erase(kUiPath);
    SwitchRegistryAutorun(t.run, true);
    EXPECT_EQ(
        t.Logged(),
        Stamped({"Add registry autorun \"LogMeIn Hamachi Ui\": begin", kNotFound,
                 "Add registry autorun: end", "Add registry autorun \"LogMeIn Hamachi Ui\": begin",
                 "-UI EXE (ini): ", "-UI EXE (reg config): " + kRegCommand,
                 "ERROR: UI EXE (" + kUiPath + ") not found!", "Add registry autorun: end"}));
    EXPECT_EQ(t.Autorun(), nullptr);
    EXPECT_EQ(t.log.ErrorCount(), 2);
}

TEST(SwitchRegistryAutorunTest, AddReportsAFailedWrite) {
    UiRun t;
    t.sys.registry.setFailures[t.AutorunKey()] = 5;
    SwitchRegistryAutorun(t.run, true);
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(texts[3], "-regvalueset rc: 5");
    EXPECT_EQ(texts[4], "ERROR: reg set fail! returncode: 5");
}

TEST(SwitchRegistryAutorunTest, RemoveOfAnAbsentValueSkips) {
    UiRun t;
    SwitchRegistryAutorun(t.run, false);
    EXPECT_EQ(t.Logged(), Stamped({"Remove registry autorun \"LogMeIn Hamachi Ui\": begin",
                                   "-status correct, skip...", "Remove registry autorun: end"}));
    EXPECT_EQ(t.sys.journal.events, std::vector<std::string>{"RegValueGet LogMeIn Hamachi Ui"});
}

TEST(SwitchRegistryAutorunTest, RemoveDeletesWithoutSavingWhenTheRegistryKnowsTheFolder) {
    UiRun t;
    t.PutAutorun(kRegCommand + " ");
    SwitchRegistryAutorun(t.run, false);
    EXPECT_EQ(t.Logged(),
              Stamped({"Remove registry autorun \"LogMeIn Hamachi Ui\": begin",
                       "-UI EXE (reg autostart): " + kRegCommand + " ", "-regvalueget rc: 0",
                       "-regfielddelete rc: 0", "Remove registry autorun: end"}));
    EXPECT_EQ(t.Autorun(), nullptr);
    EXPECT_TRUE(t.sys.settings.writes.empty());
}

TEST(SwitchRegistryAutorunTest, RemoveSavesTheCommandLineWhenTheRegistryGivesNoFolder) {
    UiRun t;
    t.ctx.REG_uiexe.clear();
    t.ctx.INI_uiexe = "\"C:\\old\\hamachi-2-ui.exe\"";
    t.PutAutorun(kRegCommand);
    SwitchRegistryAutorun(t.run, false);
    EXPECT_EQ(t.Logged(), Stamped({"Remove registry autorun \"LogMeIn Hamachi Ui\": begin",
                                   "-UI EXE (reg autostart): " + kRegCommand, "-regvalueget rc: 0",
                                   "-inivalueset rc: 0", "-regfielddelete rc: 0",
                                   "Remove registry autorun: end"}));
    using Write = std::tuple<std::string, std::string, std::string, std::string>;
    EXPECT_EQ(t.sys.settings.writes,
              (std::vector<Write>{{kIniPath, "DONT_CHANGE_ANYTHING_HERE", "uiexe", kRegCommand}}));
    EXPECT_EQ(t.ctx.INI_uiexe, "\"C:\\old\\hamachi-2-ui.exe\"");
    EXPECT_EQ(t.Autorun(), nullptr);
}

TEST(SwitchRegistryAutorunTest, RemoveDoesNotSaveWhatTheSettingsAlreadyHold) {
    UiRun t;
    t.ctx.REG_uiexe.clear();
    t.ctx.INI_uiexe = kRegCommand;
    t.PutAutorun(kRegCommand);
    SwitchRegistryAutorun(t.run, false);
    EXPECT_TRUE(t.sys.settings.writes.empty());
    EXPECT_EQ(t.Autorun(), nullptr);
}

TEST(SwitchRegistryAutorunTest, RemoveLogsAFailedSaveAndStillDeletes) {
    UiRun t;
    t.ctx.REG_uiexe.clear();
    t.sys.settings.writeWorks = false;
    t.PutAutorun(kRegCommand);
    SwitchRegistryAutorun(t.run, false);
    EXPECT_EQ(t.Texts()[3], "-inivalueset rc: 2");
    EXPECT_EQ(t.Autorun(), nullptr);
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

TEST(SwitchRegistryAutorunTest, RemoveReadsAgainAfterAnotherCodeAndStopsSilently) {
    UiRun t;
    t.PutAutorun(kRegCommand);
    t.sys.registry.getFailures[t.AutorunKey()] = 5;
    SwitchRegistryAutorun(t.run, false);
    EXPECT_EQ(t.Logged(), Stamped({"Remove registry autorun \"LogMeIn Hamachi Ui\": begin",
                                   "-UI EXE (reg autostart): ", "-regvalueget rc: 5",
                                   "Remove registry autorun: end"}));
    EXPECT_EQ(t.sys.journal.events, (std::vector<std::string>{"RegValueGet LogMeIn Hamachi Ui",
                                                              "RegValueGet LogMeIn Hamachi Ui"}));
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

TEST(SwitchRegistryAutorunTest, RemoveReportsAFailedDelete) {
    UiRun t;
    t.PutAutorun(kRegCommand);
    t.sys.registry.deleteFailures[t.AutorunKey()] = 5;
    SwitchRegistryAutorun(t.run, false);
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(texts[3], "-regfielddelete rc: 5");
    EXPECT_EQ(texts[4], "ERROR: reg delete fail! returncode: 5");
    EXPECT_EQ(t.log.ErrorCount(), 1);
}

}  // namespace
}  // namespace tunlatch
