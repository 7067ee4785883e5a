// Values of a fixed size: texts handed to Windows and to the zip library in fixed buffers never
// go a byte past the end, and the log's count of errors stops at its largest value.
#include <gtest/gtest.h>

#include "run/run_log.h"
#include "system/notify_text.h"
#include "system/password_buffer.h"
#include "tests/fakes/fake_system.h"

namespace tunlatch {
namespace {

// The buffer sits inside a larger one so that a write past its end shows.
TEST(FixedBuffersTest, NotifyTextIsTheTextANulAndBlanksCutToTheField) {
    const std::tuple<std::size_t, std::string, std::string> cases[] = {
        {8, "abc", std::string("abc\0    ", 8)},
        {4, "abcdef", std::string("abc\0", 4)},
        {0, "abc", ""}};
    for (const auto& [field, text, written] : cases) {
        std::string memory(12, '#');
        CopyNotifyText(text, memory.data() + 2, field);
        EXPECT_EQ(memory, "##" + written + std::string(10 - field, '#')) << field;
    }
}

TEST(FixedBuffersTest, PasswordIsClearedWrittenAndCutToTheBuffer) {
    const std::tuple<int, std::string, bool, std::string> cases[] = {
        {8, "abc", true, std::string("abc\0\0\0\0\0", 8)},
        {4, "abcdef", true, std::string("abc\0", 4)},
        {1, "\xe9", true, std::string("\0", 1)},
        {0, "abc", false, ""},
        {-5, "abc", false, ""}};
    for (const auto& [size, answer, filled, written] : cases) {
        std::string memory(12, '#');
        EXPECT_EQ(FillPasswordBuffer(memory.data() + 2, size, answer), filled);
        EXPECT_EQ(memory, "##" + written + std::string(10 - written.size(), '#')) << size;
    }
    EXPECT_FALSE(FillPasswordBuffer(nullptr, 8, "abc"));
}

TEST(RunLogTest, ErrorCountStopsAtItsLargestValue) {
    FakeClock clock;
    RunLog log(0, clock);
    for (int i = 0; i < 32768; ++i) log.Error("again");
    EXPECT_EQ(log.ErrorCount(), 32767);
}

}  // namespace
}  // namespace tunlatch
