#include "components/service_steps.h"

#include <gtest/gtest.h>

#include "tests/fakes/step_run.h"

namespace tunlatch {
namespace {

using Texts = std::vector<std::string>;
using fixture::StepRun;
constexpr ServiceStatus kStopPending = ServiceStatus::StopPending;

TEST(SwitchServiceTest, RequestsThenPollsEveryHundredMillisecondsUntilTheState) {
    StepRun t;
    t.sys.services.statusScript = {ServiceStatus::Running, kStopPending, kStopPending,
                                   ServiceStatus::Stopped};
    SwitchService(t.run, false);
    EXPECT_EQ(t.Texts(), (Texts{"Stop service \"Hamachi2Svc\": begin", "-status: Running",
                                "-ServiceStop API done", "-status: Stop Pending",
                                "-status: Stop Pending", "-status: Stopped", "Stop service: end"}));
    EXPECT_EQ(t.sys.processes.waits, (std::vector<std::int32_t>{100, 100}));
    EXPECT_EQ(t.log.ErrorCount(), 0);
}

TEST(SwitchServiceTest, StartReachedAtOnceWaitsNot) {
    StepRun t;
    SwitchService(t.run, true);
    EXPECT_EQ(t.Journal(), Texts{"ServiceStart Hamachi2Svc"});
    EXPECT_EQ(t.Texts(),
              (Texts{"Start service \"Hamachi2Svc\": begin", "-status: Stopped",
                     "-ServiceStart API done", "-status: Running", "Start service: end"}));
    EXPECT_TRUE(t.sys.processes.waits.empty());
}

// The verdict goes by the polls spent: 300 for 30 s, at least one for any time-out.
TEST(SwitchServiceTest, TimesOutAfterItsPollsEvenWhenTheLastPollReachesTheState) {
    const struct {
        float timeout;
        std::size_t reachedAfter;  // status answers before the target state
        std::size_t waits;
    } cases[] = {{30.0f, 1000, 300}, {30.0f, 301, 300}, {0.0f, 1000, 1}, {0.2f, 1000, 2}};
    for (const auto& c : cases) {
        StepRun t;
        t.ctx.ServiceTimeout = c.timeout;
        t.sys.services.statusScript.assign(c.reachedAfter, kStopPending);
        t.sys.services.statusScript.push_back(ServiceStatus::Stopped);
        SwitchService(t.run, false);
        const Texts texts = t.Texts();
        EXPECT_EQ(t.sys.processes.waits.size(), c.waits) << c.timeout;
        EXPECT_EQ(texts.size(), c.waits + 6) << c.timeout;
        EXPECT_EQ(texts[texts.size() - 2].rfind("ERROR: timeout! last state: ", 0), 0u);
        EXPECT_EQ(t.log.ErrorCount(), 1);
    }
}

TEST(ChangeStartTypeTest, SkipsWhatIsRightAndReportsAChangeThatDidNotTake) {
    const struct {
        std::optional<StartType> before;
        bool works;
        bool automatic;
        Texts middle;
    } cases[] = {
        {StartType::Automatic, true, true, {"-status correct, skip..."}},
        {StartType::Automatic,
         true,
         false,
         {"-status before: SERVICE_AUTO_START", "-ServiceSetStartType API done",
          "-status now: SERVICE_DEMAND_START"}},
        {StartType::Disabled,
         false,
         true,
         {"-status before: SERVICE_DISABLED", "-ServiceSetStartType API done",
          "-status now: SERVICE_DISABLED", "ERROR: change starttype fail! last state: 4"}},
        // A start type that cannot be read is no start type, least of all boot start.
        {std::nullopt,
         false,
         false,
         {"-status before: UNREADABLE", "-ServiceSetStartType API done", "-status now: UNREADABLE",
          "ERROR: change starttype fail! last state: UNREADABLE"}},
    };
    for (const auto& c : cases) {
        StepRun t;
        t.sys.services.startType = c.before;
        t.sys.services.startTypeChangeWorks = c.works;
        ChangeStartType(t.run, c.automatic);
        Texts expected = c.middle;
        expected.insert(expected.begin(),
                        std::string("Change starttype \"Hamachi2Svc\" to ") +
                            (c.automatic ? "SERVICE_AUTO_START" : "SERVICE_DEMAND_START") +
                            ": begin ");
        expected.push_back("Change starttype: end");
        EXPECT_EQ(t.Texts(), expected);
        EXPECT_EQ(t.Journal().size(), c.middle.size() == 1 ? 0u : 1u);
    }
}

}  // namespace
}  // namespace tunlatch
