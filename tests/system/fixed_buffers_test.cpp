// Texts handed to Windows and to the zip library in fixed buffers: never a byte past the end.
#include <gtest/gtest.h>

#include "system/notify_text.h"
#include "system/password_buffer.h"

namespace tunlatch {
namespace {

// The buffer sits inside a larger one so that a write past its end shows.
TEST(FixedBuffersTest, NotifyTextIsTheTextANulAndBlanksCutToTheField) {
    const struct {
        std::size_t field;
        std::string text;
        std::string written;
    } cases[] = {{8, "abc", std::string("abc\0    ", 8)},
                 {4, "abcdef", std::string("abc\0", 4)},
                 {0, "abc", ""}};
    for (const auto& c : cases) {
        std::string memory(12, '#');
        CopyNotifyText(c.text, memory.data() + 2, c.field);
        EXPECT_EQ(memory, "##" + c.written + std::string(10 - c.field, '#')) << c.field;
    }
}

TEST(FixedBuffersTest, PasswordIsClearedWrittenAndCutToTheBuffer) {
    const struct {
        int size;
        std::string answer;
        bool filled;
        std::string written;
    } cases[] = {{8, "abc", true, std::string("abc\0\0\0\0\0", 8)},
                 {4, "abcdef", true, std::string("abc\0", 4)},
                 {1, "\xe9", true, std::string("\0", 1)},
                 {0, "abc", false, ""},
                 {-5, "abc", false, ""}};
    for (const auto& c : cases) {
        std::string memory(12, '#');
        EXPECT_EQ(FillPasswordBuffer(memory.data() + 2, c.size, c.answer), c.filled);
        EXPECT_EQ(memory, "##" + c.written + std::string(10 - c.written.size(), '#')) << c.size;
    }
    EXPECT_FALSE(FillPasswordBuffer(nullptr, 8, "abc"));
}

}  // namespace
}  // namespace tunlatch
