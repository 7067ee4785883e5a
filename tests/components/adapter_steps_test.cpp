#include "components/adapter_steps.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/components/step_run.h"

namespace tunlatch {
namespace {

using fixture::Stamped;
using fixture::StepRun;
using ::testing::TestWithParam;
using ::testing::Values;

const std::string kStatusCommand = "\"C:\\Tools\\Tunlatch\\devcon.exe\" status \"hamachi\"";
const std::string kEnableCommand = "\"C:\\Tools\\Tunlatch\\devcon.exe\" enable \"hamachi\"";
const std::string kDisableCommand = "\"C:\\Tools\\Tunlatch\\devcon.exe\" disable \"hamachi\"";

const std::string kRunning =
    "ROOT\\NET\\0000\r\n    Name: Hamachi Network Interface\r\n    Driver is running.\r\n"
    "1 matching device(s) found.\r\n";
const std::string kDisabled =
    "ROOT\\NET\\0000\r\n    Name: Hamachi Network Interface\r\n    Device is disabled.\r\n"
    "1 matching device(s) found.\r\n";

// Answers the status command from a list, one per call (the last repeats), and the switch
// commands with the given output.
std::function<CaptureResult(const std::string&)> Devcon(std::vector<std::string> statuses,
                                                        std::string switchOutput) {
    auto answers = std::make_shared<std::vector<std::string>>(std::move(statuses));
    auto next = std::make_shared<std::size_t>(0);
    return [=](const std::string& command) -> CaptureResult {
        if (command != kStatusCommand) return switchOutput;
        const std::string answer = (*answers)[std::min(*next, answers->size() - 1)];
        ++*next;
        return answer;
    };
}

struct StatusCase {
    const char* output;
    const char* status;
};
class AdapterStatusTest : public TestWithParam<StatusCase> {};

TEST_P(AdapterStatusTest, ClassifiesTheToolsOutput) {
    StepRun t;
    t.sys.processes.onRun = [](const std::string&) {
        return CaptureResult(std::string(GetParam().output));
    };
    EXPECT_EQ(AdapterStatusText(GetNetworkAdapterStatus(t.run, "hamachi")), GetParam().status);
    EXPECT_EQ(t.sys.processes.commands, std::vector<std::string>{kStatusCommand});
    EXPECT_TRUE(t.Logged().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, AdapterStatusTest,
    Values(StatusCase{"a\r\n    Driver is running.\r\nb", "ENABLED"},
           StatusCase{"a\r\n    Device is disabled.\r\n", "DISABLED"},
           StatusCase{"Driver is running. Device is disabled.", "DISABLED"},
           StatusCase{"Device is disabled. Driver is running.", "DISABLED"},
           StatusCase{"driver is running", "UNKNOWN: driver is running"},
           StatusCase{"No matching devices found.\r\n", "UNKNOWN: No matching devices found.~"},
           StatusCase{"a\r\nb\nc\r", "UNKNOWN: a~b\nc\r"}, StatusCase{"", "UNKNOWN: "}));

TEST(AdapterStatusTest, ToolThatCannotRunIsAFailureOfItsOwnNeverTheToolsOutput) {
    const std::pair<CaptureFailure, const char*> cases[] = {
        {CaptureFailure::NotStarted, "ERROR: devcon.exe start fail!"},
        {CaptureFailure::PipeNotCreated, "ERROR: devcon.exe output pipe fail!"},
        {CaptureFailure::ReadFailed, "ERROR: devcon.exe output read fail!"}};
    for (const auto& [failure, line] : cases) {
        StepRun t;
        t.sys.processes.onRun = [failure](const std::string&) { return CaptureResult(failure); };
        SwitchNetworkAdapter(t.run, true);
        EXPECT_EQ(t.Texts(), (std::vector<std::string>{"Enable network adapter \"hamachi\": begin",
                                                       line, "Enable network adapter: end"}));
        EXPECT_EQ(t.log.ErrorCount(), 1);
    }
}

TEST(SwitchNetworkAdapterTest, EnablesADisabledAdapterWithThreeToolRuns) {
    StepRun t;
    t.sys.processes.onRun = Devcon({kDisabled, kRunning}, "ROOT\\NET\\0000: Enabled\r\n1 done.");
    SwitchNetworkAdapter(t.run, true);
    EXPECT_EQ(t.Logged(),
              Stamped({"Enable network adapter \"hamachi\": begin", "-status before: DISABLED",
                       "-devcon.exe done", "-status now: ENABLED",
                       "-devcon.exe output: ROOT\\NET\\0000: Enabled~1 done.",
                       "Enable network adapter: end"}));
    EXPECT_EQ(t.sys.processes.commands,
              (std::vector<std::string>{kStatusCommand, kEnableCommand, kStatusCommand}));
}

TEST(SwitchNetworkAdapterTest, DisablesAnEnabledAdapter) {
    StepRun t;
    t.sys.processes.onRun = Devcon({kRunning, kDisabled}, "ROOT\\NET\\0000: Disabled\r\n");
    SwitchNetworkAdapter(t.run, false);
    EXPECT_EQ(t.Logged(),
              Stamped({"Disable network adapter \"hamachi\": begin", "-status before: ENABLED",
                       "-devcon.exe done", "-status now: DISABLED",
                       "-devcon.exe output: ROOT\\NET\\0000: Disabled~",
                       "Disable network adapter: end"}));
    EXPECT_EQ(t.sys.processes.commands[1], kDisableCommand);
}

TEST(SwitchNetworkAdapterTest, VerdictComesFromTheSwitchOutputNotTheSecondStatus) {
    StepRun t;
    t.sys.processes.onRun = Devcon({kDisabled, kRunning}, "Enable failed");
    SwitchNetworkAdapter(t.run, true);
    EXPECT_EQ(t.Logged(),
              Stamped({"Enable network adapter \"hamachi\": begin", "-status before: DISABLED",
                       "-devcon.exe done", "-status now: ENABLED", "ERROR: activation fail!",
                       "-devcon.exe output: Enable failed", "Enable network adapter: end"}));
    EXPECT_EQ(t.log.ErrorCount(), 1);
}

TEST(SwitchNetworkAdapterTest, FailedDisableHasItsOwnLine) {
    StepRun t;
    t.sys.processes.onRun = Devcon({kRunning}, "ROOT\\NET\\0000: disabled");
    SwitchNetworkAdapter(t.run, false);
    EXPECT_EQ(t.Texts()[4], "ERROR: deactivation fail!");
}

struct SkipCase {
    bool enable;
    const std::string* status;
    const char* action;
};
class AdapterSkipTest : public TestWithParam<SkipCase> {};

TEST_P(AdapterSkipTest, AlreadyInTheTargetStateRunsTheToolOnce) {
    StepRun t;
    t.sys.processes.onRun = Devcon({*GetParam().status}, "unused");
    SwitchNetworkAdapter(t.run, GetParam().enable);
    const std::string action = GetParam().action;
    EXPECT_EQ(t.Logged(), Stamped({action + " network adapter \"hamachi\": begin",
                                   "-status correct, skip...", action + " network adapter: end"}));
    EXPECT_EQ(t.sys.processes.commands, std::vector<std::string>{kStatusCommand});
}

INSTANTIATE_TEST_SUITE_P(BothDirections, AdapterSkipTest,
                         Values(SkipCase{true, &kRunning, "Enable"},
                                SkipCase{false, &kDisabled, "Disable"}));

TEST(SwitchNetworkAdapterTest, UnknownStatusIsAnErrorAndNothingIsSwitched) {
    StepRun t;
    t.sys.processes.onRun = Devcon({"No matching devices found.\r\n"}, "unused");
    SwitchNetworkAdapter(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Enable network adapter \"hamachi\": begin",
                                   "ERROR: UNKNOWN: No matching devices found.~",
                                   "Enable network adapter: end"}));
    EXPECT_EQ(t.sys.processes.commands.size(), 1u);
}

TEST(SwitchNetworkAdapterTest, EmptyStatusOutputEndsInTheBlank) {
    StepRun t;
    SwitchNetworkAdapter(t.run, false);
    EXPECT_EQ(t.Texts()[1], "ERROR: UNKNOWN: ");
}

struct DevconCase {
    const char* architecture;
    std::size_t size;  // 0: no file
    const char* error;
};
class AdapterDevconTest : public TestWithParam<DevconCase> {};

TEST_P(AdapterDevconTest, MissingOrUnfitToolRunsNothing) {
    StepRun t;
    t.ctx.OsInfo.Architecture = GetParam().architecture;
    t.sys.files.files.erase(fixture::kDevconPath);
    if (GetParam().size)
        t.sys.files.files[fixture::kDevconPath] = std::string(GetParam().size, 'M');
    SwitchNetworkAdapter(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Enable network adapter \"hamachi\": begin", GetParam().error,
                                   "Enable network adapter: end"}));
    EXPECT_TRUE(t.sys.processes.commands.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CheckResults, AdapterDevconTest,
    Values(DevconCase{"x86", 0, "ERROR: devcon.exe not found!"},
           DevconCase{"x86", 92672, "ERROR: devcon.exe hasn't the correct version!"},
           DevconCase{"Itanium", 55808, "ERROR: devcon.exe hasn't the correct version!"}));

}  // namespace
}  // namespace tunlatch
