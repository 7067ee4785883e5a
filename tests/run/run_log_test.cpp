#include "run/run_log.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_system.h"

namespace tunlatch {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kLog = "C:\\Tunlatch\\tunlatch.log";

TEST(GetTimeStamp, PadsEveryFieldOfTheLocalTime) {
    const std::pair<TimeOfDay, const char*> cases[] = {
        {{7, 4, 9, 31}, "07:04:09.031"},
        {{23, 59, 59, 999}, "23:59:59.999"},
        {{10, 10, 10, 100}, "10:10:10.100"},
    };
    FakeClock clock;
    for (const auto& [time, stamp] : cases) {
        clock.local = time;
        EXPECT_EQ(GetTimeStamp(clock), stamp);
    }
}

TEST(RunLogTest, LogLevelDecidesFileAndLinesAndErrorsCountAlways) {
    const std::string stamp = "05.12.2026 23:00:01.002 ";
    const std::string begin = stamp + "Tunlatch V1.2.1: begin";
    const std::string detail = stamp + "-choice: open download url";
    const std::string error = stamp + "ERROR: unexpected state: Paused";
    const struct {
        std::int16_t level;
        bool fileExists;
        Lines lines;
    } cases[] = {
        {-5, false, {}},
        {0, false, {}},
        {1, true, {"earlier run", "", begin, error}},
        {2, true, {"earlier run", "", begin, detail, error}},
        {3, true, {"earlier run"}},
    };
    for (const auto& c : cases) {
        FakeClock clock;
        clock.shortDate = "05.12.2026";
        clock.local = {23, 0, 1, 2};
        FakeFileSystem files;
        if (c.fileExists) files.files[kLog] = "earlier run\r\n";
        RunLog log(c.level, clock);
        log.Open(files, kLog);
        log.Separator();
        log.Main("Tunlatch V1.2.1: begin");
        log.Detail("choice: open download url");
        log.Error("unexpected state: Paused");
        EXPECT_EQ(log.ErrorCount(), 1) << c.level;
        EXPECT_EQ(files.FileExists(kLog), c.fileExists) << c.level;
        EXPECT_EQ(files.Lines(kLog), c.lines) << c.level;
    }
}

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
