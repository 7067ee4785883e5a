#include "run/run_log.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fakes/files_fake.h"
#include "tests/fakes/small_fakes.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kLog = "C:\\Tunlatch\\tunlatch.log";
constexpr const char* kPrefix = "12/5/2026 07:04:09.031 ";

TEST(GetTimeStamp, PadsEveryFieldOfTheLocalTime) {
    const std::pair<TimeOfDay, const char*> cases[] = {
        {{7, 4, 9, 31}, "07:04:09.031"},     {{0, 0, 0, 0}, "00:00:00.000"},
        {{23, 59, 59, 999}, "23:59:59.999"}, {{12, 30, 5, 7}, "12:30:05.007"},
        {{10, 10, 10, 100}, "10:10:10.100"},
    };
    FakeClock clock;
    for (const auto& [time, stamp] : cases) {
        clock.local = time;
        EXPECT_EQ(GetTimeStamp(clock), stamp);
    }
}

class RunLogTest : public ::testing::Test {
protected:
    // A run's worth of line kinds: separator, main, detail and error lines.
    std::int16_t WriteRun(std::int16_t level) {
        RunLog log(level, clock_);
        log.Open(files_, kLog);
        log.Separator();
        log.Main("Tunlatch V1.2.1: begin");
        log.Detail("choice: open download url");
        log.Error("unexpected state: Paused");
        log.Close();
        return log.ErrorCount();
    }

    FakeClock clock_;
    FakeFileSystem files_;
};

TEST_F(RunLogTest, LogLevelDecidesFileAndLinesAndErrorsCountAlways) {
    const std::string begin = kPrefix + std::string("Tunlatch V1.2.1: begin");
    const std::string detail = kPrefix + std::string("-choice: open download url");
    const std::string error = kPrefix + std::string("ERROR: unexpected state: Paused");
    const struct {
        std::int16_t level;
        bool fileExists;
        Lines lines;
    } cases[] = {
        {-5, false, {}},
        {0, false, {}},
        {1, true, {"", begin, error}},
        {2, true, {"", begin, detail, error}},
        {3, true, {}},
        {32767, true, {}},
    };
    for (const auto& c : cases) {
        files_.files.clear();
        EXPECT_EQ(WriteRun(c.level), 1) << c.level;
        EXPECT_EQ(files_.FileExists(kLog), c.fileExists) << c.level;
        EXPECT_EQ(files_.Lines(kLog), c.lines) << c.level;
    }
}

TEST_F(RunLogTest, EarlierRunsStayAndLevelThreeAddsNothing) {
    files_.files[kLog] = "earlier run\r\n";
    WriteRun(3);
    EXPECT_EQ(files_.files[kLog], "earlier run\r\n");
    WriteRun(1);
    EXPECT_EQ(files_.files[kLog].substr(0, 15), "earlier run\r\n\r\n");
    EXPECT_EQ(files_.Lines(kLog).size(), 4u);
}

TEST_F(RunLogTest, PrefixIsTodaysDateAndTheLocalTime) {
    clock_.shortDate = "05.12.2026";
    clock_.local = {23, 0, 1, 2};
    RunLog log(2, clock_);
    log.Open(files_, kLog);
    log.Detail("x");
    EXPECT_EQ(files_.Lines(kLog), Lines{"05.12.2026 23:00:01.002 -x"});
}

TEST_F(RunLogTest, FailedWritesAndAMissingFileStopNothing) {
    RunLog log(2, clock_);
    files_.unopenable.insert(kLog);
    log.Open(files_, kLog);
    log.Error("nowhere to go");
    files_.unopenable.clear();
    log.Open(files_, kLog);
    files_.appendFails = true;
    log.Error("first");
    log.Detail("detail");
    files_.appendFails = false;
    log.Error("second");
    log.Close();
    log.Error("late");
    EXPECT_EQ(log.ErrorCount(), 4);
    EXPECT_EQ(files_.Lines(kLog), Lines{kPrefix + std::string("ERROR: second")});
}

TEST_F(RunLogTest, ErrorCountStopsAtItsLargestValue) {
    RunLog log(0, clock_);
    for (int i = 0; i < 32768; ++i) log.Error("again");
    EXPECT_EQ(log.ErrorCount(), 32767);
}

}  // namespace
}  // namespace tunlatch
