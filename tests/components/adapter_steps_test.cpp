#include "components/adapter_steps.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;
using fixture::StepRun;

TEST(AdapterStatusTest, ClassifiesTheToolsOutput) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\n    Driver is running.\r\nb", "ENABLED"},
        {"a\r\n    Device is disabled.\r\n", "DISABLED"},
        {"Device is disabled. Driver is running.", "DISABLED"},
        {"driver is running", "UNKNOWN: driver is running"},
        {"No matching devices found.\r\na\nb\r", "UNKNOWN: No matching devices found.~a\nb\r"}};
    for (const auto& [output, status] : cases) {
        StepRun t;
        t.sys.processes.onRun = [output](const std::string&) { return CaptureResult(output); };
        EXPECT_EQ(AdapterStatusText(GetNetworkAdapterStatus(t.run, "hamachi")), status);
        EXPECT_EQ(t.Journal(),
                  Lines{"RunCaptured \"C:\\Tools\\Tunlatch\\devcon.exe\" status \"hamachi\""});
    }
}

// The tool's answer to the switch command is the verdict; the second status is only reported.
TEST(SwitchNetworkAdapterTest, SwitchesThroughTheToolAndReportsEachFailureOnce) {
    const auto answering = [](CaptureResult answer) {
        return [answer](StepRun& t) {
            t.sys.processes.onRun = [&t, answer](const std::string& command) {
                return command.find(" status ") != std::string::npos ? t.adapter.Answer(command)
                                                                     : answer;
            };
        };
    };
    const auto always = [](CaptureResult answer) {
        return [answer](StepRun& t) {
            t.sys.processes.onRun = [answer](const std::string&) { return answer; };
        };
    };
    const struct {
        bool enable;
        std::function<void(StepRun&)> setup;
        Lines lines;  // between the begin and the end line
        int runs;     // of the tool
    } cases[] = {
        {true,
         [](StepRun&) {},
         {"-status before: DISABLED", "-devcon.exe done", "-status now: ENABLED",
          "-devcon.exe output: ROOT\\NET\\0000: Enabled~"},
         3},
        {false,
         [](StepRun& t) { t.adapter.enabled = true; },
         {"-status before: ENABLED", "-devcon.exe done", "-status now: DISABLED",
          "-devcon.exe output: ROOT\\NET\\0000: Disabled~"},
         3},
        {true,
         answering("Enable failed\r\n"),
         {"-status before: DISABLED", "-devcon.exe done", "-status now: DISABLED",
          "ERROR: activation fail!", "-devcon.exe output: Enable failed~"},
         3},
        {false,
         [&](StepRun& t) { t.adapter.enabled = true, answering(": Enabled")(t); },
         {"-status before: ENABLED", "-devcon.exe done", "-status now: ENABLED",
          "ERROR: deactivation fail!", "-devcon.exe output: : Enabled"},
         3},
        {true,
         answering(CaptureFailure::NotStarted),
         {"-status before: DISABLED", "ERROR: devcon.exe start fail!", "-status now: DISABLED",
          "ERROR: activation fail!"},
         3},
        {true, [](StepRun& t) { t.adapter.enabled = true; }, {"-status correct, skip..."}, 1},
        {false, [](StepRun&) {}, {"-status correct, skip..."}, 1},
        {true, [](StepRun& t) { t.sys.files.files.clear(); }, {"ERROR: devcon.exe not found!"}, 0},
        {true,
         [](StepRun& t) { t.sys.files.files[fixture::kDevconPath] += "M"; },
         {"ERROR: devcon.exe hasn't the correct version!"},
         0},
        {true,
         always("No matching devices found.\r\n"),
         {"ERROR: UNKNOWN: No matching devices found.~"},
         1},
        {true, always(CaptureFailure::NotStarted), {"ERROR: devcon.exe start fail!"}, 1},
        {true, always(CaptureFailure::PipeNotCreated), {"ERROR: devcon.exe output pipe fail!"}, 1},
        {true, always(CaptureFailure::ReadFailed), {"ERROR: devcon.exe output read fail!"}, 1},
    };
    for (const auto& c : cases) {
        StepRun t;
        c.setup(t);
        SwitchNetworkAdapter(t.run, c.enable);
        const std::string action = c.enable ? "Enable" : "Disable";
        Lines expected = c.lines;
        expected.insert(expected.begin(), action + " network adapter \"hamachi\": begin");
        expected.push_back(action + " network adapter: end");
        EXPECT_EQ(t.Texts(), expected);
        EXPECT_EQ(t.Journal().size(), static_cast<std::size_t>(c.runs)) << c.lines.front();
    }
}

}  // namespace
}  // namespace tunlatch
