#include "run/run_log.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_system.h"

namespace tunlatch {
namespace {

TEST(RunLogTest, ErrorCountStopsAtItsLargestValue) {
    FakeClock clock;
    RunLog log(0, clock);
    for (int i = 0; i < 32768; ++i) log.Error("again");
    EXPECT_EQ(log.ErrorCount(), 32767);
}

}  // namespace
}  // namespace tunlatch
