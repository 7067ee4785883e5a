#include "components/service_steps.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/components/step_run.h"

namespace tunlatch {
namespace {

using fixture::Stamped;
using fixture::StepRun;
using ::testing::TestWithParam;
using ::testing::Values;

TEST(SwitchServiceTest, StartReachingRunningAtOnceMakesNoWait) {
    StepRun t;
    SwitchService(t.run, true);
    EXPECT_EQ(t.Logged(),
              Stamped({"Start service \"Hamachi2Svc\": begin", "-status: Stopped",
                       "-ServiceStart API done", "-status: Running", "Start service: end"}));
    EXPECT_TRUE(t.sys.processes.waits.empty());
    EXPECT_EQ(t.sys.services.lastService, "Hamachi2Svc");
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

TEST(SwitchServiceTest, StopPollsEveryHundredMillisecondsUntilStopped) {
    StepRun t;
    t.sys.services.statusScript = {ServiceStatus::Running, ServiceStatus::StopPending,
                                   ServiceStatus::StopPending, ServiceStatus::Stopped};
    SwitchService(t.run, false);
    EXPECT_EQ(t.Logged(),
              Stamped({"Stop service \"Hamachi2Svc\": begin", "-status: Running",
                       "-ServiceStop API done", "-status: Stop Pending", "-status: Stop Pending",
                       "-status: Stopped", "Stop service: end"}));
    EXPECT_EQ(t.sys.processes.waits, (std::vector<std::int32_t>{100, 100}));
    EXPECT_EQ(t.sys.journal.events,
              (std::vector<std::string>{"ServiceStop", "WaitMs 100", "WaitMs 100"}));
}

TEST(SwitchServiceTest, RequestIsMadeWhateverTheStateBefore) {
    StepRun t;
    t.sys.services.status = ServiceStatus::Running;
    SwitchService(t.run, true);
    EXPECT_EQ(t.sys.journal.events, std::vector<std::string>{"ServiceStart"});
    EXPECT_EQ(t.Texts()[1], "-status: Running");
}

TEST(SwitchServiceTest, NeverReachingTheStateGives302StatusLinesThenTheTimeOut) {
    StepRun t;
    t.sys.services.statusScript = {ServiceStatus::StartPending};
    SwitchService(t.run, true);
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "-status: Start Pending"), 302);
    EXPECT_EQ(t.sys.processes.waits, std::vector<std::int32_t>(300, 100));
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 3], "-status: Start Pending");
    EXPECT_EQ(texts[texts.size() - 2], "ERROR: timeout! last state: Start Pending");
    EXPECT_EQ(texts.back(), "Start service: end");
    EXPECT_EQ(t.log.ErrorCount(), 1);
}

TEST(SwitchServiceTest, TargetReachedOnTheLastPollStillReportsTheTimeOut) {
    StepRun t;
    // One answer before the request, one right after it, 299 after the waits, then the 300th.
    t.sys.services.statusScript.assign(301, ServiceStatus::StopPending);
    t.sys.services.statusScript.push_back(ServiceStatus::Stopped);
    SwitchService(t.run, false);
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(t.sys.processes.waits.size(), 300u);
    EXPECT_EQ(texts[texts.size() - 3], "-status: Stopped");
    EXPECT_EQ(texts[texts.size() - 2], "ERROR: timeout! last state: Stopped");
}

TEST(SwitchServiceTest, ServiceThatCannotBeOpenedTimesOutWithTheFailureText) {
    StepRun t;
    t.sys.services.statusScript = {ServiceStatus::ServiceNotOpened};
    SwitchService(t.run, false);
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(texts[texts.size() - 2], "ERROR: timeout! last state: OpenService fail!");
}

TEST(ChangeStartTypeTest, AlreadyRightSkipsWithoutChanging) {
    StepRun t;
    t.sys.services.startType = StartType::Automatic;
    ChangeStartType(t.run, true);
    EXPECT_EQ(t.Logged(), Stamped({"Change starttype \"Hamachi2Svc\" to SERVICE_AUTO_START: begin ",
                                   "-status correct, skip...", "Change starttype: end"}));
    EXPECT_TRUE(t.sys.journal.events.empty());
}

TEST(ChangeStartTypeTest, ChangesToOnDemandAndReadsBack) {
    StepRun t;
    t.sys.services.startType = StartType::Automatic;
    ChangeStartType(t.run, false);
    EXPECT_EQ(t.Logged(),
              Stamped({"Change starttype \"Hamachi2Svc\" to SERVICE_DEMAND_START: begin ",
                       "-status before: SERVICE_AUTO_START", "-ServiceSetStartType API done",
                       "-status now: SERVICE_DEMAND_START", "Change starttype: end"}));
    EXPECT_EQ(t.sys.journal.events, std::vector<std::string>{"ServiceSetStartType 3"});
}

TEST(ChangeStartTypeTest, ChangeThatDoesNotTakeNamesTheCodeAsANumber) {
    StepRun t;
    t.sys.services.startType = StartType::Disabled;
    t.sys.services.startTypeChangeWorks = false;
    ChangeStartType(t.run, true);
    EXPECT_EQ(t.Logged(),
              Stamped({"Change starttype \"Hamachi2Svc\" to SERVICE_AUTO_START: begin ",
                       "-status before: SERVICE_DISABLED", "-ServiceSetStartType API done",
                       "-status now: SERVICE_DISABLED",
                       "ERROR: change starttype fail! last state: 4", "Change starttype: end"}));
    EXPECT_EQ(t.log.ErrorCount(), 1);
}

TEST(ChangeStartTypeTest, UnreadableStartTypeIsReportedAsSuchNeverAsBootStart) {
    StepRun t;
    t.sys.services.startType = std::nullopt;
    t.sys.services.startTypeChangeWorks = false;
    ChangeStartType(t.run, true);
    const std::vector<std::string> texts = t.Texts();
    EXPECT_EQ(texts[1], "-status before: UNREADABLE");
    EXPECT_EQ(texts[3], "-status now: UNREADABLE");
    EXPECT_EQ(texts[4], "ERROR: change starttype fail! last state: UNREADABLE");
    EXPECT_EQ(t.log.ErrorCount(), 1);
}

}  // namespace
}  // namespace tunlatch
