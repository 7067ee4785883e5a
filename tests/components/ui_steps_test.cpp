#include "components/ui_steps.h"

#include <gtest/gtest.h>

#include <functional>

#include "components/outside_components.h"
#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;
using fixture::kUiCommand;
using fixture::kUiPath;
using fixture::StepRun;

const std::string kOther = "\"C:\\old\\hamachi-2-ui.exe\"";
const std::string kNotFound = "ERROR: UI EXE not found in tunlatch.ini nor in registry!";
const std::string kAutorun =
    "get " + FakeRegistry::Key(outside::kAutorunKey, outside::kAutorunValue);

void PutAutorun(StepRun& t, const std::string& text) {
    t.sys.registry.Put(outside::kAutorunKey, outside::kAutorunValue, text);
}

struct Case {
    std::function<void(StepRun&)> setup;
    Lines lines;    // between the begin and the end line
    Lines journal;  // the calls that change something
};

void Check(void (*step)(Run&, bool), bool on, const char* what, const Case& c) {
    StepRun t;
    c.setup(t);
    step(t.run, on);
    Lines lines = t.Texts();
    ASSERT_GE(lines.size(), 2u) << what;
    EXPECT_EQ(Lines(lines.begin() + 1, lines.end() - 1), c.lines) << what;
    EXPECT_EQ(t.Journal(), c.journal) << what;
}

TEST(UiExeFileExistsTest, StripsTheArgumentAndTheQuotesOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {kUiCommand + " --auto-start", kUiPath},
        {kUiPath, kUiPath},
        {"\"" + kUiPath + "\" --AUTO-START", kUiPath + " --AUTO-START"},
        {"", ""}};
    for (const auto& [command, path] : cases) {
        StepRun t;
        std::string found = "old";
        EXPECT_EQ(UiExeFileExists(t.sys.files, command, found), path == kUiPath) << command;
        EXPECT_EQ(found, path);
    }
}

TEST(SwitchUiExeTest, LaunchesMinimizedForACauseAndReportsWhatStopsIt) {
    const Case cases[] = {
        {[](StepRun& t) { t.ctx.INI_force_uiexe = t.ctx.UacActive = true; },
         {"-cause: ini_force_uiexe detected", "-pid: 4242 taskactive: FALSE"},
         {"Launch " + kUiCommand}},
        {[](StepRun& t) { t.ctx.UacActive = true, t.sys.processes.activeProcesses = {4242}; },
         {"-cause: UAC detected", "-pid: 4242 taskactive: TRUE"},
         {"Launch " + kUiCommand}},
        {[](StepRun& t) { t.ctx.UacActive = true, t.ctx.REG_uiexe.clear(); },
         {"-cause: UAC detected", kNotFound},
         {}},
        // The settings' command line wins, without falling back to the registry's.
        {[](StepRun& t) { t.ctx.UacActive = true, t.ctx.INI_uiexe = kOther; },
         {"-cause: UAC detected", "ERROR: UI EXE (C:\\old\\hamachi-2-ui.exe) not found!"},
         {}},
        {[](StepRun& t) {
             t.ctx.UacActive = true, t.sys.processes.launchResult = {false, 0, 193};
         },
         {"-cause: UAC detected", "ERROR: UI EXE start fail! returncode: 193"},
         {"Launch " + kUiCommand}}};
    for (const Case& c : cases) Check(SwitchUiExe, true, "launch", c);

    StepRun t;
    SwitchUiExe(t.run, true);
    EXPECT_TRUE(t.Texts().empty()) << "without a cause";
}

TEST(SwitchRegistryAutorunTest, AddWritesTheCommandLineWhereNoTextIsThere) {
    const Lines written = {"-UI EXE (ini): ", "-UI EXE (reg config): " + kUiCommand,
                           "-regvalueset rc: 0"};
    const Case cases[] = {
        {[](StepRun&) {}, written, {"RegValueSet LogMeIn Hamachi Ui"}},
        {[](StepRun& t) { PutAutorun(t, ""); }, written, {"RegValueSet LogMeIn Hamachi Ui"}},
        {[](StepRun& t) { PutAutorun(t, kOther); }, {"-status correct, skip..."}, {}},
        {[](StepRun& t) { t.ctx.REG_uiexe.clear(); }, {kNotFound}, {}},
        {[](StepRun& t) { t.ctx.INI_uiexe = kOther; },
         {"-UI EXE (ini): " + kOther, "-UI EXE (reg config): " + kUiCommand,
          "ERROR: UI EXE (C:\\old\\hamachi-2-ui.exe) not found!"},
         {}},
        {[](StepRun& t) { t.sys.registry.failures["set" + kAutorun.substr(3)] = 5; },
         {"-UI EXE (ini): ", "-UI EXE (reg config): " + kUiCommand, "-regvalueset rc: 5",
          "ERROR: reg set fail! returncode: 5"},
         {"RegValueSet LogMeIn Hamachi Ui"}}};
    for (const Case& c : cases) Check(SwitchRegistryAutorun, true, "add", c);
}

// Where the registry names no folder, the value may be the only record of the UI's command line.
TEST(SwitchRegistryAutorunTest, RemoveKeepsTheCommandLineWhereOnlyTheValueHasIt) {
    const std::string read = "-UI EXE (reg autostart): " + kUiCommand;
    const std::string deleted = "RegValueDelete LogMeIn Hamachi Ui";
    const Case cases[] = {
        {[](StepRun&) {}, {"-status correct, skip..."}, {}},
        {[](StepRun& t) { PutAutorun(t, kUiCommand); },
         {read, "-regvalueget rc: 0", "-regfielddelete rc: 0"},
         {deleted}},
        {[](StepRun& t) { PutAutorun(t, kUiCommand), t.ctx.REG_uiexe.clear(); },
         {read, "-regvalueget rc: 0", "-inivalueset rc: 0", "-regfielddelete rc: 0"},
         {"WriteINI uiexe=" + kUiCommand, deleted}},
        {[](StepRun& t) {
             PutAutorun(t, kUiCommand), t.ctx.REG_uiexe.clear(), t.ctx.INI_uiexe = kUiCommand;
         },
         {read, "-regvalueget rc: 0", "-regfielddelete rc: 0"},
         {deleted}},
        {[](StepRun& t) {
             PutAutorun(t, kUiCommand), t.ctx.REG_uiexe.clear(), t.sys.settings.writeWorks = false;
         },
         {read, "-regvalueget rc: 0", "-inivalueset rc: 2", "-regfielddelete rc: 0"},
         {"WriteINI uiexe=" + kUiCommand, deleted}},
        {[](StepRun& t) { PutAutorun(t, kUiCommand), t.sys.registry.failures[kAutorun] = 5; },
         {"-UI EXE (reg autostart): ", "-regvalueget rc: 5"},
         {}},
        {[](StepRun& t) {
             PutAutorun(t, kUiCommand), t.sys.registry.failures["delete" + kAutorun.substr(3)] = 5;
         },
         {read, "-regvalueget rc: 0", "-regfielddelete rc: 5",
          "ERROR: reg delete fail! returncode: 5"},
         {deleted}}};
    for (const Case& c : cases) Check(SwitchRegistryAutorun, false, "remove", c);
}

}  // namespace
}  // namespace tunlatch
