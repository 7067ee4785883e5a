#include "system/notify_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <ostream>
#include <string>

namespace tunlatch {
namespace {

// The three text fields of the ANSI notification record, with a guard area behind each so a
// write past the field shows up.
constexpr std::size_t kTip = 128, kInfo = 256, kTitle = 64, kGuard = 16;
constexpr char kGuardByte = '\x5A';

struct Case {
    std::size_t field;
    std::size_t textLength;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
    return out << "field " << c.field << ", text " << c.textLength;
}

class NotifyTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(NotifyTextTest, TextThenNulThenBlanksAndNothingPastTheField) {
    const auto [field, textLength] = GetParam();
    std::array<char, kInfo + kGuard> buffer;
    buffer.fill(kGuardByte);
    std::string text;
    for (std::size_t i = 0; i < textLength; ++i) text += static_cast<char>('a' + i % 26);

    CopyNotifyText(text, buffer.data(), field);

    const std::size_t kept = std::min(textLength, field - 1);
    EXPECT_EQ(std::string(buffer.data()), text.substr(0, kept));
    EXPECT_EQ(buffer[kept], '\0');
    for (std::size_t i = kept + 1; i < field; ++i) ASSERT_EQ(buffer[i], ' ') << "at " << i;
    for (std::size_t i = field; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], kGuardByte) << "at " << i;
}

// Each field at its edge: room for the NUL and a blank, exactly full, one and many too long.
INSTANTIATE_TEST_SUITE_P(FieldEdges, NotifyTextTest,
                         ::testing::Values(Case{kTip, 0}, Case{kTip, 8}, Case{kTip, 126},
                                           Case{kTip, 127}, Case{kTip, 128}, Case{kTip, 300},
                                           Case{kInfo, 254}, Case{kInfo, 255}, Case{kInfo, 256},
                                           Case{kInfo, 257}, Case{kTitle, 62}, Case{kTitle, 63},
                                           Case{kTitle, 64}, Case{kTitle, 65}),
                         [](const auto& info) {
                             return "Field" + std::to_string(info.param.field) + "Text" +
                                    std::to_string(info.param.textLength);
                         });

TEST(NotifyText, ArrayFormUsesTheWholeArray) {
    char tip[8];
    CopyNotifyText("Tunlatch", tip);
    EXPECT_EQ(std::string(tip), "Tunlatc");
    char title[12];
    CopyNotifyText("Tunlatch", title);
    EXPECT_EQ(std::string(title, sizeof title), std::string("Tunlatch\0   ", 12));
}

}  // namespace
}  // namespace tunlatch
