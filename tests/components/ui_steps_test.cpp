#include "components/ui_steps.h"

#include <gtest/gtest.h>

#include "components/outside_components.h"
#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Texts = std::vector<std::string>;
using fixture::kUiCommand;
using fixture::kUiPath;
using fixture::StepRun;

const std::string kOtherCommand = "\"C:\\old\\hamachi-2-ui.exe\"";
const std::string kNotFound = "ERROR: UI EXE not found in tunlatch.ini nor in registry!";

struct UiRun : StepRun {
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

TEST(UiExeFileExistsTest, StripsTheArgumentAndTheQuotesOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {kUiCommand, kUiPath},
        {kUiPath, kUiPath},
        {kUiCommand + " --auto-start", kUiPath},
        {"\"" + kUiPath + "\" --AUTO-START", kUiPath + " --AUTO-START"},
        {"", ""},
    };
    for (const auto& [command, path] : cases) {
        UiRun t;
        std::string found = "old";
        EXPECT_EQ(UiExeFileExists(t.sys.files, command, found), path == kUiPath) << command;
        EXPECT_EQ(found, path);
    }
}

TEST(SwitchUiExeTest, LaunchesMinimizedOnlyForACause) {
    const struct {
        bool force;
        bool uac;
        const char* cause;  // nullptr: nothing happens
    } cases[] = {{false, false, nullptr},
                 {true, true, "-cause: ini_force_uiexe detected"},
                 {false, true, "-cause: UAC detected"}};
    for (const auto& c : cases) {
        UiRun t;
        t.ctx.INI_force_uiexe = c.force;
        t.ctx.UacActive = c.uac;
        t.sys.processes.activeProcesses = {4242};
        SwitchUiExe(t.run, true);
        if (!c.cause) {
            EXPECT_TRUE(t.Texts().empty());
            continue;
        }
        EXPECT_EQ(t.Texts(), (Texts{"Start UI EXE: begin", c.cause, "-pid: 4242 taskactive: TRUE",
                                    "Start UI EXE: end"}));
        EXPECT_EQ(t.Journal(), Texts{"Launch " + kUiCommand});
    }
}

TEST(SwitchUiExeTest, ReportsWhatKeepsTheProgramFromRunning) {
    const struct {
        std::string ini, reg;
        bool file;
        bool launches;
        const char* line;
    } cases[] = {
        {"", "", true, false, kNotFound.c_str()},
        {"", kUiCommand, false, false,
         "ERROR: UI EXE (C:\\Program Files\\Hamachi\\hamachi-2-ui.exe) not found!"},
        // The settings' command line wins, without falling back to the registry's.
        {kOtherCommand, kUiCommand, true, false,
         "ERROR: UI EXE (C:\\old\\hamachi-2-ui.exe) not found!"},
        {"", kUiCommand, true, true, "-pid: 4242 taskactive: FALSE"},
    };
    for (const auto& c : cases) {
        UiRun t;
        t.ctx.UacActive = true;
        t.ctx.INI_uiexe = c.ini;
        t.ctx.REG_uiexe = c.reg;
        if (!c.file) t.sys.files.files.clear();
        SwitchUiExe(t.run, false);
        EXPECT_EQ(t.Texts(), (Texts{"Stop UI EXE: begin", "-cause: UAC detected", c.line,
                                    "Stop UI EXE: end"}));
        EXPECT_EQ(t.Journal().size(), c.launches ? 1u : 0u);
    }
}

TEST(SwitchUiExeTest, FailedLaunchReportsTheWindowsError) {
    UiRun t;
    t.ctx.INI_force_uiexe = true;
    t.sys.processes.launchResult = {false, 0, 193};
    SwitchUiExe(t.run, true);
    EXPECT_EQ(t.Texts()[2], "ERROR: UI EXE start fail! returncode: 193");
    EXPECT_EQ(t.log.ErrorCount(), 1);
}

TEST(SwitchRegistryAutorunTest, AddWritesTheCommandLineUnlessAnyTextIsThere) {
    const struct {
        std::optional<std::string> present;
        std::string ini;
        std::optional<std::string> written;
    } cases[] = {
        {std::nullopt, "", kUiCommand},
        {"", "", kUiCommand},
        {"\"E:\\elsewhere.exe\"", "", std::nullopt},
        {std::nullopt, "\"" + kUiPath + "\"", "\"" + kUiPath + "\""},
    };
    for (const auto& c : cases) {
        UiRun t;
        if (c.present) t.PutAutorun(*c.present);
        t.ctx.INI_uiexe = c.ini;
        SwitchRegistryAutorun(t.run, true);
        EXPECT_EQ(t.Journal().size(), c.written ? 1u : 0u);
        if (c.written) {
            EXPECT_EQ(*t.Autorun(), RegValue(*c.written));
            EXPECT_EQ(t.Texts(),
                      (Texts{"Add registry autorun \"LogMeIn Hamachi Ui\": begin",
                             "-UI EXE (ini): " + c.ini, "-UI EXE (reg config): " + kUiCommand,
                             "-regvalueset rc: 0", "Add registry autorun: end"}));
        }
    }
}

TEST(SwitchRegistryAutorunTest, AddWithoutAProgramOrWithAFailedWriteIsAnError) {
    for (const int variant : {0, 1, 2}) {
        UiRun t;
        if (variant == 0) t.ctx.REG_uiexe.clear();
        if (variant == 1) t.sys.files.files.clear();
        if (variant == 2) t.sys.registry.setFailures[t.AutorunKey()] = 5;
        SwitchRegistryAutorun(t.run, true);
        const Texts texts = t.Texts();
        const std::string expected[] = {kNotFound, "ERROR: UI EXE (" + kUiPath + ") not found!",
                                        "ERROR: reg set fail! returncode: 5"};
        EXPECT_EQ(texts[texts.size() - 2], expected[variant]);
        EXPECT_EQ(t.log.ErrorCount(), 1);
        EXPECT_EQ(t.Autorun(), nullptr);
    }
}

TEST(SwitchRegistryAutorunTest, RemoveSavesTheCommandLineOnlyWhereTheRegistryNamesNoFolder) {
    const struct {
        std::string reg, ini;
        bool saved;
    } cases[] = {{kUiCommand, "", false}, {"", kOtherCommand, true}, {"", kUiCommand, false}};
    for (const auto& c : cases) {
        UiRun t;
        t.ctx.REG_uiexe = c.reg;
        t.ctx.INI_uiexe = c.ini;
        t.PutAutorun(kUiCommand);
        SwitchRegistryAutorun(t.run, false);
        Texts expected = {"Remove registry autorun \"LogMeIn Hamachi Ui\": begin",
                          "-UI EXE (reg autostart): " + kUiCommand, "-regvalueget rc: 0",
                          "-regfielddelete rc: 0", "Remove registry autorun: end"};
        if (c.saved) expected.insert(expected.begin() + 3, "-inivalueset rc: 0");
        EXPECT_EQ(t.Texts(), expected);
        Texts journal = {"RegValueDelete LogMeIn Hamachi Ui"};
        if (c.saved) journal.insert(journal.begin(), "WriteINI uiexe=" + kUiCommand);
        EXPECT_EQ(t.Journal(), journal);
    }
}

TEST(SwitchRegistryAutorunTest, RemoveReportsWhatFailed) {
    const struct {
        int failure;  // 0: none; 1: the read, 2: the save, 3: the delete
        Texts tail;
    } cases[] = {
        {0, {"-status correct, skip..."}},
        {1, {"-UI EXE (reg autostart): ", "-regvalueget rc: 5"}},
        {2, {"-inivalueset rc: 2", "-regfielddelete rc: 0"}},
        {3, {"-regfielddelete rc: 5", "ERROR: reg delete fail! returncode: 5"}},
    };
    for (const auto& c : cases) {
        UiRun t;
        if (c.failure > 0) t.PutAutorun(kUiCommand);
        t.ctx.REG_uiexe.clear();
        if (c.failure == 1) t.sys.registry.getFailures[t.AutorunKey()] = 5;
        if (c.failure == 2) t.sys.settings.writeWorks = false;
        if (c.failure == 3) t.sys.registry.deleteFailures[t.AutorunKey()] = 5;
        SwitchRegistryAutorun(t.run, false);
        Texts texts = t.Texts();
        texts.pop_back();
        EXPECT_EQ(Texts(texts.end() - c.tail.size(), texts.end()), c.tail) << c.failure;
        EXPECT_EQ(t.log.ErrorCount(), c.failure == 3 ? 1 : 0);
    }
}

}  // namespace
}  // namespace tunlatch
