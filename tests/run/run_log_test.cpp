#include "run/run_log.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_system.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kLog = "C:\\Tunlatch\\tunlatch.log";

TEST(RunLogTest, FailedWritesAndAMissingFileStopNothing) {
    FakeClock clock;
    FakeFileSystem files;
    RunLog log(2, clock);
    files.unopenable.insert(kLog);
    log.Open(files, kLog);
    log.Error("nowhere to go");
    files.unopenable.clear();
    log.Open(files, kLog);
    files.appendFails = true;
    log.Error("first");
    files.appendFails = false;
    log.Error("second");
    log.Close();
    log.Error("late");
    EXPECT_EQ(log.ErrorCount(), 4);
    EXPECT_EQ(files.Lines(kLog), Lines{"12/5/2026 07:04:09.031 ERROR: second"});
}

TEST(RunLogTest, ErrorCountStopsAtItsLargestValue) {
    FakeClock clock;
    RunLog log(0, clock);
    for (int i = 0; i < 32768; ++i) log.Error("again");
    EXPECT_EQ(log.ErrorCount(), 32767);
}

}  // namespace
}  // namespace tunlatch
