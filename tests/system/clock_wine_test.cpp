// The clock module under Wine: the run log's time stamp and date come out in the right shape.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <regex>

#include "run/run_log.h"
#include "system/win32/clock.h"

namespace tunlatch::win32 {
namespace {

bool InRange(const TimeOfDay& t) {
    return t.hour < 24 && t.minute < 60 && t.second < 60 && t.milliseconds < 1000;
}

TEST(Win32Clock, TimesAreTimesOfDay) {
    Win32Clock clock;
    EXPECT_TRUE(InRange(clock.LocalTime()));
}

TEST(Win32Clock, TimeStampHasTheLogShape) {
    Win32Clock clock;
    const std::regex shape("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\\.[0-9]{3}");
    EXPECT_TRUE(std::regex_match(GetTimeStamp(clock), shape));
}

TEST(Win32Clock, ShortDateNamesToday) {
    Win32Clock clock;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::string date = clock.ShortDate();
    ASSERT_FALSE(date.empty());
    EXPECT_EQ(date.find('\0'), std::string::npos);
    char year[8];
    std::snprintf(year, sizeof year, "%02u", unsigned{now.wYear} % 100);
    EXPECT_NE(date.find(year), std::string::npos) << date;
}

}  // namespace
}  // namespace tunlatch::win32
