#include "components/adapter_steps.h"

#include <gtest/gtest.h>

#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Texts = std::vector<std::string>;
using fixture::StepRun;

const std::string kTool = "\"C:\\Tools\\Tunlatch\\devcon.exe\" ";

TEST(AdapterStatusTest, ClassifiesTheToolsOutput) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\n    Driver is running.\r\nb", "ENABLED"},
        {"a\r\n    Device is disabled.\r\n", "DISABLED"},
        {"Device is disabled. Driver is running.", "DISABLED"},
        {"driver is running", "UNKNOWN: driver is running"},
        {"No matching devices found.\r\na\nb\r", "UNKNOWN: No matching devices found.~a\nb\r"},
    };
    for (const auto& [output, status] : cases) {
        StepRun t;
        t.sys.processes.onRun = [output](const std::string&) { return CaptureResult(output); };
        EXPECT_EQ(AdapterStatusText(GetNetworkAdapterStatus(t.run, "hamachi")), status);
        EXPECT_EQ(t.Journal(), Texts{"RunCaptured " + kTool + "status \"hamachi\""});
    }
}

TEST(SwitchNetworkAdapterTest, ChangesThroughTheToolAndJudgesByItsAnswer) {
    const struct {
        bool enable;
        const char* answer;  // of the switch command; empty: the adapter follows
        Texts middle;
    } cases[] = {
        {true,
         "",
         {"-status before: DISABLED", "-devcon.exe done", "-status now: ENABLED",
          "-devcon.exe output: ROOT\\NET\\0000: Enabled~"}},
        {true,
         "Enable failed\r\n",
         {"-status before: DISABLED", "-devcon.exe done", "-status now: DISABLED",
          "ERROR: activation fail!", "-devcon.exe output: Enable failed~"}},
        {false,
         "ROOT\\NET\\0000: Enabled\r\n",
         {"-status before: ENABLED", "-devcon.exe done", "-status now: ENABLED",
          "ERROR: deactivation fail!", "-devcon.exe output: ROOT\\NET\\0000: Enabled~"}},
    };
    for (const auto& c : cases) {
        StepRun t;
        t.adapter.enabled = !c.enable;
        const std::string answer = c.answer;
        if (!answer.empty())
            t.sys.processes.onRun = [&t, answer](const std::string& command) {
                return command.find(" status ") != std::string::npos ? t.adapter.Answer(command)
                                                                     : CaptureResult(answer);
            };
        SwitchNetworkAdapter(t.run, c.enable);
        const std::string action = c.enable ? "Enable" : "Disable";
        Texts expected = c.middle;
        expected.insert(expected.begin(), action + " network adapter \"hamachi\": begin");
        expected.push_back(action + " network adapter: end");
        EXPECT_EQ(t.Texts(), expected);
        const std::string verb = c.enable ? "enable" : "disable";
        EXPECT_EQ(t.Journal()[1], "RunCaptured " + kTool + verb + " \"hamachi\"");
    }
}

TEST(SwitchNetworkAdapterTest, AdapterAlreadyRightIsOnlyAsked) {
    for (const bool enable : {true, false}) {
        StepRun t;
        t.adapter.enabled = enable;
        SwitchNetworkAdapter(t.run, enable);
        EXPECT_EQ(t.Texts()[1], "-status correct, skip...");
        EXPECT_EQ(t.Journal().size(), 1u);
    }
}

// Whatever keeps the tool from answering ends the step with one error line and switches nothing.
TEST(SwitchNetworkAdapterTest, NoUsableAnswerIsOneErrorAndNoSwitch) {
    const struct {
        std::optional<std::string> tool;  // nullopt: no devcon.exe
        std::optional<CaptureResult> answer;
        const char* error;
    } cases[] = {
        {std::nullopt, {}, "ERROR: devcon.exe not found!"},
        {std::string(55807, 'M'), {}, "ERROR: devcon.exe hasn't the correct version!"},
        {std::string(55808, 'M'), CaptureResult("No matching devices found.\r\n"),
         "ERROR: UNKNOWN: No matching devices found.~"},
        {std::string(55808, 'M'), CaptureResult(CaptureFailure::NotStarted),
         "ERROR: devcon.exe start fail!"},
        {std::string(55808, 'M'), CaptureResult(CaptureFailure::PipeNotCreated),
         "ERROR: devcon.exe output pipe fail!"},
        {std::string(55808, 'M'), CaptureResult(CaptureFailure::ReadFailed),
         "ERROR: devcon.exe output read fail!"},
    };
    for (const auto& c : cases) {
        StepRun t;
        t.sys.files.files.erase(fixture::kDevconPath);
        if (c.tool) t.sys.files.files[fixture::kDevconPath] = *c.tool;
        if (c.answer) t.sys.processes.onRun = [&c](const std::string&) { return *c.answer; };
        SwitchNetworkAdapter(t.run, true);
        EXPECT_EQ(t.Texts(), (Texts{"Enable network adapter \"hamachi\": begin", c.error,
                                    "Enable network adapter: end"}));
        EXPECT_EQ(t.log.ErrorCount(), 1);
        EXPECT_LE(t.Journal().size(), 1u);
    }
}

TEST(SwitchNetworkAdapterTest, ChangeThatCannotStartTheToolFails) {
    StepRun t;
    t.sys.processes.onRun = [&t](const std::string& command) {
        return command.find(" status ") != std::string::npos
                   ? t.adapter.Answer(command)
                   : CaptureResult(CaptureFailure::NotStarted);
    };
    SwitchNetworkAdapter(t.run, true);
    EXPECT_EQ(t.Texts()[2], "ERROR: devcon.exe start fail!");
    EXPECT_EQ(t.Texts()[4], "ERROR: activation fail!");
    EXPECT_EQ(t.log.ErrorCount(), 2);
}

}  // namespace
}  // namespace tunlatch
