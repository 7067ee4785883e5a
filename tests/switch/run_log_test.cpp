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

struct TimeCase {
    TimeOfDay time;
    const char* stamp;
};

TEST(GetTimeStamp, PadsEveryFieldOfLocalOrUniversalTime) {
    const TimeCase cases[] = {
        {{7, 4, 9, 31}, "07:04:09.031"},     {{0, 0, 0, 0}, "00:00:00.000"},
        {{23, 59, 59, 999}, "23:59:59.999"}, {{12, 30, 5, 7}, "12:30:05.007"},
        {{10, 10, 10, 100}, "10:10:10.100"},
    };
    FakeClock clock;
    for (const auto& c : cases) {
        clock.local = c.time;
        EXPECT_EQ(GetTimeStamp(clock, true), c.stamp);
    }
    clock.utc = {22, 4, 9, 31};
    EXPECT_EQ(GetTimeStamp(clock, false), "22:04:09.031");
}

class RunLogTest : public ::testing::Test {
protected:
    // A run's worth of line kinds: separator, main, detail and error lines.
    void WriteRun(std::int16_t level) {
        context_.INI_log = level;
        RunLog log(context_, clock_);
        log.Open(files_, kLog);
        log.WriteLog("");
        log.WriteLog("Tunlatch V1.2.1: begin");
        log.WriteLog("-choice: open download url");
        log.WriteLog("ERROR: unexpected state: Paused");
        log.Close();
    }

    RunContext context_;
    FakeClock clock_;
    FakeFileSystem files_;
};

struct LevelCase {
    std::int16_t level;
    bool fileExists;
    Lines lines;
};

TEST_F(RunLogTest, LogLevelDecidesFileAndLines) {
    const std::string begin = kPrefix + std::string("Tunlatch V1.2.1: begin");
    const std::string detail = kPrefix + std::string("-choice: open download url");
    const std::string error = kPrefix + std::string("ERROR: unexpected state: Paused");
    const LevelCase cases[] = {
        {-5, false, {}},
        {0, false, {}},
        {1, true, {"", begin, error}},
        {2, true, {"", begin, detail, error}},
        {3, true, {}},
        {32767, true, {}},
    };
    for (const auto& c : cases) {
        files_.files.clear();
        context_.ErrorCount = 0;
        WriteRun(c.level);
        EXPECT_EQ(files_.FileExists(kLog), c.fileExists) << c.level;
        EXPECT_EQ(files_.Lines(kLog), c.lines) << c.level;
        EXPECT_EQ(context_.ErrorCount, 1) << c.level;
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

TEST_F(RunLogTest, CountsTextsThatBeginWithErrorColonExactly) {
    const struct {
        const char* text;
        bool counts;
    } cases[] = {
        {"ERROR: unexpected state: Paused", true},
        {"ERROR:", true},
        {"ERROR:no blank", true},
        {"error: lower case", false},
        {"Error: mixed case", false},
        {"-ERROR: detail line", false},
        {" ERROR: leading blank", false},
        {"ERROR missing colon", false},
        {"ERRO", false},
        {"", false},
    };
    for (std::int16_t level : {0, 1, 2, 3}) {
        for (const auto& c : cases) {
            context_.INI_log = level;
            context_.ErrorCount = 5;
            RunLog log(context_, clock_);
            log.Open(files_, kLog);
            log.WriteLog(c.text);
            EXPECT_EQ(context_.ErrorCount, c.counts ? 6 : 5) << level << " " << c.text;
        }
    }
}

TEST_F(RunLogTest, PrefixIsTodaysDateAndTheLocalTime) {
    context_.INI_log = 2;
    clock_.shortDate = "05.12.2026";
    clock_.local = {23, 0, 1, 2};
    clock_.utc = {22, 0, 1, 2};
    RunLog log(context_, clock_);
    log.Open(files_, kLog);
    log.WriteLog("-x");
    EXPECT_EQ(files_.Lines(kLog), Lines{"05.12.2026 23:00:01.002 -x"});
}

TEST_F(RunLogTest, FailedWritesStopNothing) {
    context_.INI_log = 2;
    RunLog log(context_, clock_);
    log.Open(files_, kLog);
    files_.appendFails = true;
    log.WriteLog("ERROR: first");
    log.WriteLog("-detail");
    files_.appendFails = false;
    log.WriteLog("ERROR: second");
    EXPECT_EQ(context_.ErrorCount, 2);
    EXPECT_EQ(files_.Lines(kLog), Lines{kPrefix + std::string("ERROR: second")});
}

TEST_F(RunLogTest, UnopenableLogStillCounts) {
    context_.INI_log = 2;
    files_.unopenable.insert(kLog);
    RunLog log(context_, clock_);
    log.Open(files_, kLog);
    log.WriteLog("ERROR: nowhere to go");
    EXPECT_EQ(context_.ErrorCount, 1);
    EXPECT_FALSE(files_.FileExists(kLog));
}

TEST_F(RunLogTest, NothingIsWrittenAfterClose) {
    context_.INI_log = 2;
    RunLog log(context_, clock_);
    log.Open(files_, kLog);
    log.WriteLog("Tunlatch: end (0 errors)");
    log.Close();
    log.WriteLog("ERROR: late");
    EXPECT_EQ(files_.Lines(kLog), Lines{kPrefix + std::string("Tunlatch: end (0 errors)")});
    EXPECT_EQ(context_.ErrorCount, 1);
}

TEST_F(RunLogTest, ErrorCountDoesNotWrapAround) {
    context_.ErrorCount = 32767;
    RunLog log(context_, clock_);
    log.WriteLog("ERROR: one too many");
    EXPECT_EQ(context_.ErrorCount, 32767);
}

}  // namespace
}  // namespace tunlatch
